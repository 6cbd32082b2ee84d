#include "imagefiles/PictureKind.h"

#include <cstring>

namespace imagefiles {

namespace {

bool IsHeifBrand(const uint8_t* brand) {
  static const char* const kBrands[] = {"heic", "heix", "heim", "heis", "hevc", "hevx",
                                        "mif1", "msf1", "avif", "avis"};
  for (const char* b : kBrands)
    if (std::memcmp(brand, b, 4) == 0) return true;
  return false;
}

uint32_t BigEndian32(const uint8_t* p) {
  return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}

}  // namespace

PictureKind SniffPicture(const uint8_t* data, size_t size) {
  if (data == nullptr || size < 2) return PictureKind::Unknown;
  if (data[0] == 0xFF && data[1] == 0xD8) return PictureKind::Jpeg;
  if (size < 4) return PictureKind::Unknown;
  if (data[0] == 0x89 && data[1] == 'P' && data[2] == 'N' && data[3] == 'G') return PictureKind::Png;
  // Classic TIFF and BigTIFF, in either byte order.
  if ((data[0] == 'I' && data[1] == 'I' && (data[2] == 42 || data[2] == 43) && data[3] == 0) ||
      (data[0] == 'M' && data[1] == 'M' && data[2] == 0 && (data[3] == 42 || data[3] == 43)))
    return PictureKind::Tiff;
  if (size >= 12 && std::memcmp(data, "RIFF", 4) == 0 && std::memcmp(data + 8, "WEBP", 4) == 0)
    return PictureKind::Webp;
  if (size >= 12 && std::memcmp(data + 4, "ftyp", 4) == 0) {
    // The major brand, then the compatible ones after the minor version.
    const uint32_t boxSize = BigEndian32(data);
    const size_t end = boxSize >= 16 && boxSize <= size ? boxSize : size;
    if (IsHeifBrand(data + 8)) return PictureKind::Heif;
    for (size_t at = 16; at + 4 <= end; at += 4)
      if (IsHeifBrand(data + at)) return PictureKind::Heif;
  }
  return PictureKind::Unknown;
}

}  // namespace imagefiles
