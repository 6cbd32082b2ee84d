#pragma once

#include <cstdint>
#include <vector>

namespace imagefiles {

// The resolution a PNG records in its pHYs chunk, in pixels per inch,
// rounded: 0 when it has none, records no unit (an aspect ratio only), has
// different horizontal and vertical densities, or the chunk's CRC is wrong.
// Reads only the chunk list; the picture is not decoded.
uint32_t ReadPngPpi(const uint8_t* data, uint32_t size);

// pixels per metre for a resolution in pixels per inch, as PNG stores it.
uint32_t PixelsPerMetre(uint32_t ppi);

// A copy of a whole PNG file with its resolution set to `ppi`: any pHYs
// chunk goes, and one with `ppi` in pixels per metre follows IHDR. False,
// with `*out` untouched, when the data is not a PNG whose chunks can be
// walked to IEND. Nothing else of the file changes.
bool SetPngPpi(const uint8_t* data, uint32_t size, uint32_t ppi, std::vector<uint8_t>* out);

}  // namespace imagefiles
