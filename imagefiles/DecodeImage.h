#pragma once

#include <cstdint>

#include "engine/raster/ImageStatus.h"
#include "engine/raster/Raster.h"

namespace imagefiles {

enum class DecodeMode : uint8_t {
  // PNG or JPEG into Rgb24, pixels as stored; transparency is dropped. The
  // placeholder tile.
  Rgb,
  // PNG only, into Rgba32 with straight alpha. Template layers.
  Rgba,
  // PNG or JPEG into Rgb24 as people see a photo: transparent parts over
  // white, turned upright by its Exif orientation. Opaque photos without
  // an orientation decode exactly as in Rgb.
  Photo,
};

// Decodes a whole PNG or JPEG file held in memory, recognised by its first
// bytes. On failure says why and leaves `*out` untouched. Never throws:
// hostile data, library errors and allocation failures all end as a status.
engine::ImageStatus DecodeImage(const uint8_t* data, uint32_t size, DecodeMode mode,
                                engine::Raster* out);

// The same with a flag, for callers that only need to know whether it
// worked: withAlpha false is DecodeMode::Rgb, true DecodeMode::Rgba.
bool DecodeImage(const uint8_t* data, uint32_t size, bool withAlpha, engine::Raster* out);

}  // namespace imagefiles
