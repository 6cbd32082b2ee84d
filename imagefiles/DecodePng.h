#pragma once

#include <cstdint>

#include "engine/raster/DecodeControl.h"
#include "engine/raster/ImageStatus.h"
#include "engine/raster/Raster.h"
#include "imagefiles/DecodeImage.h"

namespace imagefiles {

// The PNG half of DecodeImage: any PNG kind into Rgb24 (modes Rgb and
// Photo) or Rgba32 (Rgba). Fails on a library error, on a picture above
// engine::kMaxRasterPixels, on data that cannot hold the picture it declares
// and on far more compressed data than it can need. In Photo mode alpha and
// tRNS transparency are put over white and the picture is turned as its
// eXIf chunk says. `*out` is only written on success. May throw
// std::bad_alloc. `control`, when given, hears the progress and can stop
// the decode.
engine::ImageStatus DecodePng(const uint8_t* data, uint32_t size, DecodeMode mode,
                              engine::Raster* out, engine::DecodeControl* control = nullptr);

}  // namespace imagefiles
