// JPEG decoding into Rgb24, plain and, when the input carries Exif, as a
// photo (turned by its orientation while it decodes).
//
// Inputs that declare more than 1024 x 1024 pixels are passed over, as the
// large fuzzing services do for libjpeg-turbo: a few hundred bytes can
// declare megapixels, and decoding those takes most of a run's time without
// reaching new code. The decoder's own size checks on such files are unit
// tests (tests/imagefiles/HostileInputTest.cpp).

#include <cstddef>
#include <cstdint>

#include "imagefiles/DecodeImage.h"

namespace {

constexpr uint32_t kMaxSide = 1024;

struct Markers {
  uint32_t width = 0, height = 0;
  bool exif = false;
};

// Walks the marker segments before the first scan as libjpeg does: bytes
// between segments that are not a marker are passed over, as libjpeg skips
// them with a warning, so a frame after them still counts.
Markers ReadMarkers(const uint8_t* data, size_t size) {
  Markers found;
  size_t at = 2;
  for (;;) {
    // To the next marker: 0xFF, any fill, then a byte other than 0x00.
    while (at < size && data[at] != 0xFF) ++at;
    while (at + 1 < size && data[at + 1] == 0xFF) ++at;
    if (at + 1 >= size) break;
    const uint8_t marker = data[at + 1];
    if (marker == 0x00) {
      at += 2;
      continue;
    }
    if (marker == 0xDA || marker == 0xD9) break;  // the first scan, or the end
    if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) {  // no length
      at += 2;
      continue;
    }
    if (at + 4 > size) break;
    const size_t length = size_t(data[at + 2]) << 8 | data[at + 3];
    if (length < 2 || at + 2 + length > size) break;
    const uint8_t* body = data + at + 4;
    const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 &&
                       marker != 0xCC;
    if (frame && length >= 7) {
      const uint32_t height = uint32_t(body[1]) << 8 | body[2];
      const uint32_t width = uint32_t(body[3]) << 8 | body[4];
      if (width > found.width) found.width = width;
      if (height > found.height) found.height = height;
    }
    if (marker == 0xE1 && length >= 8 && body[0] == 'E' && body[1] == 'x' && body[2] == 'i' &&
        body[3] == 'f' && body[4] == 0 && body[5] == 0) {
      found.exif = true;
    }
    at += 2 + length;
  }
  return found;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 4 || size > UINT32_MAX || data[0] != 0xFF || data[1] != 0xD8) return -1;
  const Markers markers = ReadMarkers(data, size);
  if (markers.width > kMaxSide || markers.height > kMaxSide) return -1;
  engine::Raster picture;
  imagefiles::DecodeImage(data, uint32_t(size), imagefiles::DecodeMode::Rgb, &picture);
  // Without Exif a photo decodes exactly as the plain picture does.
  if (markers.exif) {
    engine::Raster photo;
    imagefiles::DecodeImage(data, uint32_t(size), imagefiles::DecodeMode::Photo, &photo);
  }
  return 0;
}
