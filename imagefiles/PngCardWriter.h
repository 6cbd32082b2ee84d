#pragma once

#include <cstdint>

#include "imagefiles/CardEncoding.h"
#include "imagefiles/SaveResult.h"

namespace imagefiles {

class SafeOutputFile;

// Encodes an Rgb24 card, given as `height` row pointers, into `file` as an
// 8-bit RGB PNG with no chunk but IHDR, IDAT and IEND. Failures as for
// WriteJpegCard.
SaveResult WritePngCard(SafeOutputFile* file, uint8_t** rows, uint32_t width, uint32_t height);
// With a pHYs chunk for `encoding`'s resolution when it asks for one.
SaveResult WritePngCard(SafeOutputFile* file, uint8_t** rows, uint32_t width, uint32_t height,
                        const CardEncoding& encoding);

}  // namespace imagefiles
