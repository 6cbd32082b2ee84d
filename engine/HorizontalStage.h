#pragma once

#include <cstdint>

#include "engine/AxisWeights.h"
#include "engine/GammaTables.h"
#include "engine/SampleRow.h"

namespace engine {

// Reads the source rows top to bottom, each exactly once: converts a row to
// linear light and resamples it along the horizontal axis into a SampleRow.
// The weights must Fit (srcWidth, dstWidth); the caller checks that once.
class HorizontalStage {
 public:
  HorizontalStage(AxisWeights weights, const ToLinearTable& toLinear, const uint8_t* srcPixels,
                  int32_t srcStride, int32_t dstWidth);

  // Resamples the row under the cursor into `out` and moves the cursor down.
  void NextRow(SampleRow& out);

 private:
  AxisWeights weights_;
  const uint16_t* toLinear_;
  const uint8_t* srcPixels_;
  int32_t srcStride_;
  int32_t dstWidth_;
  int32_t cursor_ = 0;
};

}  // namespace engine
