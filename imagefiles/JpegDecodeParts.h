#pragma once

#include <cstdint>

#include "engine/raster/DecodeControl.h"
#include "engine/raster/ImageStatus.h"
#include "imagefiles/JpegErrorThrower.h"
#include "imagefiles/MemoryJpegSource.h"

namespace imagefiles {

// What decoding a whole JPEG (DecodeJpeg) and reading one row by row
// (JpegRowReader) share: the library state, the checks of the header, the
// reasons for a failure and the conversions of grey and CMYK rows.

// Progressive files with very many scans keep libjpeg busy for minutes;
// libjpeg-turbo's own fuzzers stop at the same count.
constexpr int kMaxJpegScans = 100;

// libjpeg's progress hook, which also carries the caller's control.
struct JpegProgress : jpeg_progress_mgr {
  engine::DecodeControl* control = nullptr;
};

struct JpegLibState {
  jpeg_decompress_struct cinfo;
  JpegErrorThrower error;
  MemoryJpegSource source;
  JpegProgress progress;
};

// Creates the decompressor over `data`, with the scan limit and, when
// `wantExif`, the APP1 segments kept. With a `control`, the decode reports
// its progress there and stops (a library error whose status is Cancelled)
// once it is cancelled. Must run under the caller's setjmp.
void StartJpegLib(JpegLibState* lib, const uint8_t* data, uint32_t size, bool wantExif,
                  engine::DecodeControl* control = nullptr);

// After jpeg_read_header: a status that is not Ok when the picture has a
// kind of colour this program does not read, is too large, or is far larger
// than its data could hold. Sets out_color_space for four components.
engine::ImageStatus CheckJpegHeader(jpeg_decompress_struct* cinfo, uint32_t dataSize);

// The Exif orientation of the first APP1 Exif segment, 1 without one.
int JpegOrientation(const jpeg_decompress_struct& cinfo);

// Why libjpeg gave up, from its message code and where the data stood.
engine::ImageStatus StatusOfLibjpegError(const JpegLibState& lib);

// Adobe's applications write CMYK inverted (0 is full ink), and browsers
// show every four-component JPEG that way: R = C x K / 255 and so on,
// rounded. `rgb` may be `cmyk` itself.
void CmykRowToRgb(const uint8_t* cmyk, uint8_t* rgb, uint32_t width);

// Grey arrives as one byte per pixel at the start of the row; spread in
// place from the right end.
void ExpandGreyRow(uint8_t* row, size_t width);

}  // namespace imagefiles
