#pragma once

#include <cstdint>

#include "engine/Raster.h"

namespace imagefiles {

// Decodes a whole PNG or JPEG file held in memory, recognised by its first
// bytes. withAlpha false: PNG or JPEG into Rgb24. withAlpha true: PNG only,
// into Rgba32. True only when a complete picture was produced; on failure
// `*out` is left untouched. Never throws: hostile data, library errors and
// allocation failures all end as false.
bool DecodeImage(const uint8_t* data, uint32_t size, bool withAlpha, engine::Raster* out);

}  // namespace imagefiles
