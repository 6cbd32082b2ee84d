#pragma once

#include <cstdint>

#include "engine/Raster.h"

namespace imagefiles {

// The PNG half of DecodeImage: any PNG kind into Rgb24 (withAlpha false) or
// Rgba32 (true). Fails on a library error, on a picture above
// engine::kMaxRasterPixels and on data that cannot hold the picture it
// declares. `*out` is only written on success. May throw std::bad_alloc.
bool DecodePng(const uint8_t* data, uint32_t size, bool withAlpha, engine::Raster* out);

}  // namespace imagefiles
