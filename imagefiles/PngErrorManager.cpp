#include "imagefiles/PngErrorManager.h"

namespace imagefiles {

namespace {

[[noreturn]] void LeavePng(png_structp png, png_const_charp message) {
  const auto* messages = static_cast<const PngMessages*>(png_get_error_ptr(png));
  if (messages != nullptr && messages->error != nullptr) messages->error(messages->context, message);
  png_longjmp(png, 1);
}

void HandPngWarning(png_structp png, png_const_charp message) {
  const auto* messages = static_cast<const PngMessages*>(png_get_error_ptr(png));
  if (messages != nullptr && messages->warning != nullptr) {
    messages->warning(messages->context, message);
  }
}

}  // namespace

png_structp CreatePngReadStruct(const PngMessages* messages) {
  return png_create_read_struct(PNG_LIBPNG_VER_STRING, const_cast<PngMessages*>(messages),
                                LeavePng, HandPngWarning);
}

png_structp CreatePngWriteStruct() {
  return png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, LeavePng, HandPngWarning);
}

}  // namespace imagefiles
