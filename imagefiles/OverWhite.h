#pragma once

#include <cstdint>

namespace imagefiles {

// Transparent parts of a photo are shown over white paper, whatever format
// the photo came in.

// A straight-alpha pixel over white, rounded: exact for alpha 0 and 255,
// and no intermediate exceeds 255 x 255 + 127.
inline uint8_t OverWhite(uint32_t colour, uint32_t alpha) {
  return uint8_t((colour * alpha + 255 * (255 - alpha) + 127) / 255);
}

// The same for colours already multiplied by their alpha: what remains
// uncovered is white. A colour above its alpha (not premultiplied after
// all) stays white rather than wrapping.
inline uint8_t PremultipliedOverWhite(uint32_t colour, uint32_t alpha) {
  const uint32_t value = colour + (255 - alpha);
  return uint8_t(value > 255 ? 255 : value);
}

// Rgba32 to Rgb24 through `over` (one of the two below); `to` may be
// `from` itself, since each pixel is written no further on than it is read.
template <uint8_t (*over)(uint32_t, uint32_t)>
inline void RowOver(const uint8_t* from, uint8_t* to, uint32_t width) {
  for (uint32_t x = 0; x < width; ++x, from += 4, to += 3) {
    const uint32_t alpha = from[3];
    const uint8_t r = over(from[0], alpha);
    const uint8_t g = over(from[1], alpha);
    const uint8_t b = over(from[2], alpha);
    to[0] = r;
    to[1] = g;
    to[2] = b;
  }
}

// Straight-alpha rows and premultiplied rows over white.
inline void RowOverWhite(const uint8_t* from, uint8_t* to, uint32_t width) {
  RowOver<OverWhite>(from, to, width);
}
inline void PremultipliedRowOverWhite(const uint8_t* from, uint8_t* to, uint32_t width) {
  RowOver<PremultipliedOverWhite>(from, to, width);
}

}  // namespace imagefiles
