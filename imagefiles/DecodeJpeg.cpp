#include "imagefiles/DecodeJpeg.h"

#include <csetjmp>
#include <cstring>
#include <memory>
#include <new>
#include <utility>

#include "imagefiles/JpegErrorThrower.h"
#include "imagefiles/MemoryJpegSource.h"

namespace imagefiles {

namespace {

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
  int components = 0;
  // Library state lives here, in the caller's frame, not in the function that
  // calls setjmp: its locals are indeterminate after the jump.
  JpegLibState lib;
  engine::Raster raster;
  std::unique_ptr<JSAMPROW[]> rows;
};

void CountScans(j_common_ptr cinfo) {
  if (cinfo->is_decompressor &&
      reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > kMaxScans) {
    JpegErrorThrower::Fail(cinfo);
  }
}

// Called between library calls, never from inside the library, so it may
// use C++ freely; it reports an allocation failure as false.
bool AllocateRows(JpegDecodeJob* job, uint32_t width, uint32_t height) noexcept {
  try {
    job->raster = engine::Raster::Allocate(width, height, engine::PixelFormat::Rgb24);
    job->rows.reset(new JSAMPROW[height]);
    for (uint32_t y = 0; y < height; ++y) job->rows[y] = job->raster.Row(y);
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

// Every libjpeg call happens here. A library error jumps back to the setjmp
// below, so this function keeps only trivially destructible locals and
// everything that must survive the jump lives in `job`.
bool RunJpegDecode(JpegDecodeJob* job) {
  jpeg_decompress_struct* cinfo = &job->lib.cinfo;
  std::memset(cinfo, 0, sizeof *cinfo);
  cinfo->err = job->lib.error.Init();
  if (setjmp(job->lib.error.jump)) {
    jpeg_destroy_decompress(&job->lib.cinfo);
    return false;
  }
  jpeg_create_decompress(cinfo);
  job->lib.source.Attach(cinfo, job->data, job->size);
  std::memset(&job->lib.progress, 0, sizeof job->lib.progress);
  job->lib.progress.progress_monitor = CountScans;
  cinfo->progress = &job->lib.progress;

  jpeg_read_header(cinfo, TRUE);
  const int components = cinfo->num_components;
  if (components != 1 && components != 3) JpegErrorThrower::Fail(j_common_ptr(cinfo));
  job->components = components;
  const uint32_t width = cinfo->image_width;
  const uint32_t height = cinfo->image_height;
  size_t bytes = 0;
  const uint64_t pixels = uint64_t(width) * height;
  if (!engine::CheckedRasterSize(width, height, engine::PixelFormat::Rgb24, &bytes) ||
      (pixels > kPlausibilityCheckAbovePixels &&
       pixels > uint64_t(job->size) * kMaxPixelsPerByte)) {
    JpegErrorThrower::Fail(j_common_ptr(cinfo));
  }
  if (!AllocateRows(job, width, height)) JpegErrorThrower::Fail(j_common_ptr(cinfo));

  jpeg_start_decompress(cinfo);
  if (cinfo->output_width != width || cinfo->output_height != height ||
      cinfo->output_components != components) {
    JpegErrorThrower::Fail(j_common_ptr(cinfo));
  }
  while (cinfo->output_scanline < height) {
    const JDIMENSION done = cinfo->output_scanline;
    // Our source never suspends, so no progress means a broken library state.
    if (jpeg_read_scanlines(cinfo, job->rows.get() + done, height - done) == 0) {
      JpegErrorThrower::Fail(j_common_ptr(cinfo));
    }
  }
  jpeg_destroy_decompress(cinfo);
  return true;
}

// Grey arrives as one byte per pixel at the start of each row; spread it
// from the right end so no grey byte is overwritten before it is read.
void ExpandGreyRows(engine::Raster* raster) {
  const size_t width = raster->width;
  for (uint32_t y = 0; y < raster->height; ++y) {
    uint8_t* row = raster->Row(y);
    for (size_t x = width; x-- > 0;) {
      const uint8_t grey = row[x];
      row[3 * x] = grey;
      row[3 * x + 1] = grey;
      row[3 * x + 2] = grey;
    }
  }
}

}  // namespace

bool DecodeJpeg(const uint8_t* data, uint32_t size, engine::Raster* out) {
  JpegDecodeJob job;
  job.data = data;
  job.size = size;
  if (!RunJpegDecode(&job)) return false;
  if (job.components == 1) ExpandGreyRows(&job.raster);
  out->Swap(job.raster);
  return true;
}

}  // namespace imagefiles
