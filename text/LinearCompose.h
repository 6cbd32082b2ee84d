#pragma once

#include <cstddef>
#include <cstdint>

#include "text/CoverageMask.h"

namespace text {

// Lays `colour` (0xAARRGGBB, sRGB) over an Rgb24 card picture where `mask`
// covers it, moved by (dx, dy) pixels, mixing in linear light with the
// card's own gamma tables; every step in whole numbers.
void ComposeCoverage(uint8_t* rgb, size_t stride, uint32_t width, uint32_t height,
                     const CoverageMask& mask, int64_t dx, int64_t dy, uint32_t colour);

// How bright `colour` is in linear light, 0 to 65535.
uint32_t LinearLuminance(uint32_t colour);

}  // namespace text
