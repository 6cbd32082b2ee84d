// The Exif orientation reader on any bytes, as a JPEG's APP1 segment or a
// PNG's eXIf chunk would hand them over. Whatever the block, the answer is
// an orientation.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "imagefiles/ExifOrientation.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const int orientation = imagefiles::ExifOrientation(data, size);
  if (orientation < 1 || orientation > 8) std::abort();
  return 0;
}
