#pragma once

#include <cstdint>

namespace imagefiles {

// The most image data (IDAT bytes) a PNG of `rawBytes` filtered bytes in
// `rows` rows can sensibly hold. A deflate stream is never larger than its
// raw data plus a few bytes per block (zlib's compressBound is raw +
// raw / 4096 + ...); encoders that use fixed codes for everything stay
// within 9/8 of raw, those that flush each row add a few bytes per row.
// Twice the raw size, 16 bytes per row and 64 KiB leave every such encoder
// ample room. More image data than that is not the picture's: the decoder
// refuses it before inflating anything, and the file reader stops reading.
constexpr uint64_t MaxPngImageData(uint64_t rawBytes, uint64_t rows) {
  return rawBytes * 2 + rows * 16 + (64 << 10);
}

// The filtered bytes the image data of a PNG inflates to, and their number
// of rows (all seven passes' when interlaced).
void PngRawImageSize(uint32_t width, uint32_t height, int bitsPerPixel, bool interlaced,
                     uint64_t* bytes, uint64_t* rows);

}  // namespace imagefiles
