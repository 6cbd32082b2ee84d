#include "imagefiles/DecodePng.h"

#include <csetjmp>
#include <memory>
#include <new>
#include <utility>

#include <png.h>

#include "imagefiles/MemoryPngReader.h"
#include "imagefiles/PngErrorManager.h"
#include "imagefiles/PngChunkWalk.h"

namespace imagefiles {

namespace {

// Deflate turns one input byte into at most 1032 output bytes; image data
// shorter than its inflated size / 1032 cannot be a valid picture, however
// it would fail later. Refusing it up front stops small files from claiming
// huge buffers.
constexpr uint64_t kMaxInflateRatio = 1040;

// Ancillary chunks may ask libpng for this much at most. Real ICC profiles
// stay far below it.
constexpr png_alloc_size_t kChunkMallocMax = 8u << 20;

// Chunks nothing here looks at and that libpng buffers whole to read (text,
// profiles, suggested palettes, Exif, calibration). libpng then skips them
// in small pieces instead.
constexpr png_byte kIgnoredChunks[] = {
    't', 'E', 'X', 't', '\0', 'z', 'T', 'X', 't', '\0', 'i', 'T', 'X', 't', '\0',
    'i', 'C', 'C', 'P', '\0', 's', 'P', 'L', 'T', '\0', 'e', 'X', 'I', 'f', '\0',
    'p', 'C', 'A', 'L', '\0', 's', 'C', 'A', 'L', '\0',
};

struct PngDecodeJob {
  const uint8_t* data = nullptr;
  uint32_t size = 0;
  bool withAlpha = false;
  uint64_t idatBytes = 0;
  // Library state lives here, in the caller's frame, not in the function that
  // calls setjmp: its locals are indeterminate after the jump.
  png_structp png = nullptr;
  png_infop info = nullptr;
  MemoryPngReader reader{};
  engine::Raster raster;
  std::unique_ptr<png_bytep[]> rows;
};

bool SizeIsPlausible(const PngDecodeJob& job, uint32_t width, uint32_t height, int bitDepth,
                     int channels) {
  size_t bytes = 0;
  const engine::PixelFormat format =
      job.withAlpha ? engine::PixelFormat::Rgba32 : engine::PixelFormat::Rgb24;
  if (!engine::CheckedRasterSize(width, height, format, &bytes)) return false;
  const uint64_t rawBits = uint64_t(width) * height * uint64_t(bitDepth) * uint64_t(channels);
  return rawBits / 8 <= (job.idatBytes + 1) * kMaxInflateRatio;
}

// Called between library calls, never from inside the library, so it may
// use C++ freely; it reports an allocation failure as false.
bool AllocateRows(PngDecodeJob* job, uint32_t width, uint32_t height) noexcept {
  try {
    const engine::PixelFormat format =
        job->withAlpha ? engine::PixelFormat::Rgba32 : engine::PixelFormat::Rgb24;
    job->raster = engine::Raster::Allocate(width, height, format);
    job->rows.reset(new png_bytep[height]);
    for (uint32_t y = 0; y < height; ++y) job->rows[y] = job->raster.Row(y);
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

void RequestTransforms(png_structp png, png_infop info, bool withAlpha, int colourType,
                       int bitDepth) {
  const bool hasAlpha = (colourType & PNG_COLOR_MASK_ALPHA) != 0;
  const bool paletteAlpha =
      colourType == PNG_COLOR_TYPE_PALETTE && png_get_valid(png, info, PNG_INFO_tRNS) != 0;
  if (withAlpha) {
    // 8-bit RGB and RGBA, what templates are made of, take only the filler;
    // every other kind is brought to the same 8-bit RGBA rows. Only palette
    // transparency becomes alpha; a tRNS colour key is ignored as it is for
    // 8-bit RGB.
    if (colourType == PNG_COLOR_TYPE_GRAY && bitDepth < 8) png_set_expand_gray_1_2_4_to_8(png);
    if (colourType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
    if (bitDepth == 16) png_set_strip_16(png);
    if (colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_GRAY_ALPHA) {
      png_set_gray_to_rgb(png);
    }
    if (!hasAlpha && !paletteAlpha) png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
  } else {
    if (colourType == PNG_COLOR_TYPE_GRAY && bitDepth < 8) png_set_expand_gray_1_2_4_to_8(png);
    if (colourType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
    if (bitDepth == 16) png_set_strip_16(png);
    // Palette expansion turns tRNS into an alpha byte; photos drop it.
    if (hasAlpha || paletteAlpha) png_set_strip_alpha(png);
    if (colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_GRAY_ALPHA) {
      png_set_gray_to_rgb(png);
    }
  }
}

// Every libpng call happens here. A library error jumps back to the setjmp
// below, so this function keeps only trivially destructible locals and
// everything that must survive the jump lives in `job`.
bool RunPngDecode(PngDecodeJob* job) {
  job->png = CreatePngReadStruct();
  if (job->png == nullptr) return false;
  if (setjmp(png_jmpbuf(job->png))) {
    png_destroy_read_struct(&job->png, &job->info, nullptr);
    return false;
  }
  job->info = png_create_info_struct(job->png);
  if (job->info == nullptr) png_error(job->png, "no memory");
  job->reader.Attach(job->png, job->data, job->size);
  png_set_chunk_malloc_max(job->png, kChunkMallocMax);
  png_set_keep_unknown_chunks(job->png, PNG_HANDLE_CHUNK_NEVER, kIgnoredChunks,
                              int(sizeof kIgnoredChunks / 5));

  png_read_info(job->png, job->info);
  png_uint_32 width = 0;
  png_uint_32 height = 0;
  int bitDepth = 0;
  int colourType = 0;
  int interlace = 0;
  png_get_IHDR(job->png, job->info, &width, &height, &bitDepth, &colourType, &interlace, nullptr,
               nullptr);
  if (!SizeIsPlausible(*job, width, height, bitDepth, png_get_channels(job->png, job->info))) {
    png_error(job->png, "picture too large for its data or for the program");
  }

  RequestTransforms(job->png, job->info, job->withAlpha, colourType, bitDepth);
  png_set_interlace_handling(job->png);
  png_read_update_info(job->png, job->info);
  // Whatever the file's kind, the rows must be exactly what we allocate.
  const uint32_t bpp = job->withAlpha ? 4u : 3u;
  if (png_get_rowbytes(job->png, job->info) != size_t(width) * bpp ||
      png_get_bit_depth(job->png, job->info) != 8 ||
      png_get_channels(job->png, job->info) != bpp) {
    png_error(job->png, "unexpected row layout");
  }
  if (!AllocateRows(job, width, height)) png_error(job->png, "no memory");

  png_read_image(job->png, job->rows.get());
  png_read_end(job->png, job->info);
  png_destroy_read_struct(&job->png, &job->info, nullptr);
  return true;
}

}  // namespace

bool DecodePng(const uint8_t* data, uint32_t size, bool withAlpha, engine::Raster* out) {
  PngDecodeJob job;
  job.data = data;
  job.size = size;
  job.withAlpha = withAlpha;
  if (!WalkPngChunks(data, size, &job.idatBytes)) return false;
  if (!RunPngDecode(&job)) return false;
  out->Swap(job.raster);
  return true;
}

}  // namespace imagefiles
