#include "imagefiles/DecodeJpeg.h"

#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <memory>
#include <new>
#include <utility>

#include "engine/raster/TurnUpright.h"
#include "imagefiles/JpegDecodeParts.h"

namespace imagefiles {

namespace {

using engine::ImageDetail;
using engine::ImageFailure;
using engine::ImageStatus;

struct JpegDecodeJob {
  const uint8_t* data = nullptr;
  uint32_t size = 0;
  bool wantOrientation = false;
  engine::DecodeControl* control = nullptr;
  int scaleDenom = 1;
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
    if (job->status.Ok()) job->status = StatusOfLibjpegError(job->lib);
    jpeg_destroy_decompress(&job->lib.cinfo);
    return false;
  }
  StartJpegLib(&job->lib, job->data, job->size, job->wantOrientation, job->control);
  jpeg_read_header(cinfo, TRUE);
  const engine::ImageStatus header = CheckJpegHeader(cinfo, job->size);
  if (!header) Refuse(job, header);
  job->components = cinfo->num_components;
  if (job->wantOrientation) job->orientation = JpegOrientation(*cinfo);
  if (job->scaleDenom > 1) {
    // A preview: what matters is being quick.
    cinfo->scale_num = 1;
    cinfo->scale_denom = unsigned(job->scaleDenom);
    cinfo->dct_method = JDCT_IFAST;
    cinfo->do_fancy_upsampling = FALSE;
    jpeg_calc_output_dimensions(cinfo);
  }
  const uint32_t width = job->scaleDenom > 1 ? cinfo->output_width : cinfo->image_width;
  const uint32_t height = job->scaleDenom > 1 ? cinfo->output_height : cinfo->image_height;
  const int components = job->components;
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

ImageStatus DecodeJpeg(const uint8_t* data, uint32_t size, bool upright, engine::Raster* out,
                       engine::DecodeControl* control, int scaleDenom) {
  JpegDecodeJob job;
  job.data = data;
  job.size = size;
  job.wantOrientation = upright;
  job.control = control;
  job.scaleDenom = scaleDenom == 2 || scaleDenom == 4 || scaleDenom == 8 ? scaleDenom : 1;
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
