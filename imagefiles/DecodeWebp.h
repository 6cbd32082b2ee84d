#pragma once

#include <cstdint>

#include "engine/raster/DecodeControl.h"
#include "engine/raster/ImageStatus.h"
#include "engine/raster/Raster.h"
#include "imagefiles/DecodeImage.h"

namespace imagefiles {

// The WebP part of DecodeImage: a still WebP picture, lossy or lossless,
// into Rgb24. Transparency is put over white; in Photo mode the picture is
// turned as the Exif orientation of its EXIF chunk says. Animations are
// refused (Unsupported, Animated), as is Rgba mode (only PNG makes
// template layers). Decoded a piece of the file at a time, so `control`,
// when given, hears the progress and can stop it. `*out` is only written
// on success. May throw std::bad_alloc.
engine::ImageStatus DecodeWebp(const uint8_t* data, uint32_t size, DecodeMode mode,
                               engine::Raster* out, engine::DecodeControl* control = nullptr);

// The Exif orientation of a WebP file's EXIF chunk, 1 without one.
int WebpOrientation(const uint8_t* data, uint32_t size);

}  // namespace imagefiles
