// WebP decoding, lossy and lossless, still or refused as an animation, as a
// photo (over white, turned by its Exif chunk) and as the placeholder tile.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <initializer_list>

#include "imagefiles/DecodeImage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 12 || std::memcmp(data, "RIFF", 4) != 0 || std::memcmp(data + 8, "WEBP", 4) != 0 || size > UINT32_MAX) return -1;
  for (imagefiles::DecodeMode mode : {imagefiles::DecodeMode::Rgb, imagefiles::DecodeMode::Photo}) {
    engine::Raster picture;
    imagefiles::DecodeImage(data, uint32_t(size), mode, &picture);
  }
  return 0;
}
