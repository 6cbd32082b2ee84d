#pragma once

#include <cstdint>

namespace engine {

// Byte order within a pixel is always R, G, B(, A); alpha is straight.
enum class PixelFormat : uint8_t {
  Rgb24,   // photos, the placeholder tile, card images
  Rgba32,  // region map and overlay of a template
};

constexpr uint32_t BytesPerPixel(PixelFormat format) {
  return format == PixelFormat::Rgba32 ? 4u : 3u;
}

// An Rgba32 pixel read as one little-endian word: R in bits 0-7, G 8-15,
// B 16-23, A 24-31. Assembled from bytes so the host's byte order is moot.
inline uint32_t PixelWord(const uint8_t* rgba) {
  return uint32_t(rgba[0]) | uint32_t(rgba[1]) << 8 | uint32_t(rgba[2]) << 16 |
         uint32_t(rgba[3]) << 24;
}

}  // namespace engine
