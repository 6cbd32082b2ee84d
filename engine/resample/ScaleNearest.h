#pragma once

#include <cstdint>

namespace engine {

// Nearest-neighbour scaling of Rgb24 rectangles by plain byte copies, sampled
// from the top-left corner of each destination pixel. Equal sizes copy exactly.
// An empty source (width or height 0 or less) is never read; the destination
// is then filled with 0 so that no stale bytes reach a card. An empty
// destination is left untouched.
// The source position ScaleNearest reads for destination position i when
// scaling srcLength positions to dstLength (both at least 1): i times the
// single-precision ratio, truncated.
int32_t NearestSourceIndex(int32_t i, int32_t srcLength, int32_t dstLength);

// The same for every destination position at once.
void NearestSourceIndices(int32_t srcLength, int32_t dstLength, int32_t* indices);

void ScaleNearest(uint8_t* dstPixels, int32_t dstWidth, int32_t dstHeight, int32_t dstStride,
                  const uint8_t* srcPixels, int32_t srcWidth, int32_t srcHeight, int32_t srcStride);

}  // namespace engine
