// The export path: linear-light resampling against the cost of one table
// lookup per byte, photo decoding against libjpeg into a reused buffer, and
// full-quality renders of a card of five 24 MP photos. Uses only interfaces
// the engine has had from the start, so the same file measures older builds.

#include <benchmark/benchmark.h>
#include <jpeglib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "BenchCards.h"
#include "BenchPhotos.h"
#include "Interleaved.h"
#include "engine/compose/CardCompositor.h"
#include "engine/resample/GammaTables.h"
#include "engine/resample/ResampleJob.h"
#include "imagefiles/DecodeImage.h"

namespace {

using benchsupport::Interleaved;

// The floor for any linear-light resampler: every source byte looked up in
// the 256-entry table into linear light, every destination byte in the
// 65,536-entry table back, nothing else.
struct LookupFloor {
  std::unique_ptr<engine::ToLinearTable> toLinear = engine::BuildToLinearTable(2.2f);
  std::unique_ptr<engine::FromLinearTable> fromLinear = engine::BuildFromLinearTable(2.2f);

  void Run(const uint8_t* src, int32_t width, int32_t height, int32_t stride, uint8_t* dst,
           size_t dstBytes) const {
    uint32_t acc = 0;
    const uint16_t* to = toLinear->entries;
    for (int32_t y = 0; y < height; ++y) {
      const uint8_t* row = src + size_t(y) * size_t(stride);
      for (size_t i = 0; i < size_t(width) * 3; ++i) acc += to[row[i]];
    }
    const uint8_t* from = fromLinear->entries;
    for (size_t i = 0; i < dstBytes; ++i) dst[i] = from[(acc + i * 40503u) & 0xFFFF];
    benchmark::DoNotOptimize(acc);
  }
};

void ResampleAgainstFloor(benchmark::State& state, int32_t sw, int32_t sh, int32_t dw, int32_t dh) {
  const engine::Raster src = benchsupport::NoisyPhoto(uint32_t(sw), uint32_t(sh), 42);
  std::vector<uint8_t> dst(size_t(dw) * dh * 3), floorDst(dst.size());
  const LookupFloor floor;
  Interleaved(
      state,
      [&] {
        engine::ResampleJob job(2.2f, dw, dh, sw, sh, dst.data(), dw * 3, src.pixels.get(), sw * 3);
        job.Resample();
        job.ReleaseTables();
        benchmark::DoNotOptimize(dst.data());
      },
      [&] {
        floor.Run(src.pixels.get(), sw, sh, sw * 3, floorDst.data(), floorDst.size());
        benchmark::DoNotOptimize(floorDst.data());
      });
}

// Reducing a 24 MP photo to a 900 x 600 card, as saving one does.
void BM_Reduce24MPTo900x600_vsLookupFloor(benchmark::State& state) {
  ResampleAgainstFloor(state, 6000, 4000, 900, 600);
}
BENCHMARK(BM_Reduce24MPTo900x600_vsLookupFloor)
    ->Iterations(15)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

void BM_Reduce12MPTo900x600_vsLookupFloor(benchmark::State& state) {
  ResampleAgainstFloor(state, 4000, 3000, 900, 600);
}
BENCHMARK(BM_Reduce12MPTo900x600_vsLookupFloor)
    ->Iterations(20)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

void BM_Enlarge400x300To900x600_vsLookupFloor(benchmark::State& state) {
  ResampleAgainstFloor(state, 400, 300, 900, 600);
}
BENCHMARK(BM_Enlarge400x300To900x600_vsLookupFloor)
    ->Iterations(200)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// The same library, the same settings, into one buffer decoded into again
// and again: no allocation and no first touch of fresh memory.
void DecodeIntoReusedBuffer(const std::vector<uint8_t>& jpeg, std::vector<uint8_t>& buffer) {
  jpeg_decompress_struct cinfo;
  jpeg_error_mgr err;
  cinfo.err = jpeg_std_error(&err);
  jpeg_create_decompress(&cinfo);
  jpeg_mem_src(&cinfo, jpeg.data(), static_cast<unsigned long>(jpeg.size()));
  jpeg_read_header(&cinfo, TRUE);
  jpeg_start_decompress(&cinfo);
  const size_t stride = size_t(cinfo.output_width) * 3;
  buffer.resize(stride * cinfo.output_height);
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW row = buffer.data() + size_t(cinfo.output_scanline) * stride;
    jpeg_read_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
}

// A 24 MP camera JPEG decoded into a new photo, as loading one does.
void BM_Decode24MPJpeg_vsReusedBuffer(benchmark::State& state) {
  static const std::vector<uint8_t> jpeg =
      benchsupport::EncodeJpeg(benchsupport::PhotoLike(6000, 4000, 18000), 6000, 4000);
  std::vector<uint8_t> reused;
  DecodeIntoReusedBuffer(jpeg, reused);
  Interleaved(
      state,
      [&] {
        engine::Raster photo;
        if (!imagefiles::DecodeImage(jpeg.data(), uint32_t(jpeg.size()), false, &photo)) {
          std::abort();
        }
        benchmark::DoNotOptimize(photo.pixels.get());
      },
      [&] {
        DecodeIntoReusedBuffer(jpeg, reused);
        benchmark::DoNotOptimize(reused.data());
      });
  state.counters["file_MB"] = double(jpeg.size()) / 1e6;
}
BENCHMARK(BM_Decode24MPJpeg_vsReusedBuffer)
    ->Iterations(10)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// Saving (at the template's size), the full-quality screen render (at
// twice it) and the old draft screen render of a card of five 24 MP photos.
// Absolute times: the figures to
// compare with an earlier build running this same file.
void BM_RenderCard(benchmark::State& state) {
  engine::Card* card = benchsupport::FiveFullPhotoCard();
  if (!card) {
    state.SkipWithError("no built-in artwork in this build");
    return;
  }
  const int32_t w = int32_t(state.range(0)), h = int32_t(state.range(1));
  const bool draft = state.range(2) != 0;
  const uint32_t stride = engine::CardImageStride(uint32_t(w));
  std::vector<uint8_t> buffer(size_t(stride) * h);
  double best = 1e9;
  for (auto _ : state) {
    const double start = benchsupport::ThreadSeconds();
    engine::RenderCard(*card, w, h, buffer.data(), int32_t(stride), draft);
    benchmark::DoNotOptimize(buffer.data());
    const double t = benchsupport::ThreadSeconds() - start;
    best = std::min(best, t);
    state.SetIterationTime(t);
  }
  state.counters["ms"] = best * 1e3;
}
BENCHMARK(BM_RenderCard)
    ->UseManualTime()
    ->Iterations(8)
    ->ArgNames({"w", "h", "draft"})
    ->Args({900, 600, 0})
    ->Args({1800, 1200, 0})
    ->Args({900, 600, 1})
    ->Unit(benchmark::kMillisecond);

}  // namespace
