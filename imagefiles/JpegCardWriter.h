#pragma once

#include <cstdint>
#include <string>

#include "imagefiles/CardEncoding.h"
#include "imagefiles/SaveResult.h"

namespace imagefiles {

class SafeOutputFile;

// libjpeg refuses larger sides; callers check before they open a file.
constexpr uint32_t kMaxJpegSide = 65500;

// Encodes an Rgb24 card, given as `height` row pointers, into `file` as a
// baseline JPEG at quality 80 with a 100 dpi JFIF header. On failure the
// result is the file's own first failure when a write failed, else the
// encoder's; the file is left for the caller to commit or drop.
SaveResult WriteJpegCard(SafeOutputFile* file, uint8_t** rows, uint32_t width, uint32_t height);
// With the density, quality and chroma sampling of `encoding`.
SaveResult WriteJpegCard(SafeOutputFile* file, uint8_t** rows, uint32_t width, uint32_t height,
                         const CardEncoding& encoding);

// The same JPEG bytes into `out` (replacing what it held) instead of a
// file: what a PDF embeds. On failure `out` holds no usable image.
SaveResult EncodeJpegCard(std::string* out, uint8_t** rows, uint32_t width, uint32_t height,
                          const CardEncoding& encoding);

}  // namespace imagefiles
