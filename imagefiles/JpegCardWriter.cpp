#include "imagefiles/JpegCardWriter.h"

#include <csetjmp>
#include <cstring>
#include <memory>

#include "imagefiles/JpegErrorThrower.h"  // jpeglib.h, which jerror.h needs first
#include <jerror.h>

#include "imagefiles/JpegFileDestination.h"
#include "imagefiles/SafeOutputFile.h"

namespace imagefiles {

namespace {

// Library state for one JPEG save, kept in the caller's frame: the function
// that calls setjmp must not own anything that needs a destructor, and its
// locals are indeterminate after the jump.
struct JpegWriteState {
  jpeg_compress_struct cinfo;
  JpegErrorThrower error;
  JpegFileDestination destination;
  bool outOfMemory;
};

// Writes into `memory` when it is set, else into `file`.
bool RunJpegWrite(JpegWriteState* state, SafeOutputFile* file, std::string* memory,
                  uint8_t** rows, uint32_t width, uint32_t height,
                  const CardEncoding& encoding) {
  jpeg_compress_struct* cinfo = &state->cinfo;
  std::memset(cinfo, 0, sizeof *cinfo);
  cinfo->err = state->error.Init();
  state->outOfMemory = false;
  if (setjmp(state->error.jump)) {
    state->outOfMemory = state->cinfo.err->msg_code == JERR_OUT_OF_MEMORY;
    jpeg_destroy_compress(&state->cinfo);
    return false;
  }
  jpeg_create_compress(cinfo);
  cinfo->image_width = width;
  cinfo->image_height = height;
  cinfo->input_components = 3;
  cinfo->in_color_space = JCS_RGB;
  jpeg_set_defaults(cinfo);
  jpeg_set_quality(cinfo, encoding.jpegQuality, FALSE);
  if (encoding.jpegFullChroma) {
    // Every component at full resolution: no 2 x 2 averaging of colour.
    for (int c = 0; c < cinfo->num_components; ++c) {
      cinfo->comp_info[c].h_samp_factor = 1;
      cinfo->comp_info[c].v_samp_factor = 1;
    }
  }
  if (memory != nullptr) {
    state->destination.Attach(cinfo, memory);
  } else {
    state->destination.Attach(cinfo, file);
  }
  // After jpeg_set_defaults, which would reset them.
  cinfo->write_JFIF_header = TRUE;
  cinfo->density_unit = 1;
  cinfo->X_density = encoding.dotsPerInch;
  cinfo->Y_density = encoding.dotsPerInch;
  jpeg_start_compress(cinfo, TRUE);
  jpeg_write_scanlines(cinfo, rows, height);
  jpeg_finish_compress(cinfo);
  jpeg_destroy_compress(cinfo);
  return true;
}

}  // namespace

SaveResult WriteJpegCard(SafeOutputFile* file, uint8_t** rows, uint32_t width, uint32_t height) {
  return WriteJpegCard(file, rows, width, height, CardEncoding());
}

SaveResult WriteJpegCard(SafeOutputFile* file, uint8_t** rows, uint32_t width, uint32_t height,
                         const CardEncoding& encoding) {
  // Heap, not stack: the destination carries its 4 KB buffer.
  auto state = std::make_unique<JpegWriteState>();
  if (RunJpegWrite(state.get(), file, nullptr, rows, width, height, encoding)) {
    return SaveResult();
  }
  if (!file->Failure().Ok()) return file->Failure();
  if (state->outOfMemory) {
    return SaveResult::Failed(SaveStep::Encode, std::make_error_code(std::errc::not_enough_memory));
  }
  return SaveResult::Failed(SaveStep::Encode, SaveError::EncoderFailed);
}

SaveResult EncodeJpegCard(std::string* out, uint8_t** rows, uint32_t width, uint32_t height,
                          const CardEncoding& encoding) {
  out->clear();
  auto state = std::make_unique<JpegWriteState>();
  if (RunJpegWrite(state.get(), nullptr, out, rows, width, height, encoding)) return SaveResult();
  out->clear();
  if (state->outOfMemory || state->destination.memoryFull) {
    return SaveResult::Failed(SaveStep::Encode, std::make_error_code(std::errc::not_enough_memory));
  }
  return SaveResult::Failed(SaveStep::Encode, SaveError::EncoderFailed);
}

}  // namespace imagefiles
