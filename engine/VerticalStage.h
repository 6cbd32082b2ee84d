#pragma once

#include <cstdint>

#include "engine/AxisWeights.h"
#include "engine/GammaTables.h"
#include "engine/HorizontalStage.h"
#include "engine/ResampleKernels.h"
#include "engine/SampleRow.h"

namespace engine {

// Pulls SampleRows from the horizontal stage in source order, combines them
// along the vertical axis and writes the destination rows top to bottom,
// converted back through fromLinear. The weights must Fit (srcHeight,
// dstHeight); the caller checks that once.
class VerticalStage {
 public:
  VerticalStage(AxisWeights weights, const FromLinearTable& fromLinear, uint8_t* dstPixels,
                int32_t dstStride, int32_t dstWidth, int32_t dstHeight,
                const ResampleKernels& kernels);

  void Run(HorizontalStage& source);

 private:
  void RunReplicate(HorizontalStage& source);
  void RunCopy(HorizontalStage& source);
  void RunInterpolate(HorizontalStage& source);
  void RunBox(HorizontalStage& source);
  uint8_t* NextDestinationRow();

  AxisWeights weights_;
  const uint8_t* fromLinear_;
  uint8_t* dstPixels_;
  int32_t dstStride_;
  int32_t dstWidth_;
  int32_t dstHeight_;
  int32_t cursor_ = 0;
  const ResampleKernels& kernels_;
};

}  // namespace engine
