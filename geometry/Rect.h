#pragma once

#include <cstdint>

#include "geometry/Point.h"

namespace geometry {

// Half-open rectangle: contains (x, y) when left <= x < right, top <= y < bottom.
struct Rect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;

  // Zero for an inverted rectangle (a layout too small for the card puts the
  // card's corners past each other), and never a signed overflow.
  int32_t Width() const { return Span(left, right); }
  int32_t Height() const { return Span(top, bottom); }
  bool Empty() const { return right <= left || bottom <= top; }
  bool Contains(Point p) const { return left <= p.x && p.x < right && top <= p.y && p.y < bottom; }
  bool Intersects(const Rect& o) const {
    return left < o.right && top < o.bottom && o.left < right && o.top < bottom;
  }
  bool operator==(const Rect& o) const {
    return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
  }
  bool operator!=(const Rect& o) const { return !(*this == o); }

  static int32_t Span(int32_t from, int32_t to) {
    const int64_t d = int64_t(to) - from;
    return d <= 0 ? 0 : d > INT32_MAX ? INT32_MAX : int32_t(d);
  }
};

}  // namespace geometry
