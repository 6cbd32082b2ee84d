// PNG decoding in every mode: as the placeholder tile (Rgb24), as a template
// layer (Rgba32) and as a photo (transparency over white, turned by eXIf).

#include <cstddef>
#include <cstdint>
#include <initializer_list>

#include "imagefiles/DecodeImage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 8 || size > UINT32_MAX || data[0] != 0x89 || data[1] != 'P') return -1;
  for (imagefiles::DecodeMode mode : {imagefiles::DecodeMode::Rgb, imagefiles::DecodeMode::Rgba,
                                      imagefiles::DecodeMode::Photo}) {
    engine::Raster picture;
    imagefiles::DecodeImage(data, uint32_t(size), mode, &picture);
  }
  return 0;
}
