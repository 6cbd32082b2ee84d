#pragma once

#include <cstdint>

#include "engine/raster/DecodeControl.h"
#include "engine/raster/ImageStatus.h"
#include "engine/raster/Raster.h"
#include "imagefiles/DecodeImage.h"

namespace imagefiles {

// The TIFF part of DecodeImage: the first picture of a TIFF file (what a
// scanner writes: grey, RGB, palette, CMYK, YCbCr; 1 to 16 bits; stripped
// or tiled; uncompressed, LZW, Deflate, PackBits, JPEG ...) into Rgb24
// through libtiff's RGBA reader, strip by strip. Transparency is put over
// white; in Photo mode the picture is turned as its Orientation tag says.
// Rgba mode is refused (only PNG makes template layers). `control`, when
// given, hears the progress and can stop the decode between strips.
// `*out` is only written on success. May throw std::bad_alloc.
engine::ImageStatus DecodeTiff(const uint8_t* data, uint32_t size, DecodeMode mode,
                               engine::Raster* out, engine::DecodeControl* control = nullptr);

}  // namespace imagefiles
