#include "imagefiles/DecodeJpeg.h"

#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <memory>
#include <new>
#include <utility>

#include "engine/raster/TurnUpright.h"
#include "imagefiles/ExifOrientation.h"
#include "imagefiles/JpegErrorThrower.h"
#include "imagefiles/MemoryJpegSource.h"

#include <jerror.h>  // after jpeglib.h, which the headers above bring in

namespace imagefiles {

namespace {

using engine::ImageDetail;
using engine::ImageFailure;
using engine::ImageStatus;

// Progressive files with very many scans keep libjpeg busy for minutes;
// libjpeg-turbo's own fuzzers stop at the same count.
constexpr int kMaxScans = 100;

// Complete Huffman-coded data needs at least one bit per 8 x 8 luma block
// (512 pixels per byte); beyond twice that the file is a fragment or a
// forgery, and decoding it would only fill a buffer with grey. Up to the
// size of a large camera photo such files still decode, as any truncated
// JPEG does (arithmetic coding can legitimately go below one bit per block);
// above it, a small file is not allowed to claim a huge buffer.
constexpr uint64_t kMaxPixelsPerByte = 1024;
constexpr uint64_t kPlausibilityCheckAbovePixels = 16'000'000;

struct JpegLibState {
  jpeg_decompress_struct cinfo;
  JpegErrorThrower error;
  MemoryJpegSource source;
  jpeg_progress_mgr progress;
};

struct JpegDecodeJob {
  const uint8_t* data = nullptr;
  uint32_t size = 0;
  bool wantOrientation = false;
  int components = 0;
  int orientation = 1;
  // Set by our own checks before they end the decode; Ok until then.
  ImageStatus status;
  // Library state lives here, in the caller's frame, not in the function that
  // calls setjmp: its locals are indeterminate after the jump.
  JpegLibState lib;
  engine::Raster raster;
  std::unique_ptr<JSAMPROW[]> rows;
  std::unique_ptr<uint8_t[]> cmykRow;
  // Instead of the three above, for a photo that has to be turned.
  std::unique_ptr<engine::UprightBuilder> upright;
};

[[noreturn]] void Refuse(JpegDecodeJob* job, ImageStatus status) {
  job->status = status;
  JpegErrorThrower::Fail(j_common_ptr(&job->lib.cinfo));
}

void CountScans(j_common_ptr cinfo) {
  if (cinfo->is_decompressor &&
      reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > kMaxScans) {
    JpegErrorThrower::Fail(cinfo);  // told apart by the scan count afterwards
  }
}

// Why libjpeg gave up, from its message code. Our source serves an end of
// image when the data runs out, so a file cut short shows as the source
// standing on that marker.
ImageStatus StatusOfLibjpegError(const JpegDecodeJob& job) {
  const jpeg_decompress_struct& cinfo = job.lib.cinfo;
  switch (job.lib.error.mgr.msg_code) {
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
  if (cinfo.input_scan_number > kMaxScans) {
    return ImageStatus::Failed(ImageFailure::Unsupported, ImageDetail::TooManyScans);
  }
  const JOCTET* next = job.lib.source.mgr.next_input_byte;
  const JOCTET* marker = job.lib.source.endOfImage;
  if (next >= marker && next <= marker + 2) {
    return ImageStatus::Failed(ImageFailure::Damaged, ImageDetail::EndsEarly);
  }
  return ImageStatus::Failed(ImageFailure::Damaged, ImageDetail::CorruptData);
}

// Called between library calls, never from inside the library, so it may
// use C++ freely; it reports an allocation failure as false.
bool AllocateRows(JpegDecodeJob* job, uint32_t width, uint32_t height) noexcept {
  try {
    if (job->orientation != 1) {
      // Rows are decoded into the builder's strip, with room for CMYK.
      job->upright = std::make_unique<engine::UprightBuilder>(
          width, height, job->orientation, size_t(width) * (job->components == 4 ? 4 : 3));
      job->rows.reset(new JSAMPROW[engine::UprightBuilder::kStripRows]);
      return true;
    }
    job->raster = engine::Raster::Allocate(width, height, engine::PixelFormat::Rgb24);
    if (job->components == 4) {
      job->cmykRow.reset(new uint8_t[size_t(width) * 4]);
      return true;
    }
    job->rows.reset(new JSAMPROW[height]);
    for (uint32_t y = 0; y < height; ++y) job->rows[y] = job->raster.Row(y);
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

void ReadOrientation(JpegDecodeJob* job) {
  for (jpeg_saved_marker_ptr m = job->lib.cinfo.marker_list; m != nullptr; m = m->next) {
    if (m->marker == JPEG_APP0 + 1 && m->data_length >= 6 &&
        std::memcmp(m->data, "Exif\0\0", 6) == 0) {
      job->orientation = ExifOrientation(m->data, m->data_length);
      return;
    }
  }
}

// Adobe's applications write CMYK inverted (0 is full ink), and browsers
// show every four-component JPEG that way: R = C x K / 255 and so on,
// rounded. `rgb` may be `cmyk` itself: each byte is written after every
// byte at or before it has been read.
void CmykRowToRgb(const uint8_t* cmyk, uint8_t* rgb, uint32_t width) {
  for (uint32_t x = 0; x < width; ++x, cmyk += 4, rgb += 3) {
    const uint32_t c = cmyk[0], m = cmyk[1], y = cmyk[2], k = cmyk[3];
    rgb[0] = uint8_t((c * k + 127) / 255);
    rgb[1] = uint8_t((m * k + 127) / 255);
    rgb[2] = uint8_t((y * k + 127) / 255);
  }
}

// Grey arrives as one byte per pixel at the start of the row; spread it
// from the right end so no grey byte is overwritten before it is read.
void ExpandGreyRow(uint8_t* row, size_t width) {
  for (size_t x = width; x-- > 0;) {
    const uint8_t grey = row[x];
    row[3 * x] = grey;
    row[3 * x + 1] = grey;
    row[3 * x + 2] = grey;
  }
}

// Reads the next strip of rows into the builder and turns them into Rgb24
// where they lie.
void ReadStrip(JpegDecodeJob* job) {
  engine::UprightBuilder& upright = *job->upright;
  const uint32_t wanted = upright.RowsWanted();
  for (uint32_t i = 0; i < wanted; ++i) job->rows[i] = upright.NextRows() + i * upright.RowStride();
  const JDIMENSION got = jpeg_read_scanlines(&job->lib.cinfo, job->rows.get(), wanted);
  // Our source never suspends, so no progress means a broken library state.
  if (got == 0) Refuse(job, ImageStatus::Failed(ImageFailure::Damaged));
  const uint32_t width = job->lib.cinfo.output_width;
  for (JDIMENSION i = 0; i < got; ++i) {
    if (job->components == 1) ExpandGreyRow(job->rows[i], width);
    if (job->components == 4) CmykRowToRgb(job->rows[i], job->rows[i], width);
  }
  upright.RowsDone(got);
}

// Every libjpeg call happens here. A library error jumps back to the setjmp
// below, so this function keeps only trivially destructible locals and
// everything that must survive the jump lives in `job`.
bool RunJpegDecode(JpegDecodeJob* job) {
  jpeg_decompress_struct* cinfo = &job->lib.cinfo;
  std::memset(cinfo, 0, sizeof *cinfo);
  cinfo->err = job->lib.error.Init();
  if (setjmp(job->lib.error.jump)) {
    if (job->status.Ok()) job->status = StatusOfLibjpegError(*job);
    jpeg_destroy_decompress(&job->lib.cinfo);
    return false;
  }
  jpeg_create_decompress(cinfo);
  job->lib.source.Attach(cinfo, job->data, job->size);
  std::memset(&job->lib.progress, 0, sizeof job->lib.progress);
  job->lib.progress.progress_monitor = CountScans;
  cinfo->progress = &job->lib.progress;
  // Exif lives in APP1, at most 64 KB, kept in the library's own pool.
  if (job->wantOrientation) jpeg_save_markers(cinfo, JPEG_APP0 + 1, 0xFFFF);

  jpeg_read_header(cinfo, TRUE);
  const int components = cinfo->num_components;
  if (components != 1 && components != 3 && components != 4) {
    Refuse(job, ImageStatus::Failed(ImageFailure::Unsupported));
  }
  // libjpeg turns YCCK into CMYK itself; CMYK stays as stored.
  if (components == 4) cinfo->out_color_space = JCS_CMYK;
  job->components = components;
  if (job->wantOrientation) ReadOrientation(job);
  const uint32_t width = cinfo->image_width;
  const uint32_t height = cinfo->image_height;
  size_t bytes = 0;
  const uint64_t pixels = uint64_t(width) * height;
  if (!engine::CheckedRasterSize(width, height, engine::PixelFormat::Rgb24, &bytes)) {
    Refuse(job, ImageStatus::TooLarge(width, height));
  }
  if (pixels > kPlausibilityCheckAbovePixels && pixels > uint64_t(job->size) * kMaxPixelsPerByte) {
    Refuse(job, ImageStatus::Failed(ImageFailure::Damaged, ImageDetail::EndsEarly));
  }
  if (!AllocateRows(job, width, height))
    Refuse(job, ImageStatus::Failed(ImageFailure::OutOfMemory));

  jpeg_start_decompress(cinfo);
  if (cinfo->output_width != width || cinfo->output_height != height ||
      cinfo->output_components != components) {
    Refuse(job, ImageStatus::Failed(ImageFailure::Unsupported));
  }
  while (cinfo->output_scanline < height) {
    const JDIMENSION done = cinfo->output_scanline;
    if (job->upright) {
      ReadStrip(job);
    } else if (job->cmykRow) {
      JSAMPROW row = job->cmykRow.get();
      // Our source never suspends, so no progress means a broken library state.
      if (jpeg_read_scanlines(cinfo, &row, 1) != 1) {
        Refuse(job, ImageStatus::Failed(ImageFailure::Damaged));
      }
      CmykRowToRgb(row, job->raster.Row(done), width);
    } else if (jpeg_read_scanlines(cinfo, job->rows.get() + done, height - done) == 0) {
      Refuse(job, ImageStatus::Failed(ImageFailure::Damaged));
    }
  }
  jpeg_destroy_decompress(cinfo);
  return true;
}

void ExpandGreyRows(engine::Raster* raster) {
  for (uint32_t y = 0; y < raster->height; ++y) ExpandGreyRow(raster->Row(y), raster->width);
}

}  // namespace

ImageStatus DecodeJpeg(const uint8_t* data, uint32_t size, bool upright, engine::Raster* out) {
  JpegDecodeJob job;
  job.data = data;
  job.size = size;
  job.wantOrientation = upright;
  if (!RunJpegDecode(&job)) return job.status;
  if (job.upright) {
    job.raster = job.upright->Take();
  } else if (job.components == 1) {
    ExpandGreyRows(&job.raster);
  }
  out->Swap(job.raster);
  return ImageStatus();
}

}  // namespace imagefiles
