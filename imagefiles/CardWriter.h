#pragma once

#include <cstdint>
#include <string>

#include "imagefiles/CardEncoding.h"
#include "imagefiles/OutputTarget.h"
#include "imagefiles/SaveResult.h"

namespace imagefiles {

enum class CardFormat { Jpeg, Png };

// Writes an Rgb24 card (rows `stride` bytes apart, bytes R, G, B; padding
// after width x 3 is ignored) as a complete file at `target`: a baseline
// JPEG at quality 80 with a 100 dpi JFIF header, or an 8-bit RGB PNG with no
// chunk but IHDR, IDAT and IEND. SafeOutputFile says how each kind of target
// is written. On failure the result names the step and the system's reason;
// a file target is then untouched and no partial file is left behind.
SaveResult WriteCard(const OutputTarget& target, CardFormat format, const uint8_t* pixels,
                     uint32_t width, uint32_t height, uint32_t stride);
// The same with the resolution and JPEG settings of `encoding` (the default
// encoding writes exactly what the call above writes).
SaveResult WriteCard(const OutputTarget& target, CardFormat format, const uint8_t* pixels,
                     uint32_t width, uint32_t height, uint32_t stride,
                     const CardEncoding& encoding);

}  // namespace imagefiles
