#pragma once

#include <cstddef>
#include <cstdint>

namespace engine {

// A non-owning window on Rgb24 rows; may be a sub-rectangle of a larger
// buffer, in which case it keeps that buffer's stride.
struct RasterView {
  uint8_t* pixels = nullptr;
  int32_t width = 0;
  int32_t height = 0;
  int32_t stride = 0;

  uint8_t* Row(int32_t y) const { return pixels + ptrdiff_t(y) * stride; }
};

}  // namespace engine
