#include "imagefiles/DecodeImage.h"

#include <new>

#include "imagefiles/DecodeJpeg.h"
#include "imagefiles/DecodePng.h"

namespace imagefiles {

bool DecodeImage(const uint8_t* data, uint32_t size, bool withAlpha, engine::Raster* out) {
  if (data == nullptr || size < 10) return false;
  try {
    // Only four bytes here; libpng checks the whole signature itself.
    if (data[0] == 0x89 && data[1] == 'P' && data[2] == 'N' && data[3] == 'G') {
      return DecodePng(data, size, withAlpha, out);
    }
    if (data[0] == 0xFF && data[1] == 0xD8 && !withAlpha) return DecodeJpeg(data, size, out);
  } catch (const std::bad_alloc&) {
    // Photos come from the user: running out of memory on one is a failed
    // load, not the end of the program.
  }
  return false;
}

}  // namespace imagefiles
