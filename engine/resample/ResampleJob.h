#pragma once

#include <cstdint>
#include <memory>

#include "engine/resample/GammaTables.h"

namespace engine {

// One scaling of an Rgb24 rectangle into another: filled in, run once,
// discarded. The pixel buffers belong to the caller; both rectangles may be
// windows into larger buffers (stride larger than width x 3).
class ResampleJob {
 public:
  // Geometry job: for ScaleNearest only.
  ResampleJob(int32_t dstWidth, int32_t dstHeight, int32_t srcWidth, int32_t srcHeight,
              uint8_t* dstPixels, int32_t dstStride, const uint8_t* srcPixels, int32_t srcStride);
  // Gamma job: builds toLinear/fromLinear for `gamma` (single precision).
  ResampleJob(float gamma, int32_t dstWidth, int32_t dstHeight, int32_t srcWidth, int32_t srcHeight,
              uint8_t* dstPixels, int32_t dstStride, const uint8_t* srcPixels, int32_t srcStride);

  // Nearest neighbour by byte copies; works on either kind of job.
  void ScaleNearest();
  // Separable resampling in linear light (gamma job). Axes that need no
  // filtering on either side (length 1 or equal lengths) are copied exactly.
  // A job without tables, or a source of width or height 0, falls back to
  // ScaleNearest, which never reads an empty source.
  void Resample();
  void ReleaseTables();

  int32_t dstWidth;
  int32_t dstHeight;
  int32_t dstStride;
  int32_t srcWidth;
  int32_t srcHeight;
  int32_t srcStride;
  uint8_t* dstPixels;
  const uint8_t* srcPixels;
  std::unique_ptr<FromLinearTable> fromLinear;
  std::unique_ptr<ToLinearTable> toLinear;
};

}  // namespace engine
