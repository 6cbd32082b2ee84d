#pragma once

// Builders for layout files and the PNGs inside them, shared by the layout
// reader's tests and the command-line tools' tests. Header-only so that both
// suites can use it without a library of test code.

#include <png.h>
#include <zlib.h>

#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

namespace layouttest {

using Bytes = std::vector<uint8_t>;

inline void AppendLe32(Bytes& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(uint8_t(v >> (8 * i)));
}

inline void AppendText(Bytes& out, const char* text) {
  out.insert(out.end(), text, text + std::strlen(text));
}

// An 8-bit PNG of `channels` 3 (RGB) or 4 (RGBA) from packed rows.
inline Bytes EncodePng(uint32_t width, uint32_t height, int channels, const Bytes& pixels) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  Bytes out;
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    throw std::runtime_error("EncodePng failed");
  }
  png_set_write_fn(
      png, &out,
      [](png_structp p, png_bytep data, png_size_t length) {
        auto* sink = static_cast<Bytes*>(png_get_io_ptr(p));
        sink->insert(sink->end(), data, data + length);
      },
      nullptr);
  png_set_IHDR(png, info, width, height, 8,
               channels == 4 ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  std::vector<png_bytep> rows(height);
  for (uint32_t y = 0; y < height; ++y) {
    rows[y] = const_cast<png_bytep>(pixels.data() + size_t(y) * width * channels);
  }
  png_write_image(png, rows.data());
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return out;
}

// A region map: the left half painted red, the right half green, alpha 0
// in a one-pixel border, so two slots.
inline Bytes RegionMapPng(uint32_t width, uint32_t height) {
  Bytes pixels(size_t(width) * height * 4, 0);
  for (uint32_t y = 1; y + 1 < height; ++y) {
    for (uint32_t x = 1; x + 1 < width; ++x) {
      uint8_t* p = &pixels[(size_t(y) * width + x) * 4];
      const bool left = x < width / 2;
      p[0] = left ? 255 : 0;
      p[1] = left ? 0 : 255;
      p[3] = 255;
    }
  }
  return EncodePng(width, height, 4, pixels);
}

// An overlay: opaque blue in the top row, transparent elsewhere.
inline Bytes OverlayPng(uint32_t width, uint32_t height) {
  Bytes pixels(size_t(width) * height * 4, 0);
  for (uint32_t x = 0; x < width; ++x) {
    pixels[size_t(x) * 4 + 2] = 255;
    pixels[size_t(x) * 4 + 3] = 255;
  }
  return EncodePng(width, height, 4, pixels);
}

// Grows a PNG to exactly `size` bytes with a tEXt chunk before IEND.
inline Bytes PadPng(const Bytes& png, size_t size) {
  const size_t kOverhead = 12 + 4;  // length, type, CRC; keyword "pad" and its NUL
  if (size < png.size() + kOverhead) throw std::runtime_error("PadPng: target too small");
  Bytes chunk;
  AppendText(chunk, "tEXtpad");
  chunk.push_back(0);
  chunk.insert(chunk.end(), size - png.size() - kOverhead, 'x');
  Bytes out(png.begin(), png.end() - 12);  // everything before IEND
  AppendLe32(out, 0);                      // placeholder, written big-endian below
  const size_t lengthAt = out.size() - 4;
  const uint32_t dataLength = uint32_t(chunk.size() - 4);
  for (int i = 0; i < 4; ++i) out[lengthAt + i] = uint8_t(dataLength >> (24 - 8 * i));
  out.insert(out.end(), chunk.begin(), chunk.end());
  const uint32_t crc = uint32_t(crc32(0, chunk.data(), uInt(chunk.size())));
  for (int i = 0; i < 4; ++i) out.push_back(uint8_t(crc >> (24 - 8 * i)));
  out.insert(out.end(), png.end() - 12, png.end());
  return out;
}

// One chunk with its fill bytes (0) up to a multiple of 4.
inline Bytes Chunk(const char* id, const Bytes& data) {
  Bytes out;
  AppendText(out, id);
  AppendLe32(out, uint32_t(data.size()));
  out.insert(out.end(), data.begin(), data.end());
  while (out.size() % 4 != 0) out.push_back(0);
  return out;
}

inline Bytes NameChunk(const std::u16string& name) {
  Bytes data;
  for (char16_t unit : name) {
    data.push_back(uint8_t(unit));
    data.push_back(uint8_t(unit >> 8));
  }
  return Chunk("NAME", data);
}

inline Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& part : parts) out.insert(out.end(), part.begin(), part.end());
  return out;
}

// "LAER", the declared length, then the body as given.
inline Bytes Layer(const Bytes& body, uint32_t declaredLength) {
  Bytes out;
  AppendText(out, "LAER");
  AppendLe32(out, declaredLength);
  out.insert(out.end(), body.begin(), body.end());
  return out;
}

inline Bytes Layer(const Bytes& body) { return Layer(body, uint32_t(body.size())); }

inline Bytes LayoutFile(std::initializer_list<Bytes> layers) {
  Bytes out;
  AppendText(out, "JQLayeredImage_1");
  for (const Bytes& layer : layers) out.insert(out.end(), layer.begin(), layer.end());
  return out;
}

// The ordinary two-layer file.
inline Bytes SimpleLayoutFile(const Bytes& regionMapPng, const Bytes& overlayPng) {
  return LayoutFile({Layer(Concat({NameChunk(u"layout"), Chunk("DOCU", regionMapPng)})),
                     Layer(Concat({NameChunk(u"overlay"), Chunk("DOCU", overlayPng)}))});
}

}  // namespace layouttest
