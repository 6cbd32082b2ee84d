#pragma once

#include <cstdint>
#include <vector>

#include "geometry/Point.h"
#include "geometry/Rect.h"
#include "geometry/Size.h"

namespace platform {

// The card's own geometry types: client pixels, right and bottom exclusive.
using geometry::Point;
using geometry::Rect;
using geometry::Size;

// Bytes R, G, B as in every picture of the program.
struct Colour {
  uint8_t r = 0;
  uint8_t g = 0;
  uint8_t b = 0;

  bool operator==(const Colour& o) const { return r == o.r && g == o.g && b == o.b; }
  bool operator!=(const Colour& o) const { return !(*this == o); }
};

// An RGBA picture for icons: rows packed, straight alpha.
struct IconImage {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint8_t> rgba;
};

}  // namespace platform
