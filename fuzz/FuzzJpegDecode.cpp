// JPEG decoding into Rgb24, plain and as a photo (turned by its Exif
// orientation while it decodes).

#include <cstddef>
#include <cstdint>
#include <initializer_list>

#include "imagefiles/DecodeImage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 4 || size > UINT32_MAX || data[0] != 0xFF || data[1] != 0xD8) return -1;
  for (imagefiles::DecodeMode mode : {imagefiles::DecodeMode::Rgb, imagefiles::DecodeMode::Photo}) {
    engine::Raster picture;
    imagefiles::DecodeImage(data, uint32_t(size), mode, &picture);
  }
  return 0;
}
