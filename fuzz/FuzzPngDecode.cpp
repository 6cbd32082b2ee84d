// PNG decoding, as a photo (Rgb24) and as a template layer (Rgba32).

#include <cstddef>
#include <cstdint>
#include <initializer_list>

#include "imagefiles/DecodeImage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 8 || size > UINT32_MAX || data[0] != 0x89 || data[1] != 'P') return -1;
  for (bool withAlpha : {false, true}) {
    engine::Raster picture;
    imagefiles::DecodeImage(data, uint32_t(size), withAlpha, &picture);
  }
  return 0;
}
