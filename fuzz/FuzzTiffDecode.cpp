// TIFF decoding through libtiff's RGBA reader, strip by strip, as a photo
// (over white, turned by its Orientation tag) and as the placeholder tile.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <initializer_list>

#include "imagefiles/DecodeImage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 8 || (data[0] != 'I' && data[0] != 'M') || size > UINT32_MAX) return -1;
  for (imagefiles::DecodeMode mode : {imagefiles::DecodeMode::Rgb, imagefiles::DecodeMode::Photo}) {
    engine::Raster picture;
    imagefiles::DecodeImage(data, uint32_t(size), mode, &picture);
  }
  return 0;
}
