#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace text {

// How much of each pixel of a part of the card is covered, 0 to 255.
struct CoverageMask {
  int64_t left = 0;  // where the mask's first pixel is on the card
  int64_t top = 0;
  uint32_t width = 0;
  uint32_t height = 0;
  std::vector<uint8_t> values;  // width x height, rows top to bottom

  bool Empty() const { return width == 0 || height == 0; }
  uint8_t At(int64_t x, int64_t y) const {  // card coordinates; 0 outside
    const int64_t mx = x - left, my = y - top;
    if (mx < 0 || my < 0 || mx >= int64_t(width) || my >= int64_t(height)) return 0;
    return values[size_t(my) * width + size_t(mx)];
  }
};

}  // namespace text
