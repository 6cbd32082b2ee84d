#include "imagefiles/PngInMemory.h"

#include <csetjmp>
#include <new>

#include <png.h>

#include "imagefiles/PngErrorManager.h"

namespace imagefiles {

namespace {

struct MemorySink {
  std::vector<uint8_t>* out;
  bool failed;
};

// No C++ exception may cross libpng's frames: a failed append becomes a
// libpng error.
void Append(png_structp png, png_bytep data, size_t count) {
  auto* sink = static_cast<MemorySink*>(png_get_io_ptr(png));
  try {
    sink->out->insert(sink->out->end(), data, data + count);
  } catch (const std::bad_alloc&) {
    sink->failed = true;
  }
  if (sink->failed) png_error(png, "no memory");
}

void FlushNothing(png_structp) {}

// Only trivially destructible locals between setjmp and the library's calls.
bool RunEncode(MemorySink* sink, const uint8_t* const* rows, uint32_t width, uint32_t height) {
  png_structp png = CreatePngWriteStruct();
  if (png == nullptr) return false;
  png_infop info = nullptr;
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  info = png_create_info_struct(png);
  if (info == nullptr) png_error(png, "no memory");
  png_set_write_fn(png, sink, Append, FlushNothing);
  png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  png_write_image(png, const_cast<png_bytepp>(rows));
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace

bool EncodePngInMemory(const uint8_t* pixels, uint32_t width, uint32_t height, uint32_t stride,
                       std::vector<uint8_t>* out) {
  if (pixels == nullptr || width == 0 || height == 0 || stride < uint64_t(width) * 3) return false;
  std::vector<const uint8_t*> rows;
  try {
    rows.resize(height);
    out->clear();
  } catch (const std::bad_alloc&) {
    return false;
  }
  for (uint32_t y = 0; y < height; ++y) rows[y] = pixels + size_t(y) * stride;
  MemorySink sink{out, false};
  return RunEncode(&sink, rows.data(), width, height);
}

}  // namespace imagefiles
