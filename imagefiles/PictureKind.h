#pragma once

#include <cstddef>
#include <cstdint>

namespace imagefiles {

// The photo formats the program reads, told apart by their first bytes
// (never by a file's name).
enum class PictureKind : uint8_t { Unknown, Png, Jpeg, Heif, Webp, Tiff };

// At least 4 bytes tell PNG, JPEG and TIFF; WebP needs 12, HEIF the whole
// "ftyp" box (its brands), of which 32 bytes hold what any camera writes.
// HEIF is any ISO media file whose brands name a HEIF still picture or
// AVIF; whether it decodes is the decoder's business.
PictureKind SniffPicture(const uint8_t* data, size_t size);

}  // namespace imagefiles
