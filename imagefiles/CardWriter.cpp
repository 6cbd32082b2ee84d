#include "imagefiles/CardWriter.h"

#include <csetjmp>
#include <cstring>
#include <memory>
#include <new>

#include <png.h>

#include "engine/CardCompositor.h"
#include "imagefiles/JpegErrorThrower.h"
#include "imagefiles/JpegFileDestination.h"
#include "imagefiles/PngFileSink.h"
#include "imagefiles/SafeOutputFile.h"

namespace imagefiles {

namespace {

constexpr int kJpegQuality = 80;
constexpr UINT16 kDotsPerInch = 100;

// Pointers into the caller's card; neither library writes through them.
std::unique_ptr<uint8_t*[]> RowTable(const uint8_t* pixels, uint32_t height, uint32_t stride) {
  std::unique_ptr<uint8_t*[]> rows(new uint8_t*[height]);
  for (uint32_t y = 0; y < height; ++y) {
    rows[y] = const_cast<uint8_t*>(pixels) + size_t(y) * stride;
  }
  return rows;
}

// Library state for one JPEG save, kept in the caller's frame: the function
// that calls setjmp must not own anything that needs a destructor, and its
// locals are indeterminate after the jump.
struct JpegWriteState {
  jpeg_compress_struct cinfo;
  JpegErrorThrower error;
  JpegFileDestination destination;
};

bool RunJpegWrite(JpegWriteState* state, SafeOutputFile* file, uint8_t** rows, uint32_t width,
                  uint32_t height) {
  jpeg_compress_struct* cinfo = &state->cinfo;
  std::memset(cinfo, 0, sizeof *cinfo);
  cinfo->err = state->error.Init();
  if (setjmp(state->error.jump)) {
    jpeg_destroy_compress(&state->cinfo);
    return false;
  }
  jpeg_create_compress(cinfo);
  cinfo->image_width = width;
  cinfo->image_height = height;
  cinfo->input_components = 3;
  cinfo->in_color_space = JCS_RGB;
  jpeg_set_defaults(cinfo);
  jpeg_set_quality(cinfo, kJpegQuality, FALSE);
  state->destination.Attach(cinfo, file);
  // After jpeg_set_defaults, which would reset them.
  cinfo->write_JFIF_header = TRUE;
  cinfo->density_unit = 1;
  cinfo->X_density = kDotsPerInch;
  cinfo->Y_density = kDotsPerInch;
  jpeg_start_compress(cinfo, TRUE);
  jpeg_write_scanlines(cinfo, rows, height);
  jpeg_finish_compress(cinfo);
  jpeg_destroy_compress(cinfo);
  return true;
}

struct PngWriteState {
  png_structp png;
  png_infop info;
  PngFileSink sink;
};

[[noreturn]] void LeavePng(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void IgnorePngWarning(png_structp, png_const_charp) {}

bool RunPngWrite(PngWriteState* state, SafeOutputFile* file, uint8_t** rows, uint32_t width,
                 uint32_t height) {
  state->png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, LeavePng,
                                       IgnorePngWarning);
  if (state->png == nullptr) return false;
  state->info = nullptr;
  if (setjmp(png_jmpbuf(state->png))) {
    png_destroy_write_struct(&state->png, &state->info);
    return false;
  }
  state->info = png_create_info_struct(state->png);
  if (state->info == nullptr) png_error(state->png, "no memory");
  state->sink.Attach(state->png, file);
  png_set_IHDR(state->png, state->info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(state->png, state->info);
  png_write_image(state->png, rows);
  png_write_end(state->png, state->info);
  png_destroy_write_struct(&state->png, &state->info);
  return true;
}

bool WriteCard(const std::string& path, CardFormat format, const uint8_t* pixels, uint32_t width,
               uint32_t height, uint32_t stride) {
  std::unique_ptr<uint8_t*[]> rows = RowTable(pixels, height, stride);
  SafeOutputFile file;
  if (!file.Open(path)) return false;
  bool encoded = false;
  if (format == CardFormat::Jpeg) {
    // Heap, not stack: the destination carries its 4 KB buffer.
    auto state = std::make_unique<JpegWriteState>();
    encoded = RunJpegWrite(state.get(), &file, rows.get(), width, height);
  } else {
    PngWriteState state{};
    encoded = RunPngWrite(&state, &file, rows.get(), width, height);
  }
  // An unfinished file is removed when `file` ends.
  return encoded && file.Commit();
}

}  // namespace

bool WriteCardFile(const std::string& path, CardFormat format, const uint8_t* pixels,
                   uint32_t width, uint32_t height, uint32_t stride) {
  if (pixels == nullptr || width == 0 || height == 0 || uint64_t(stride) < uint64_t(width) * 3) {
    return false;
  }
  try {
    return WriteCard(path, format, pixels, width, height, stride);
  } catch (const std::bad_alloc&) {
    return false;
  }
}

bool RenderCardToFile(const engine::Card& card, uint32_t width, uint32_t height, bool draft,
                      const std::string& path, CardFormat format) {
  size_t bytes = 0;
  if (!engine::CheckedRasterSize(width, height, engine::PixelFormat::Rgb24, &bytes)) return false;
  const uint32_t stride = engine::CardImageStride(width);
  try {
    // Every pixel is rendered, so the buffer needs no clearing first.
    std::unique_ptr<uint8_t[]> pixels(new uint8_t[size_t(stride) * height]);
    engine::RenderCard(card, int32_t(width), int32_t(height), pixels.get(), int32_t(stride),
                       draft);
    return WriteCardFile(path, format, pixels.get(), width, height, stride);
  } catch (const std::bad_alloc&) {
    return false;
  }
}

}  // namespace imagefiles
