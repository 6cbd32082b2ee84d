#pragma once

#include <cstdint>

#include "engine/raster/DecodeControl.h"
#include "engine/raster/ImageStatus.h"
#include "engine/raster/Raster.h"

namespace imagefiles {

// The JPEG half of DecodeImage: a grey, RGB (YCbCr), CMYK or YCCK JPEG into
// Rgb24. Four-component pictures are taken as Adobe writes them (inverted),
// the way browsers show them. A truncated file decodes as far as its data
// goes. With `upright`, the picture is turned as the Exif orientation of
// its first APP1 Exif segment says, row strip by row strip as it is
// decoded. `*out` is only written on success. May throw std::bad_alloc.
// `control`, when given, hears the progress and can stop the decode.
// `scaleDenom` 2, 4 or 8 decodes a reduced picture, 1/scaleDenom of the
// size each way (rounded up), with libjpeg's scaled inverse transforms: a
// quick preview, not the photo.
engine::ImageStatus DecodeJpeg(const uint8_t* data, uint32_t size, bool upright,
                               engine::Raster* out, engine::DecodeControl* control = nullptr,
                               int scaleDenom = 1);

}  // namespace imagefiles
