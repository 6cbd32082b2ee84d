#include "imagefiles/PngCardWriter.h"

#include <csetjmp>

#include <png.h>

#include "imagefiles/PngErrorManager.h"
#include "imagefiles/PngDensity.h"
#include "imagefiles/PngFileSink.h"
#include "imagefiles/SafeOutputFile.h"

namespace imagefiles {

namespace {

// Library state for one PNG save, in the caller's frame (see RunJpegWrite).
struct PngWriteState {
  png_structp png;
  png_infop info;
  PngFileSink sink;
};

bool RunPngWrite(PngWriteState* state, SafeOutputFile* file, uint8_t** rows, uint32_t width,
                 uint32_t height, const CardEncoding& encoding) {
  state->png = CreatePngWriteStruct();
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
  if (encoding.pngDensity) {
    const png_uint_32 ppm = PixelsPerMetre(encoding.dotsPerInch);
    png_set_pHYs(state->png, state->info, ppm, ppm, PNG_RESOLUTION_METER);
  }
  png_write_info(state->png, state->info);
  png_write_image(state->png, rows);
  png_write_end(state->png, state->info);
  png_destroy_write_struct(&state->png, &state->info);
  return true;
}

}  // namespace

SaveResult WritePngCard(SafeOutputFile* file, uint8_t** rows, uint32_t width, uint32_t height) {
  return WritePngCard(file, rows, width, height, CardEncoding());
}

SaveResult WritePngCard(SafeOutputFile* file, uint8_t** rows, uint32_t width, uint32_t height,
                        const CardEncoding& encoding) {
  PngWriteState state{};
  if (RunPngWrite(&state, file, rows, width, height, encoding)) return SaveResult();
  if (!file->Failure().Ok()) return file->Failure();
  return SaveResult::Failed(SaveStep::Encode, SaveError::EncoderFailed);
}

}  // namespace imagefiles
