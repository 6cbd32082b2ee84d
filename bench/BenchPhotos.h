#pragma once

// Camera-like photos for the decoding and export benchmarks.

#include <jpeglib.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace benchsupport {

// Smooth gradients, hard edges and sensor-like grain, so the entropy coder
// has about as much to do as with a real photo. RGB rows of `stride` bytes.
inline std::vector<uint8_t> PhotoLike(uint32_t width, uint32_t height, uint32_t stride) {
  std::vector<uint8_t> pixels(size_t(stride) * height, 0);
  uint32_t noise = 1;
  for (uint32_t y = 0; y < height; ++y) {
    uint8_t* row = pixels.data() + size_t(y) * stride;
    for (uint32_t x = 0; x < width; ++x) {
      noise = noise * 1664525u + 1013904223u;
      const int grain = int(noise >> 29) - 4;
      const int edge = ((x / 97 + y / 61) % 3) * 25;
      for (int c = 0; c < 3; ++c) {
        int v = int(x * (60 + 40 * c) / width + y * (170 - 50 * c) / height) + edge + grain;
        row[size_t(x) * 3 + c] = uint8_t(v < 0 ? 0 : v > 255 ? 255 : v);
      }
    }
  }
  return pixels;
}

// Packed RGB rows as a quality-90 JPEG, with an APP1 segment when given.
inline std::vector<uint8_t> EncodeJpeg(const std::vector<uint8_t>& pixels, uint32_t width,
                                       uint32_t height, const std::vector<uint8_t>& app1 = {}) {
  jpeg_compress_struct cinfo;
  jpeg_error_mgr err;
  cinfo.err = jpeg_std_error(&err);
  jpeg_create_compress(&cinfo);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &buffer, &size);
  cinfo.image_width = width;
  cinfo.image_height = height;
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, 90, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  if (!app1.empty()) jpeg_write_marker(&cinfo, JPEG_APP0 + 1, app1.data(), unsigned(app1.size()));
  while (cinfo.next_scanline < height) {
    JSAMPROW row = const_cast<uint8_t*>(pixels.data()) + size_t(cinfo.next_scanline) * width * 3;
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  std::vector<uint8_t> out(buffer, buffer + size);
  std::free(buffer);
  return out;
}

}  // namespace benchsupport
