// Decoding a camera-sized photo and writing a built-in-template-sized card.

#include <benchmark/benchmark.h>

#include <jpeglib.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/Raster.h"
#include "imagefiles/CardWriter.h"
#include "imagefiles/DecodeImage.h"

namespace {

// Smooth gradients, hard edges and sensor-like grain, so the entropy coder
// has about as much to do as with a real photo.
std::vector<uint8_t> PhotoLike(uint32_t width, uint32_t height, uint32_t stride) {
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

std::vector<uint8_t> EncodeJpegInMemory(const std::vector<uint8_t>& pixels, uint32_t width,
                                        uint32_t height) {
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

void BM_DecodeJpeg4000x3000(benchmark::State& state) {
  const std::vector<uint8_t> jpeg = EncodeJpegInMemory(PhotoLike(4000, 3000, 12000), 4000, 3000);
  for (auto _ : state) {
    engine::Raster out;
    if (!imagefiles::DecodeImage(jpeg.data(), uint32_t(jpeg.size()), false, &out)) {
      state.SkipWithError("decode failed");
      break;
    }
    benchmark::DoNotOptimize(out.pixels.get());
  }
  state.counters["file_MB"] = double(jpeg.size()) / 1e6;
}
BENCHMARK(BM_DecodeJpeg4000x3000)->Unit(benchmark::kMillisecond);

void WriteCard(benchmark::State& state, imagefiles::CardFormat format, const char* name) {
  const uint32_t width = 900, height = 600, stride = engine::CardImageStride(width);
  const std::vector<uint8_t> card = PhotoLike(width, height, stride);
  char folder[] = "/tmp/tessary-bench-XXXXXX";
  if (mkdtemp(folder) == nullptr) {
    state.SkipWithError("no temporary folder");
    return;
  }
  const std::string path = std::string(folder) + "/" + name;
  for (auto _ : state) {
    if (!imagefiles::WriteCardFile(path, format, card.data(), width, height, stride)) {
      state.SkipWithError("write failed");
      break;
    }
  }
  std::remove(path.c_str());
  rmdir(folder);
}

void BM_WriteCardJpeg900x600(benchmark::State& state) {
  WriteCard(state, imagefiles::CardFormat::Jpeg, "card.jpg");
}
BENCHMARK(BM_WriteCardJpeg900x600)->Unit(benchmark::kMillisecond);

void BM_WriteCardPng900x600(benchmark::State& state) {
  WriteCard(state, imagefiles::CardFormat::Png, "card.png");
}
BENCHMARK(BM_WriteCardPng900x600)->Unit(benchmark::kMillisecond);

}  // namespace
