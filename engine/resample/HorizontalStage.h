#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "engine/resample/AxisWeights.h"
#include "engine/resample/GammaTables.h"
#include "engine/resample/ResampleKernels.h"
#include "engine/resample/RowSource.h"
#include "engine/resample/SampleRow.h"
#include "engine/resample/SimdLevel.h"
#include "engine/resample/TapKernel.h"

namespace engine {

// Reads the source rows top to bottom, each exactly once: converts a row to
// linear light and resamples it along the horizontal axis into a SampleRow.
// The weights must Fit (srcWidth, dstWidth); the caller checks that once.
class HorizontalStage {
 public:
  HorizontalStage(AxisWeights weights, const ToLinearTable& toLinear, const uint8_t* srcPixels,
                  int32_t srcStride, int32_t srcWidth, int32_t dstWidth,
                  const ResampleKernels& kernels, SimdLevel level);

  // Resamples the row under the cursor into `out` and moves the cursor down.
  void NextRow(SampleRow& out);

  // Takes the rows from `source` from now on instead of the picture.
  void ReadFrom(RowSource* source) { source_ = source; }

 private:
  AxisWeights weights_;
  const uint16_t* toLinear_;
  const uint8_t* srcPixels_;
  int32_t srcStride_;
  int32_t srcWidth_;
  int32_t dstWidth_;
  int32_t cursor_ = 0;
  RowSource* source_ = nullptr;
  const ResampleKernels& kernels_;
  // Filtered rows run on fixed taps: the row is converted to linear light
  // into `quads_` (four channels per pixel, zero-padded past the row end),
  // then summed tap by tap. A table the kernel cannot hold runs on the
  // general loops below instead.
  bool tapped_ = false;
  TapKernel kernel_;
  void AllocateQuads(size_t count);
  // A box-averaged row on the general loops divides its long entries in one
  // pass after summing them (TapKernel::BoxDivision): one bias and inverse per
  // value, none when nothing divides.
  std::vector<double> boxBias_, boxInverse_;
  std::vector<uint16_t> quadsStore_;
  uint16_t* quads_ = nullptr;
  // Where the processor multiplies and adds 16-bit lanes, pairs of pixels
  // instead (ResampleKernels::convertPairs) into quads_.
  bool paired_ = false;
};

}  // namespace engine
