#pragma once

#include <cstddef>
#include <cstdint>

namespace imagefiles {

// The Orientation (tag 0x0112) of IFD0 in an Exif block: a TIFF header
// ("II*\0" or "MM\0*") and what follows it, optionally preceded by the
// "Exif\0\0" of a JPEG's APP1 segment (some PNG writers keep it too).
// Returns 1 to 8 as recorded, and 1 (as stored, upright) for a missing tag
// and for any block that is truncated, malformed or points outside itself.
// Reads only the first directory and never follows an offset chain, so no
// block can make it loop; it reads at most `size` bytes and allocates
// nothing.
int ExifOrientation(const uint8_t* data, size_t size);

}  // namespace imagefiles
