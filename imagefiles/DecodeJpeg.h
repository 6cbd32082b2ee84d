#pragma once

#include <cstdint>

#include "engine/Raster.h"

namespace imagefiles {

// The JPEG half of DecodeImage: a one- or three-component JPEG into Rgb24.
// A truncated file decodes as far as its data goes. `*out` is only written
// on success. May throw std::bad_alloc.
bool DecodeJpeg(const uint8_t* data, uint32_t size, engine::Raster* out);

}  // namespace imagefiles
