#include "engine/resample/ScaleNearest.h"

#include <cstddef>
#include <cstring>
#include <memory>

#include "engine/resample/ResampleLimits.h"

namespace engine {

namespace {

// The ratio is rounded to single precision; the product x * ratio is exact
// (in double), then truncated: 900 -> 700 maps column 7 to 8, where a
// single-precision product would round 8.9999999 up to 9. The clamp guards
// against rounding on huge ratios; it runs once per column and row, not per
// pixel.
int32_t SourceIndex(int32_t i, float ratio, int32_t srcLength) {
  const double position = double(i) * double(ratio);
  const int32_t s = position < double(srcLength) ? int32_t(position) : srcLength - 1;
  return s < 0 ? 0 : s;
}

float NearestRatio(int32_t srcLength, int32_t dstLength) {
  return float(double(srcLength) / double(dstLength));
}

}  // namespace

int32_t NearestSourceIndex(int32_t i, int32_t srcLength, int32_t dstLength) {
  return SourceIndex(i, NearestRatio(srcLength, dstLength), srcLength);
}

void NearestSourceIndices(int32_t srcLength, int32_t dstLength, int32_t* indices) {
  const float ratio = NearestRatio(srcLength, dstLength);
  for (int32_t i = 0; i < dstLength; ++i) indices[i] = SourceIndex(i, ratio, srcLength);
}

void ScaleNearest(uint8_t* dstPixels, int32_t dstWidth, int32_t dstHeight, int32_t dstStride,
                  const uint8_t* srcPixels, int32_t srcWidth, int32_t srcHeight,
                  int32_t srcStride) {
  if (dstWidth <= 0 || dstHeight <= 0) return;
  const size_t rowBytes = size_t(dstWidth) * 3;
  if (srcWidth <= 0 || srcHeight <= 0) {
    for (int32_t y = 0; y < dstHeight; ++y) {
      std::memset(dstPixels + ptrdiff_t(y) * dstStride, 0, rowBytes);
    }
    return;
  }
  const float ratioX = NearestRatio(srcWidth, dstWidth);
  const float ratioY = NearestRatio(srcHeight, dstHeight);

  // Source byte offset of every destination column, computed once per job.
  const bool sameWidth = srcWidth == dstWidth;
  std::unique_ptr<size_t[]> offsets;
  if (!sameWidth) {
    offsets.reset(new size_t[CheckedResampleCount(dstWidth, sizeof(size_t))]);
    for (int32_t x = 0; x < dstWidth; ++x) {
      offsets[size_t(x)] = size_t(SourceIndex(x, ratioX, srcWidth)) * 3;
    }
  }

  int32_t previousSy = -1;
  const uint8_t* previousRow = nullptr;
  for (int32_t y = 0; y < dstHeight; ++y) {
    uint8_t* dst = dstPixels + ptrdiff_t(y) * dstStride;
    const int32_t sy = SourceIndex(y, ratioY, srcHeight);
    if (sy == previousSy) {
      std::memmove(dst, previousRow, rowBytes);
    } else if (sameWidth) {
      std::memcpy(dst, srcPixels + ptrdiff_t(sy) * srcStride, rowBytes);
    } else {
      const uint8_t* src = srcPixels + ptrdiff_t(sy) * srcStride;
      for (size_t x = 0; x < size_t(dstWidth); ++x) {
        const uint8_t* s = src + offsets[x];
        dst[3 * x] = s[0];
        dst[3 * x + 1] = s[1];
        dst[3 * x + 2] = s[2];
      }
    }
    previousSy = sy;
    previousRow = dst;
  }
}

}  // namespace engine
