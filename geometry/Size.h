#pragma once

#include <cstdint>

namespace geometry {

struct Size {
  int32_t width = 0;
  int32_t height = 0;

  bool operator==(const Size& o) const { return width == o.width && height == o.height; }
  bool operator!=(const Size& o) const { return !(*this == o); }
};

}  // namespace geometry
