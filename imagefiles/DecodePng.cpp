#include "imagefiles/DecodePng.h"

#include <csetjmp>
#include <cstring>
#include <memory>
#include <new>
#include <utility>

#include <png.h>

#include "engine/raster/TurnUpright.h"
#include "imagefiles/ExifOrientation.h"
#include "imagefiles/OverWhite.h"
#include "imagefiles/PngChunkWalk.h"
#include "imagefiles/PngDataBound.h"
#include "imagefiles/PngErrorManager.h"

namespace imagefiles {

namespace {

using engine::ImageDetail;
using engine::ImageFailure;
using engine::ImageStatus;

// Deflate turns one input byte into at most 1032 output bytes; image data
// shorter than its inflated size / 1032 cannot be a valid picture, however
// it would fail later. Refusing it up front stops small files from claiming
// huge buffers.
constexpr uint64_t kMaxInflateRatio = 1040;

// The other side of the same bound is MaxPngImageData (PngDataBound.h).
// Within it, data after the last row is never inflated: the rows are read
// progressively, and libpng stops at the first output beyond them.

// Ancillary chunks may ask libpng for this much at most. Real ICC profiles
// stay far below it.
constexpr png_alloc_size_t kChunkMallocMax = 8u << 20;

// Chunks nothing here looks at and that libpng buffers whole to read (text,
// profiles, suggested palettes, Exif, calibration). libpng then skips them
// in small pieces instead. The walk over the chunks finds eXIf itself.
constexpr png_byte kIgnoredChunks[] = {
    't', 'E', 'X', 't', '\0', 'z', 'T', 'X', 't', '\0', 'i', 'T', 'X', 't', '\0',
    'i', 'C', 'C', 'P', '\0', 's', 'P', 'L', 'T', '\0', 'e', 'X', 'I', 'f', '\0',
    'p', 'C', 'A', 'L', '\0', 's', 'C', 'A', 'L', '\0',
};

struct PngDecodeJob {
  const uint8_t* data = nullptr;
  uint32_t size = 0;
  DecodeMode mode = DecodeMode::Rgb;
  engine::DecodeControl* control = nullptr;
  PngChunkSummary chunks;
  int orientation = 1;  // Photo mode: as the eXIf chunk says
  // Set by our own checks before they raise a library error, or by the
  // error callback from libpng's message; Ok until something fails.
  ImageStatus status;
  // Library state lives here, in the caller's frame, not in the function that
  // calls setjmp: its locals are indeterminate after the jump.
  PngMessages messages;
  png_structp png = nullptr;
  png_infop info = nullptr;
  engine::Raster raster;
  std::unique_ptr<png_bytep[]> rows;
  std::unique_ptr<uint8_t[]> rgbaRow;  // Photo mode with transparency, not interlaced
  // Instead of the above, for a photo that has to be turned, not interlaced.
  std::unique_ptr<engine::UprightBuilder> upright;
  uint32_t height = 0;
  bool overWhite = false;
  bool interlaced = false;
  bool ended = false;  // IEND was reached
  bool corruptStream = false;
};

uint32_t BigEndian32(const uint8_t* p) {
  return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}

bool Mentions(png_const_charp message, const char* words) {
  return message != nullptr && std::strstr(message, words) != nullptr;
}

// libpng reports errors as English text; its wording is stable within 1.6.
// Only what the user is told depends on this, never whether a file loads.
ImageStatus StatusOfLibpngError(const PngDecodeJob& job, png_const_charp message) {
  if (Mentions(message, "CRC")) {
    return ImageStatus::Failed(ImageFailure::Damaged, ImageDetail::BadChecksum);
  }
  if (Mentions(message, "Not enough")) {
    return ImageStatus::Failed(ImageFailure::Damaged, ImageDetail::EndsEarly);
  }
  if (Mentions(message, "emory")) return ImageStatus::Failed(ImageFailure::OutOfMemory);
  if (Mentions(message, "IHDR")) {
    // libpng warns of each fault of the header, then fails with one message
    // for all; a size beyond the program's own limit is the fault to name.
    // IHDR is the first chunk, or libpng would not have got this far.
    const uint32_t width = BigEndian32(job.data + 16);
    const uint32_t height = BigEndian32(job.data + 20);
    if (uint64_t(width) * height > engine::kMaxRasterPixels) {
      return ImageStatus::TooLarge(width, height);
    }
  }
  if (Mentions(message, "unknown critical chunk")) {
    return ImageStatus::Failed(ImageFailure::Unsupported);
  }
  return ImageStatus::Failed(ImageFailure::Damaged, ImageDetail::CorruptData);
}

// Called by the error manager just before an error leaves libpng.
void NoteError(void* context, png_const_charp message) {
  auto* job = static_cast<PngDecodeJob*>(context);
  if (job->status.Ok()) job->status = StatusOfLibpngError(*job, message);
}

// Warnings change nothing, but a damaged deflate stream is only a warning
// when the rows are read progressively; it is remembered to say why the
// rows then stop short.
void NoteWarning(void* context, png_const_charp message) {
  if (Mentions(message, "ADLER32") || Mentions(message, "Decompression")) {
    static_cast<PngDecodeJob*>(context)->corruptStream = true;
  }
}

[[noreturn]] void Refuse(PngDecodeJob* job, ImageStatus status) {
  job->status = status;
  png_error(job->png, "refused");
}

void CheckSize(PngDecodeJob* job, uint32_t width, uint32_t height, int bitDepth, int channels) {
  size_t bytes = 0;
  const engine::PixelFormat format =
      job->mode == DecodeMode::Rgba ? engine::PixelFormat::Rgba32 : engine::PixelFormat::Rgb24;
  if (!engine::CheckedRasterSize(width, height, format, &bytes)) {
    Refuse(job, width == 0 || height == 0
                    ? ImageStatus::Failed(ImageFailure::Damaged, ImageDetail::CorruptData)
                    : ImageStatus::TooLarge(width, height));
  }
  uint64_t raw = 0;
  uint64_t rows = 0;
  PngRawImageSize(width, height, bitDepth * channels, job->interlaced, &raw, &rows);
  const uint64_t idat = job->chunks.idatBytes;
  if (raw > (idat + 1) * kMaxInflateRatio) {
    Refuse(job, ImageStatus::Failed(ImageFailure::Damaged, ImageDetail::EndsEarly));
  }
  if (idat > MaxPngImageData(raw, rows)) {
    Refuse(job, ImageStatus::Failed(ImageFailure::Damaged, ImageDetail::ExtraData));
  }
}

// Called between library calls, never from inside the library, so it may
// use C++ freely; it reports an allocation failure as false.
bool AllocateRows(PngDecodeJob* job, uint32_t width, uint32_t height) noexcept {
  try {
    job->height = height;
    if (job->orientation != 1 && !job->interlaced) {
      job->upright =
          std::make_unique<engine::UprightBuilder>(width, height, job->orientation, width * 3);
      return true;
    }
    // Interlaced rows with transparency come as Rgba32 and are put over
    // white into an Rgb24 raster once every pass is in (PackOverWhite).
    const bool rgba = job->mode == DecodeMode::Rgba || (job->overWhite && job->interlaced);
    job->raster = engine::Raster::Allocate(
        width, height, rgba ? engine::PixelFormat::Rgba32 : engine::PixelFormat::Rgb24);
    if (job->overWhite && !job->interlaced) {
      job->rgbaRow.reset(new uint8_t[size_t(width) * 4]);
      return true;
    }
    job->rows.reset(new png_bytep[height]);
    for (uint32_t y = 0; y < height; ++y) job->rows[y] = job->raster.Row(y);
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

void RequestTransforms(PngDecodeJob* job, int colourType, int bitDepth) {
  png_structp png = job->png;
  const bool hasAlpha = (colourType & PNG_COLOR_MASK_ALPHA) != 0;
  const bool hasTrns = png_get_valid(png, job->info, PNG_INFO_tRNS) != 0;
  const bool paletteAlpha = colourType == PNG_COLOR_TYPE_PALETTE && hasTrns;
  const bool grey = colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_GRAY_ALPHA;
  switch (job->mode) {
    case DecodeMode::Rgba:
      // 8-bit RGB and RGBA, what templates are made of, take only the filler;
      // every other kind is brought to the same 8-bit RGBA rows. Only palette
      // transparency becomes alpha; a tRNS colour key is ignored as it is for
      // 8-bit RGB.
      if (colourType == PNG_COLOR_TYPE_GRAY && bitDepth < 8) png_set_expand_gray_1_2_4_to_8(png);
      if (colourType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
      if (bitDepth == 16) png_set_strip_16(png);
      if (grey) png_set_gray_to_rgb(png);
      if (!hasAlpha && !paletteAlpha) png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
      break;
    case DecodeMode::Rgb:
      if (colourType == PNG_COLOR_TYPE_GRAY && bitDepth < 8) png_set_expand_gray_1_2_4_to_8(png);
      if (colourType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
      if (bitDepth == 16) png_set_strip_16(png);
      // Palette expansion turns tRNS into an alpha byte; this mode drops it.
      if (hasAlpha || paletteAlpha) png_set_strip_alpha(png);
      if (grey) png_set_gray_to_rgb(png);
      break;
    case DecodeMode::Photo:
      // The calls of Rgb for opaque kinds, so those decode byte for byte
      // the same; any transparency, a colour key included, arrives as an
      // alpha byte to be put over white.
      if (colourType == PNG_COLOR_TYPE_GRAY && bitDepth < 8) png_set_expand_gray_1_2_4_to_8(png);
      if (colourType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
      if (hasTrns && colourType != PNG_COLOR_TYPE_PALETTE) png_set_tRNS_to_alpha(png);
      if (bitDepth == 16) png_set_strip_16(png);
      if (grey) png_set_gray_to_rgb(png);
      job->overWhite = hasAlpha || hasTrns;
      break;
  }
}

PngDecodeJob* JobOf(png_structp png) {
  return static_cast<PngDecodeJob*>(png_get_progressive_ptr(png));
}

// The header and everything before the image data have been read.
void InfoReady(png_structp png, png_infop info) {
  PngDecodeJob* job = JobOf(png);
  png_uint_32 width = 0;
  png_uint_32 height = 0;
  int bitDepth = 0;
  int colourType = 0;
  int interlace = 0;
  png_get_IHDR(png, info, &width, &height, &bitDepth, &colourType, &interlace, nullptr, nullptr);
  job->interlaced = interlace != PNG_INTERLACE_NONE;
  CheckSize(job, width, height, bitDepth, png_get_channels(png, info));

  RequestTransforms(job, colourType, bitDepth);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  // Whatever the file's kind, the rows must be exactly what we allocate.
  const uint32_t bpp = job->mode == DecodeMode::Rgba || job->overWhite ? 4u : 3u;
  if (png_get_rowbytes(png, info) != size_t(width) * bpp || png_get_bit_depth(png, info) != 8 ||
      png_get_channels(png, info) != bpp) {
    Refuse(job, ImageStatus::Failed(ImageFailure::Unsupported));
  }
  if (!AllocateRows(job, width, height)) {
    Refuse(job, ImageStatus::Failed(ImageFailure::OutOfMemory));
  }
}

// One decoded row; interlaced pictures deliver every row once per pass,
// null where a pass leaves the row as it was.
void RowReady(png_structp png, png_bytep row, png_uint_32 rowNumber, int pass) {
  PngDecodeJob* job = JobOf(png);
  if (job->control != nullptr && (rowNumber & 15) == 0) {
    if (job->control->Cancelled()) Refuse(job, ImageStatus::Failed(ImageFailure::Cancelled));
    // Interlaced rows come once per pass; the passes are counted as equal.
    const uint64_t passes = job->interlaced ? 7 : 1;
    job->control->Progress(uint64_t(job->interlaced ? pass : 0) * job->height + rowNumber,
                           passes * job->height);
  }
  if (row == nullptr || rowNumber >= job->height) return;
  if (job->upright) {
    // Not interlaced: every row once, from the top.
    engine::UprightBuilder& upright = *job->upright;
    const uint32_t width = png_get_image_width(png, job->info);
    if (job->overWhite) {
      RowOverWhite(row, upright.NextRows(), width);
    } else {
      std::memcpy(upright.NextRows(), row, size_t(width) * 3);
    }
    upright.RowsDone(1);
  } else if (job->rgbaRow) {
    RowOverWhite(row, job->raster.Row(rowNumber), job->raster.width);
  } else {
    png_progressive_combine_row(png, job->rows[rowNumber], row);
  }
}

void EndReached(png_structp png, png_infop) { JobOf(png)->ended = true; }

// Every libpng call happens here or in the callbacks above, which libpng
// calls from inside png_process_data. A library error jumps back to the
// setjmp below, so this function keeps only trivially destructible locals
// and everything that must survive the jump lives in `job`.
//
// The whole file is handed over at once; reading it progressively rather
// than row by row is what lets libpng stop at the last row instead of
// inflating whatever compressed data follows.
bool RunPngDecode(PngDecodeJob* job) {
  job->messages.error = NoteError;
  job->messages.warning = NoteWarning;
  job->messages.context = job;
  job->png = CreatePngReadStruct(&job->messages);
  if (job->png == nullptr) {
    job->status = ImageStatus::Failed(ImageFailure::OutOfMemory);
    return false;
  }
  if (setjmp(png_jmpbuf(job->png))) {
    png_destroy_read_struct(&job->png, &job->info, nullptr);
    return false;
  }
  job->info = png_create_info_struct(job->png);
  if (job->info == nullptr) Refuse(job, ImageStatus::Failed(ImageFailure::OutOfMemory));
  png_set_progressive_read_fn(job->png, job, InfoReady, RowReady, EndReached);
  png_set_chunk_malloc_max(job->png, kChunkMallocMax);
  png_set_keep_unknown_chunks(job->png, PNG_HANDLE_CHUNK_NEVER, kIgnoredChunks,
                              int(sizeof kIgnoredChunks / 5));

  png_process_data(job->png, job->info, const_cast<png_bytep>(job->data), job->size);
  // libpng waits for more data rather than failing when the rows or the
  // chunks stop short; a deflate stream that ends before the last row ends
  // it without an error at all.
  const bool allRows = job->interlaced ? png_get_current_pass_number(job->png) > 6
                                       : png_get_current_row_number(job->png) >= job->height;
  const bool allocated = job->upright != nullptr || !job->raster.Empty();
  if (!job->ended || !allocated || !allRows || (job->upright && !job->upright->Complete())) {
    Refuse(job,
           ImageStatus::Failed(ImageFailure::Damaged, job->corruptStream ? ImageDetail::CorruptData
                                                                         : ImageDetail::EndsEarly));
  }
  png_destroy_read_struct(&job->png, &job->info, nullptr);
  return true;
}

// Interlaced rows with transparency were decoded whole as Rgba32; put over
// white into an exact Rgb24 raster, so the photo holds 3 bytes a pixel as
// every other photo does (the edit history counts it so). The Rgba32 buffer
// goes as soon as the copy is made.
void PackOverWhite(engine::Raster* raster) {
  engine::Raster packed =
      engine::Raster::Allocate(raster->width, raster->height, engine::PixelFormat::Rgb24);
  for (uint32_t y = 0; y < raster->height; ++y) {
    RowOverWhite(raster->Row(y), packed.Row(y), raster->width);
  }
  raster->Swap(packed);
}

}  // namespace

void PngRawImageSize(uint32_t width, uint32_t height, int bitsPerPixel, bool interlaced,
                  uint64_t* bytes, uint64_t* rows) {
  auto rowBytes = [&](uint64_t columns) { return 1 + (columns * bitsPerPixel + 7) / 8; };
  if (!interlaced) {
    *bytes = height * rowBytes(width);
    *rows = height;
    return;
  }
  *bytes = 0;
  *rows = 0;
  for (int pass = 0; pass < 7; ++pass) {
    const uint64_t columns = PNG_PASS_COLS(uint64_t(width), pass);
    const uint64_t passRows = PNG_PASS_ROWS(uint64_t(height), pass);
    if (columns == 0 || passRows == 0) continue;
    *bytes += passRows * rowBytes(columns);
    *rows += passRows;
  }
}

ImageStatus DecodePng(const uint8_t* data, uint32_t size, DecodeMode mode, engine::Raster* out,
                      engine::DecodeControl* control) {
  PngDecodeJob job;
  job.data = data;
  job.size = size;
  job.mode = mode;
  job.control = control;
  if (!WalkPngChunks(data, size, &job.chunks)) {
    return ImageStatus::Failed(ImageFailure::Damaged, job.chunks.problem);
  }
  if (mode == DecodeMode::Photo) {
    job.orientation = ExifOrientation(data + job.chunks.exifOffset, job.chunks.exifSize);
  }
  if (!RunPngDecode(&job)) {
    return job.status.Ok() ? ImageStatus::Failed(ImageFailure::Damaged) : job.status;
  }
  if (job.upright) {
    job.raster = job.upright->Take();
  } else {
    // Interlaced photos are whole only now; they are turned afterwards.
    if (job.overWhite && job.interlaced) PackOverWhite(&job.raster);
    engine::TurnUpright(job.raster, job.orientation);
  }
  out->Swap(job.raster);
  return ImageStatus();
}

}  // namespace imagefiles
