#include "imagefiles/ExifOrientation.h"

#include <cstring>

namespace imagefiles {

namespace {

constexpr uint16_t kOrientationTag = 0x0112;
constexpr uint16_t kTypeShort = 3;
constexpr uint16_t kTypeLong = 4;
constexpr size_t kTiffHeaderSize = 8;
constexpr size_t kEntrySize = 12;

struct TiffBytes {
  const uint8_t* data;
  bool bigEndian;

  uint16_t U16(size_t at) const {
    const uint8_t* p = data + at;
    return bigEndian ? uint16_t(p[0] << 8 | p[1]) : uint16_t(p[1] << 8 | p[0]);
  }
  uint32_t U32(size_t at) const {
    const uint8_t* p = data + at;
    return bigEndian ? uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3]
                     : uint32_t(p[3]) << 24 | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
  }
};

}  // namespace

int ExifOrientation(const uint8_t* data, size_t size) {
  if (data == nullptr) return 1;
  if (size >= 6 && std::memcmp(data, "Exif\0\0", 6) == 0) {
    data += 6;
    size -= 6;
  }
  if (size < kTiffHeaderSize) return 1;
  TiffBytes tiff{data, false};
  if (data[0] == 'M' && data[1] == 'M') {
    tiff.bigEndian = true;
  } else if (!(data[0] == 'I' && data[1] == 'I')) {
    return 1;
  }
  if (tiff.U16(2) != 42) return 1;

  // Every position below is checked against `size` before it is read; the
  // subtractions cannot wrap because each follows a check that the left
  // side is the larger.
  const uint32_t ifd = tiff.U32(4);
  if (ifd < kTiffHeaderSize || ifd > size || size - ifd < 2) return 1;
  const uint16_t count = tiff.U16(ifd);
  if ((size - ifd - 2) / kEntrySize < count) return 1;  // a directory cut short
  for (uint16_t i = 0; i < count; ++i) {
    const size_t entry = ifd + 2 + size_t(i) * kEntrySize;
    if (tiff.U16(entry) != kOrientationTag) continue;
    const uint16_t type = tiff.U16(entry + 2);
    // One value, held in the entry itself.
    if (tiff.U32(entry + 4) != 1) return 1;
    uint32_t value = 0;
    if (type == kTypeShort) {
      value = tiff.U16(entry + 8);
    } else if (type == kTypeLong) {
      value = tiff.U32(entry + 8);
    } else {
      return 1;
    }
    return value >= 1 && value <= 8 ? int(value) : 1;
  }
  return 1;
}

}  // namespace imagefiles
