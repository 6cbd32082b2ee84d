#pragma once

#include <cstdint>

namespace geometry {

// A position in pixels: client coordinates in the window, template pixels
// in the card, screen coordinates where a window is placed.
struct Point {
  int32_t x = 0;
  int32_t y = 0;

  bool operator==(const Point& o) const { return x == o.x && y == o.y; }
  bool operator!=(const Point& o) const { return !(*this == o); }
};

}  // namespace geometry
