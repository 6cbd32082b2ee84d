// HEIF (HEIC) decoding, as a photo and as the placeholder tile (Rgb24):
// libheif's parser and libde265 behind our own checks.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <initializer_list>

#include "imagefiles/DecodeImage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 12 || std::memcmp(data + 4, "ftyp", 4) != 0 || size > UINT32_MAX) return -1;
  for (imagefiles::DecodeMode mode : {imagefiles::DecodeMode::Rgb, imagefiles::DecodeMode::Photo}) {
    engine::Raster picture;
    imagefiles::DecodeImage(data, uint32_t(size), mode, &picture);
  }
  return 0;
}
