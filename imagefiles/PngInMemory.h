#pragma once

#include <cstdint>
#include <vector>

namespace imagefiles {

// Encodes an Rgb24 picture (rows `stride` bytes apart) as an 8-bit RGB PNG
// into `out`, for pictures that travel inside another file (a project's
// thumbnail). False, with `out` unspecified, when libpng fails or memory
// runs out.
bool EncodePngInMemory(const uint8_t* pixels, uint32_t width, uint32_t height, uint32_t stride,
                       std::vector<uint8_t>* out);

}  // namespace imagefiles
