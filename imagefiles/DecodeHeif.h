#pragma once

#include <cstdint>

#include "engine/raster/DecodeControl.h"
#include "engine/raster/ImageStatus.h"
#include "engine/raster/Raster.h"
#include "imagefiles/DecodeImage.h"

namespace imagefiles {

// The HEIF part of DecodeImage: the primary picture of a HEIC file (what
// phones write: HEVC, usually a grid of tiles) into Rgb24, through libheif
// with libde265. The file's own turn and mirror (irot, imir) and crop are
// applied, in every mode: they are part of the picture, not a tag (an
// Exif orientation inside is only a note and is not looked at).
// Transparency is put over white. Pictures coded otherwise (AVIF) and Rgba
// mode are refused. `control`, when given, hears the progress of tiled
// pictures; a decode that was cancelled while libheif ran ends as
// Cancelled once libheif returns. `*out` is only written on success. May
// throw std::bad_alloc.
engine::ImageStatus DecodeHeif(const uint8_t* data, uint32_t size, DecodeMode mode,
                               engine::Raster* out, engine::DecodeControl* control = nullptr);

// The thumbnail a HEIC file carries for its primary picture (phones put
// one in every file), decoded as the picture would be, when its longer side
// has at least `longSide` pixels and it has the picture's proportions.
// Unsupported when there is none such.
engine::ImageStatus DecodeHeifThumbnail(const uint8_t* data, uint32_t size, uint32_t longSide,
                                        engine::Raster* out);

}  // namespace imagefiles
