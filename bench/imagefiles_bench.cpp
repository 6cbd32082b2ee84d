// Decoding a camera-sized photo and writing a built-in-template-sized card.

#include <benchmark/benchmark.h>
#include <jpeglib.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "BenchPhotos.h"
#include "engine/raster/Raster.h"
#include "engine/raster/TurnUpright.h"
#include "imagefiles/CardWriter.h"
#include "imagefiles/DecodeImage.h"

namespace {

using benchsupport::EncodeJpeg;
using benchsupport::PhotoLike;

void BM_DecodeJpeg4000x3000(benchmark::State& state) {
  const std::vector<uint8_t> jpeg = EncodeJpeg(PhotoLike(4000, 3000, 12000), 4000, 3000);
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

// An Exif APP1 segment holding only an Orientation, little-endian.
std::vector<uint8_t> OrientationSegment(int orientation) {
  return {'E', 'x',  'i',  'f', 0,
          0,   'I',  'I',  42,  0,
          8,   0,    0,    0,   1,
          0,   0x12, 0x01, 3,   0,
          1,   0,    0,    0,   uint8_t(orientation),
          0,   0,    0,    0,   0,
          0,   0};
}

// This thread's processor time, page faults included: on a shared machine
// wall time mostly measures the neighbours.
double ThreadMilliseconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// A 24 MP camera photo decoded as a photo, untagged (the baseline, in the
// same run) and tagged with the orientation in the argument: `ratio` is
// the tagged decode's processor time over the untagged one's.
void BM_DecodePhoto6000x4000Turned(benchmark::State& state) {
  static const std::vector<uint8_t> pixels = PhotoLike(6000, 4000, 18000);
  static const std::vector<uint8_t> untagged = EncodeJpeg(pixels, 6000, 4000);
  const std::vector<uint8_t> tagged =
      EncodeJpeg(pixels, 6000, 4000, OrientationSegment(int(state.range(0))));
  double untaggedMs = 0, taggedMs = 0;
  for (auto _ : state) {
    for (const std::vector<uint8_t>* jpeg : {&untagged, &tagged}) {
      engine::Raster out;
      const double start = ThreadMilliseconds();
      if (!imagefiles::DecodeImage(jpeg->data(), uint32_t(jpeg->size()),
                                   imagefiles::DecodeMode::Photo, &out)) {
        state.SkipWithError("decode failed");
        return;
      }
      benchmark::DoNotOptimize(out.pixels.get());
      (jpeg == &untagged ? untaggedMs : taggedMs) += ThreadMilliseconds() - start;
    }
  }
  const double n = double(state.iterations());
  state.counters["untagged_ms"] = untaggedMs / n;
  state.counters["tagged_ms"] = taggedMs / n;
  state.counters["ratio"] = taggedMs / untaggedMs;
}
BENCHMARK(BM_DecodePhoto6000x4000Turned)
    ->ArgName("orientation")
    ->Arg(1)
    ->Arg(3)
    ->Arg(6)
    ->Arg(8)
    ->Unit(benchmark::kMillisecond);

// The turn alone on a decoded 24 MP photo, as interlaced PNGs need it,
// against copying the same bytes once.
void BM_TurnUpright6000x4000(benchmark::State& state) {
  const int orientation = int(state.range(0));
  engine::Raster photo = engine::Raster::Allocate(6000, 4000, engine::PixelFormat::Rgb24);
  std::memset(photo.pixels.get(), 0x5A, photo.ByteSize());
  engine::Raster copy = engine::Raster::Allocate(6000, 4000, engine::PixelFormat::Rgb24);
  std::memset(copy.pixels.get(), 0, copy.ByteSize());
  double turnMs = 0, copyMs = 0;
  for (auto _ : state) {
    double start = ThreadMilliseconds();
    std::memcpy(copy.pixels.get(), photo.pixels.get(), photo.ByteSize());
    benchmark::DoNotOptimize(copy.pixels.get());
    copyMs += ThreadMilliseconds() - start;
    start = ThreadMilliseconds();
    engine::TurnUpright(photo, orientation);
    benchmark::DoNotOptimize(photo.pixels.get());
    turnMs += ThreadMilliseconds() - start;
  }
  const double n = double(state.iterations());
  state.counters["turn_ms"] = turnMs / n;
  state.counters["copy_ms"] = copyMs / n;
  state.counters["ratio"] = turnMs / copyMs;
}
BENCHMARK(BM_TurnUpright6000x4000)
    ->ArgName("orientation")
    ->DenseRange(2, 8)
    ->Unit(benchmark::kMillisecond);

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
    if (!imagefiles::WriteCard(path, format, card.data(), width, height, stride)) {
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
