#pragma once

#include <cstdint>
#include <memory>

#include "baseline/AxisWeights.h"
#include "engine/resample/GammaTables.h"
#include "baseline/HorizontalStage.h"
#include "baseline/ResampleKernels.h"
#include "baseline/SampleRow.h"

namespace engine {
namespace baseline {

// Pulls SampleRows from the horizontal stage in source order, combines them
// along the vertical axis and writes the destination rows top to bottom,
// converted back through fromLinear. The weights must Fit (srcHeight,
// dstHeight); the caller checks that once.
class VerticalStage {
 public:
  VerticalStage(AxisWeights weights, const FromLinearTable& fromLinear, uint8_t* dstPixels,
                int32_t dstStride, int32_t dstWidth, int32_t dstHeight,
                const ResampleKernels& kernels);

  void Run(HorizontalStage& source) { Produce(source, dstHeight_); }

  // Writes up to `rows` more destination rows, reading source rows as it
  // needs them, and stops there; the next call goes on where this one ended.
  // True while destination rows remain.
  bool Produce(HorizontalStage& source, int32_t rows);

 private:
  int32_t ProduceReplicate(HorizontalStage& source, int32_t rows);
  int32_t ProduceCopy(HorizontalStage& source, int32_t rows);
  int32_t ProduceInterpolate(HorizontalStage& source, int32_t rows);
  int32_t ProduceBox(HorizontalStage& source, int32_t rows);
  uint8_t* NextDestinationRow();

  AxisWeights weights_;
  const uint8_t* fromLinear_;
  uint8_t* dstPixels_;
  int32_t dstStride_;
  int32_t dstWidth_;
  int32_t dstHeight_;
  int32_t cursor_ = 0;
  const ResampleKernels& kernels_;

  // Where a stopped run goes on: the rows in hand and the table position.
  bool started_ = false;
  SampleRow older_, newer_, whole_;
  const uint64_t* table_ = nullptr;
  const uint64_t* tableEnd_ = nullptr;
  uint64_t groupLeft_ = 0;  // interpolation weights left in the current group
  std::unique_ptr<uint64_t[]> sum_;
};

}  // namespace baseline
}  // namespace engine
