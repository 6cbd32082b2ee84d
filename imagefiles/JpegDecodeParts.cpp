#include "imagefiles/JpegDecodeParts.h"

#include <cstring>

#include "engine/raster/Raster.h"
#include "imagefiles/ExifOrientation.h"

#include <jerror.h>  // after jpeglib.h, which the headers above bring in

namespace imagefiles {

namespace {

using engine::ImageDetail;
using engine::ImageFailure;
using engine::ImageStatus;

// Complete Huffman-coded data needs at least one bit per 8 x 8 luma block
// (512 pixels per byte); beyond twice that the file is a fragment or a
// forgery, and decoding it would only fill a buffer with grey. Up to the
// size of a large camera photo such files still decode, as any truncated
// JPEG does (arithmetic coding can legitimately go below one bit per block);
// above it, a small file is not allowed to claim a huge buffer.
constexpr uint64_t kMaxPixelsPerByte = 1024;
constexpr uint64_t kPlausibilityCheckAbovePixels = 16'000'000;

// libjpeg calls it for every row group it decodes and, in a progressive
// file, for every row group of every scan it reads.
void CountScans(j_common_ptr cinfo) {
  if (cinfo->is_decompressor &&
      reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > kMaxJpegScans) {
    JpegErrorThrower::Fail(cinfo);  // told apart by the scan count afterwards
  }
  const JpegProgress* progress = static_cast<const JpegProgress*>(cinfo->progress);
  if (engine::DecodeControl* control = progress->control) {
    if (control->Cancelled()) JpegErrorThrower::Fail(cinfo);  // told apart by the control
    const long passes = progress->total_passes > 0 ? progress->total_passes : 1;
    const long limit = progress->pass_limit > 0 ? progress->pass_limit : 1;
    control->Progress(uint64_t(progress->completed_passes) * uint64_t(limit) +
                          uint64_t(progress->pass_counter < 0 ? 0 : progress->pass_counter),
                      uint64_t(passes) * uint64_t(limit));
  }
}

}  // namespace

void StartJpegLib(JpegLibState* lib, const uint8_t* data, uint32_t size, bool wantExif,
                  engine::DecodeControl* control) {
  jpeg_decompress_struct* cinfo = &lib->cinfo;
  jpeg_create_decompress(cinfo);
  lib->source.Attach(cinfo, data, size);
  lib->progress = JpegProgress();
  lib->progress.control = control;
  lib->progress.progress_monitor = CountScans;
  cinfo->progress = &lib->progress;
  // Exif lives in APP1, at most 64 KB, kept in the library's own pool.
  if (wantExif) jpeg_save_markers(cinfo, JPEG_APP0 + 1, 0xFFFF);
}

ImageStatus CheckJpegHeader(jpeg_decompress_struct* cinfo, uint32_t dataSize) {
  const int components = cinfo->num_components;
  if (components != 1 && components != 3 && components != 4) {
    return ImageStatus::Failed(ImageFailure::Unsupported);
  }
  // libjpeg turns YCCK into CMYK itself; CMYK stays as stored.
  if (components == 4) cinfo->out_color_space = JCS_CMYK;
  const uint32_t width = cinfo->image_width;
  const uint32_t height = cinfo->image_height;
  size_t bytes = 0;
  const uint64_t pixels = uint64_t(width) * height;
  if (!engine::CheckedRasterSize(width, height, engine::PixelFormat::Rgb24, &bytes)) {
    return ImageStatus::TooLarge(width, height);
  }
  if (pixels > kPlausibilityCheckAbovePixels && pixels > uint64_t(dataSize) * kMaxPixelsPerByte) {
    return ImageStatus::Failed(ImageFailure::Damaged, ImageDetail::EndsEarly);
  }
  return ImageStatus();
}

int JpegOrientation(const jpeg_decompress_struct& cinfo) {
  for (jpeg_saved_marker_ptr m = cinfo.marker_list; m != nullptr; m = m->next) {
    if (m->marker == JPEG_APP0 + 1 && m->data_length >= 6 &&
        std::memcmp(m->data, "Exif\0\0", 6) == 0) {
      return ExifOrientation(m->data, m->data_length);
    }
  }
  return 1;
}

// Our source serves an end of image when the data runs out, so a file cut
// short shows as the source standing on that marker.
ImageStatus StatusOfLibjpegError(const JpegLibState& lib) {
  const jpeg_decompress_struct& cinfo = lib.cinfo;
  if (lib.progress.control != nullptr && lib.progress.control->Cancelled()) {
    return ImageStatus::Failed(ImageFailure::Cancelled);
  }
  switch (lib.error.mgr.msg_code) {
    case JERR_OUT_OF_MEMORY:
      return ImageStatus::Failed(ImageFailure::OutOfMemory);
    case JERR_IMAGE_TOO_BIG:
    case JERR_WIDTH_OVERFLOW:
      return ImageStatus::TooLarge(cinfo.image_width, cinfo.image_height);
    case JERR_BAD_PRECISION:
    case JERR_SOF_UNSUPPORTED:
    case JERR_NOT_COMPILED:
    case JERR_CONVERSION_NOTIMPL:
    case JERR_ARITH_NOTIMPL:
      return ImageStatus::Failed(ImageFailure::Unsupported);
    default:
      break;
  }
  if (cinfo.input_scan_number > kMaxJpegScans) {
    return ImageStatus::Failed(ImageFailure::Unsupported, ImageDetail::TooManyScans);
  }
  const JOCTET* next = lib.source.mgr.next_input_byte;
  const JOCTET* marker = lib.source.endOfImage;
  if (next >= marker && next <= marker + 2) {
    return ImageStatus::Failed(ImageFailure::Damaged, ImageDetail::EndsEarly);
  }
  return ImageStatus::Failed(ImageFailure::Damaged, ImageDetail::CorruptData);
}

void CmykRowToRgb(const uint8_t* cmyk, uint8_t* rgb, uint32_t width) {
  for (uint32_t x = 0; x < width; ++x, cmyk += 4, rgb += 3) {
    const uint32_t c = cmyk[0], m = cmyk[1], y = cmyk[2], k = cmyk[3];
    rgb[0] = uint8_t((c * k + 127) / 255);
    rgb[1] = uint8_t((m * k + 127) / 255);
    rgb[2] = uint8_t((y * k + 127) / 255);
  }
}

void ExpandGreyRow(uint8_t* row, size_t width) {
  for (size_t x = width; x-- > 0;) {
    const uint8_t grey = row[x];
    row[3 * x] = grey;
    row[3 * x + 1] = grey;
    row[3 * x + 2] = grey;
  }
}

}  // namespace imagefiles
