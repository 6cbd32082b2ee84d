#include "imagefiles/PngErrorManager.h"

namespace imagefiles {

namespace {

[[noreturn]] void LeavePng(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void IgnorePngWarning(png_structp, png_const_charp) {}

}  // namespace

png_structp CreatePngReadStruct() {
  return png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, LeavePng, IgnorePngWarning);
}

png_structp CreatePngWriteStruct() {
  return png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, LeavePng, IgnorePngWarning);
}

}  // namespace imagefiles
