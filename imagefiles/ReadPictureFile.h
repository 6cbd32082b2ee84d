#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/raster/ImageReader.h"

namespace imagefiles {

// Limits of what ReadPictureFile reads besides a picture's own data.
// Chunks and segments other than image data (text, profiles, thumbnails):
constexpr uint64_t kMaxPictureExtras = 16u << 20;
// Within a layout file, a layer's name and other chunks, per layer:
constexpr uint64_t kMaxLayerExtras = 16u << 20;

// Reads the picture (PNG, JPEG, WebP, TIFF, HEIF) or layout file at `path`
// (UTF-8) for its decoder, looking at its first bytes before anything else
// and reading no further than what it declares it holds:
// - a PNG chunk by chunk up to and including IEND, never the bytes after
//   it; more image data than its declared size can need (MaxPngImageData)
//   is refused as Damaged / ExtraData;
// - a JPEG segment by segment up to and including its end-of-image marker,
//   at most its declared frame's worst-case size (16 bytes a pixel for four
//   components) plus 16 MiB of other segments, else refused the same way;
// - a WebP its RIFF chunk, at most about 5 bytes a pixel of the size its
//   first chunk declares plus 16 MiB;
// - a TIFF its first directory (wherever it is, but not beyond what the
//   largest picture could fill uncompressed) and the strips or tiles it
//   points at, together at most 4 times the picture's raw size plus 16 MiB
//   besides, and up to the end of the last of them;
// - a HEIF (HEIC) its top-level boxes, up to the last, together at most 4
//   bytes a pixel of the pictures its meta box declares plus 16 MiB of other
//   boxes;
// - a layout file ("JQLayeredImage_1") its header and both layers, each
//   layer's picture read as a PNG above;
// - anything else only its first 32 bytes, which is all the decoders need
//   to say what it is not.
// A picture above engine::kMaxRasterPixels is refused as TooLarge, as its
// decoder would. A file that ends early is returned as far as it goes, for
// the decoder to say what is missing. Fails as ReadWholeFile does for what cannot be
// opened or read, and for anything that is not a regular file.
// `stamp`, when given, gets the file's size and modification time.
engine::ImageStatus ReadPictureFile(const std::string& path, std::vector<uint8_t>* bytes,
                                    engine::FileStamp* stamp = nullptr);

}  // namespace imagefiles
