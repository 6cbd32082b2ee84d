// JPEG decoding into an Rgb24 photo.

#include <cstddef>
#include <cstdint>

#include "imagefiles/DecodeImage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 4 || size > UINT32_MAX || data[0] != 0xFF || data[1] != 0xD8) return -1;
  engine::Raster picture;
  imagefiles::DecodeImage(data, uint32_t(size), false, &picture);
  return 0;
}
