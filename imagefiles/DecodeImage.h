#pragma once

#include <cstdint>

#include "engine/raster/DecodeControl.h"
#include "engine/raster/ImageStatus.h"
#include "engine/raster/Raster.h"

namespace imagefiles {

enum class DecodeMode : uint8_t {
  // Into Rgb24, pixels as stored; transparency is dropped (HEIF, WebP and
  // TIFF: put over white). The placeholder tile.
  Rgb,
  // PNG only, into Rgba32 with straight alpha. Template layers.
  Rgba,
  // Into Rgb24 as people see a photo: transparent parts over white, turned
  // upright by its Exif orientation (HEIF: its turn and mirror). Opaque
  // PNG and JPEG photos without an orientation decode exactly as in Rgb.
  Photo,
};

// Decodes a whole PNG, JPEG, HEIF (HEIC), WebP or TIFF file held in memory,
// recognised by its first bytes (SniffPicture). On failure says why and
// leaves `*out` untouched. Never throws: hostile data, library errors and
// allocation failures all end as a status. With a `control`, the decoder
// reports how far it got and stops, as Cancelled, once it is cancelled.
engine::ImageStatus DecodeImage(const uint8_t* data, uint32_t size, DecodeMode mode,
                                engine::Raster* out, engine::DecodeControl* control = nullptr);

// The same with a flag, for callers that only need to know whether it
// worked: withAlpha false is DecodeMode::Rgb, true DecodeMode::Rgba.
bool DecodeImage(const uint8_t* data, uint32_t size, bool withAlpha, engine::Raster* out);

// A quick reduced copy of a photo, as DecodeImage in Photo mode would show
// it, whose longer side has at least `longSide` pixels (when the photo has
// that many): a JPEG decoded at 1/2, 1/4 or 1/8 of its size, a HEIC's own
// thumbnail. Unsupported when the format has no decode much quicker than
// the whole one (PNG, WebP, TIFF), or the photo is too small to need one.
// Not the photo: what a window shows while the photo is decoded.
engine::ImageStatus DecodePhotoPreview(const uint8_t* data, uint32_t size, uint32_t longSide,
                                       engine::Raster* out);

}  // namespace imagefiles
