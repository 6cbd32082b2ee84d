#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "engine/raster/PixelFormat.h"

namespace engine {

// The largest picture any part of the program will hold. A decoder refuses
// anything bigger before allocating, so a hostile header cannot make us ask
// for gigabytes: 100 MP is ~400 MB as Rgba32 and well beyond any camera.
constexpr uint64_t kMaxRasterPixels = 100'000'000;

// Byte size of a packed width x height picture, or false when it is empty,
// above kMaxRasterPixels, or does not fit in 32 bits.
bool CheckedRasterSize(uint32_t width, uint32_t height, PixelFormat format, size_t* bytes);

// Gives a raster's pixel array back the way it was allocated: delete[], or
// to the PhotoBufferPool it came from (`pooled` its capacity). Moving the
// pixels into a shared pointer carries it along.
struct PixelRelease {
  size_t pooled = 0;
  void operator()(uint8_t* pixels) const noexcept;
};
using PixelBuffer = std::unique_ptr<uint8_t[], PixelRelease>;

// An owned, decoded picture: rows top-down, packed (stride = width x bpp).
// Move-only: a pixel array always has exactly one owner.
class Raster {
 public:
  Raster() = default;
  Raster(Raster&&) noexcept = default;
  Raster& operator=(Raster&&) noexcept = default;
  Raster(const Raster&) = delete;
  Raster& operator=(const Raster&) = delete;

  // Uninitialised pixels (from the PhotoBufferPool when it is on and the
  // picture is photo-sized). Throws std::bad_alloc when the size is refused
  // by CheckedRasterSize or the memory is not there.
  static Raster Allocate(uint32_t width, uint32_t height, PixelFormat format);

  uint32_t width = 0;
  uint32_t height = 0;
  PixelFormat format = PixelFormat::Rgb24;
  PixelBuffer pixels;

  bool Empty() const { return !pixels; }
  size_t Stride() const { return size_t(width) * BytesPerPixel(format); }
  size_t ByteSize() const { return Stride() * height; }
  uint8_t* Row(uint32_t y) { return pixels.get() + size_t(y) * Stride(); }
  const uint8_t* Row(uint32_t y) const { return pixels.get() + size_t(y) * Stride(); }

  // Exchanges everything with `other`; how a slot adopts a decoded photo.
  void Swap(Raster& other) noexcept;
  void Reset() { *this = Raster(); }
};

// Card image rows are padded to a multiple of 4 bytes so the painter can hand
// them to a 24-bit bitmap call without copying.
constexpr uint32_t CardImageStride(uint32_t width) { return (width * 3u + 3u) & ~3u; }

}  // namespace engine
