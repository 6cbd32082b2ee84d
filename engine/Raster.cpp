#include "engine/Raster.h"

#include <limits>
#include <new>
#include <utility>

namespace engine {

bool CheckedRasterSize(uint32_t width, uint32_t height, PixelFormat format, size_t* bytes) {
  if (width == 0 || height == 0) return false;
  const uint64_t pixels = uint64_t(width) * height;
  if (pixels > kMaxRasterPixels) return false;
  const uint64_t size = pixels * BytesPerPixel(format);
  if (size > std::numeric_limits<uint32_t>::max()) return false;
  *bytes = size_t(size);
  return true;
}

Raster Raster::Allocate(uint32_t width, uint32_t height, PixelFormat format) {
  size_t bytes = 0;
  if (!CheckedRasterSize(width, height, format, &bytes)) throw std::bad_alloc();
  Raster r;
  r.pixels.reset(new uint8_t[bytes]);
  r.width = width;
  r.height = height;
  r.format = format;
  return r;
}

void Raster::Swap(Raster& other) noexcept {
  std::swap(width, other.width);
  std::swap(height, other.height);
  std::swap(format, other.format);
  std::swap(pixels, other.pixels);
}

}  // namespace engine
