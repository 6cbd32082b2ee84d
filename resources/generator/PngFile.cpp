#include "resources/generator/PngFile.h"

#include <png.h>
#include <zlib.h>

#include <cstdio>
#include <stdexcept>
#include <vector>

namespace artwork {

namespace {

[[noreturn]] void OnPngError(png_structp, png_const_charp message) {
  throw std::runtime_error(std::string("libpng: ") + message);
}

void OnPngWarning(png_structp, png_const_charp) {}

struct FileCloser {
  FILE* file;
  ~FileCloser() {
    if (file) std::fclose(file);
  }
};

}  // namespace

void WritePng(const std::string& path, const Picture& picture, bool dropAlpha) {
  // Encode into memory first so a failure never leaves half a file behind.
  std::vector<uint8_t> encoded;
  png_structp png =
      png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, OnPngError, OnPngWarning);
  if (!png) throw std::runtime_error("png_create_write_struct failed");
  png_infop info = png_create_info_struct(png);
  struct Guard {
    png_structp* png;
    png_infop* info;
    ~Guard() { png_destroy_write_struct(png, info); }
  } guard{&png, &info};
  if (!info) throw std::runtime_error("png_create_info_struct failed");

  png_set_write_fn(
      png, &encoded,
      [](png_structp p, png_bytep data, png_size_t length) {
        auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(p));
        out->insert(out->end(), data, data + length);
      },
      [](png_structp) {});
  png_set_compression_level(png, Z_BEST_COMPRESSION);
  png_set_compression_mem_level(png, 9);
  // Trying every row filter costs little on these small pictures and shrinks
  // the flat region maps noticeably.
  png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_ALL_FILTERS);
  png_set_IHDR(png, info, png_uint_32(picture.width), png_uint_32(picture.height), 8,
               dropAlpha ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
  png_write_info(png, info);

  const size_t channels = dropAlpha ? 3 : 4;
  std::vector<uint8_t> row(size_t(picture.width) * channels);
  for (int y = 0; y < picture.height; ++y) {
    const uint8_t* src = picture.Pixel(0, y);
    for (size_t x = 0; x < size_t(picture.width); ++x) {
      for (size_t c = 0; c < channels; ++c) row[x * channels + c] = src[x * 4 + c];
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, nullptr);

  FileCloser out{std::fopen(path.c_str(), "wb")};
  if (!out.file) throw std::runtime_error("cannot write " + path);
  if (std::fwrite(encoded.data(), 1, encoded.size(), out.file) != encoded.size())
    throw std::runtime_error("cannot write " + path);
}

}  // namespace artwork
