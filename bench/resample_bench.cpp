#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <vector>

#include "BenchCards.h"
#include "Interleaved.h"
#include "baseline/ResampleTask.h"
#include "engine/raster/Raster.h"
#include "engine/resample/GammaTables.h"
#include "engine/resample/ResampleJob.h"
#include "engine/resample/ResampleTask.h"
#include "engine/resample/SimdLevel.h"

namespace {

// A noisy picture: flat test images would let branch predictors and caches
// flatter the figures.
std::vector<uint8_t> NoisyPixels(int32_t height, int32_t stride) {
  std::vector<uint8_t> pixels(size_t(stride) * height);
  std::mt19937 rng(42);
  for (uint8_t& b : pixels) b = uint8_t(rng());
  return pixels;
}

void SetRates(benchmark::State& state, int32_t srcWidth, int32_t srcHeight) {
  state.counters["src_MP/s"] = benchmark::Counter(
      double(srcWidth) * srcHeight / 1e6 * double(state.iterations()), benchmark::Counter::kIsRate);
}

// Gamma job as the compositor runs it: tables built per job, then resampled.
void BM_Resample(benchmark::State& state) {
  const int32_t sw = int32_t(state.range(0)), sh = int32_t(state.range(1));
  const int32_t dw = int32_t(state.range(2)), dh = int32_t(state.range(3));
  const int32_t srcStride = int32_t(engine::CardImageStride(uint32_t(sw)));
  const std::vector<uint8_t> src = NoisyPixels(sh, srcStride);
  std::vector<uint8_t> dst(size_t(dw) * dh * 3);
  for (auto _ : state) {
    engine::ResampleJob job(2.2f, dw, dh, sw, sh, dst.data(), dw * 3, src.data(), srcStride);
    job.Resample();
    job.ReleaseTables();
    benchmark::DoNotOptimize(dst.data());
  }
  SetRates(state, sw, sh);
}
BENCHMARK(BM_Resample)
    ->ArgNames({"sw", "sh", "dw", "dh"})
    ->Args({4000, 3000, 430, 280})
    ->Args({4000, 3000, 900, 600})
    ->Args({300, 200, 430, 280})
    ->Args({900, 600, 600, 400})
    ->Unit(benchmark::kMillisecond);

void BM_ScaleNearest(benchmark::State& state) {
  const int32_t sw = int32_t(state.range(0)), sh = int32_t(state.range(1));
  const int32_t dw = int32_t(state.range(2)), dh = int32_t(state.range(3));
  const int32_t srcStride = int32_t(engine::CardImageStride(uint32_t(sw)));
  const int32_t dstStride = int32_t(engine::CardImageStride(uint32_t(dw)));
  const std::vector<uint8_t> src = NoisyPixels(sh, srcStride);
  std::vector<uint8_t> dst(size_t(dstStride) * dh);
  for (auto _ : state) {
    engine::ResampleJob(dw, dh, sw, sh, dst.data(), dstStride, src.data(), srcStride)
        .ScaleNearest();
    benchmark::DoNotOptimize(dst.data());
  }
  SetRates(state, sw, sh);
}
BENCHMARK(BM_ScaleNearest)
    ->ArgNames({"sw", "sh", "dw", "dh"})
    ->Args({900, 600, 700, 467})
    ->Args({4000, 3000, 430, 280})
    ->Unit(benchmark::kMicrosecond);

// The share of every gamma job spent on its tables (65,792 calls to pow).
void BM_GammaTables(benchmark::State& state) {
  for (auto _ : state) {
    auto toLinear = engine::BuildToLinearTable(2.2f);
    auto fromLinear = engine::BuildFromLinearTable(2.2f);
    benchmark::DoNotOptimize(toLinear.get());
    benchmark::DoNotOptimize(fromLinear.get());
  }
}
BENCHMARK(BM_GammaTables)->Unit(benchmark::kMillisecond);

// The resampler against the one it replaced (bench/baseline), both on the
// same instruction-set level, alternately in one run: the ratio is what the
// rewrite gained on this processor. Both use the shared gamma tables, so
// only the pixel work is timed.
void ResampleAgainstBaseline(benchmark::State& state, int32_t sw, int32_t sh, int32_t dw,
                             int32_t dh) {
  const engine::SimdLevel level = engine::SimdLevel(state.range(0));
  if (!engine::ForceSimdLevel(level)) {
    state.SkipWithError("level not supported here");
    return;
  }
  state.SetLabel(engine::SimdLevelName(level));
  const engine::Raster src = benchsupport::NoisyPhoto(uint32_t(sw), uint32_t(sh), 42);
  const auto tables = engine::SharedGammaTables(2.2f);
  std::vector<uint8_t> dst(size_t(dw) * dh * 3), baselineDst(dst.size());
  // Where a pipeline's buffers fall (their distance apart in the cache's
  // sets) moved either side by up to 1.2x from one process to the next, and
  // every round of a run put them in the same places. A block of another
  // size before each round moves them, so the minimum of each side is taken
  // over many placements.
  int round = 0;
  auto moved = [&round](auto&& run) {
    std::vector<uint8_t> before(size_t(16) * size_t(1 + (round++ * 37) % 97));
    benchmark::DoNotOptimize(before.data());
    run();
  };
  benchsupport::Interleaved(
      state,
      [&] {
        moved([&] {
          engine::ResamplePipeline::Make(tables->toLinear, tables->fromLinear, dw, dh, sw, sh,
                                         dst.data(), dw * 3, src.pixels.get(), sw * 3)
              ->Produce(dh);
        });
        benchmark::DoNotOptimize(dst.data());
      },
      [&] {
        moved([&] {
          engine::baseline::ResamplePipeline::Make(tables->toLinear, tables->fromLinear, dw, dh, sw,
                                                   sh, baselineDst.data(), dw * 3, src.pixels.get(),
                                                   sw * 3)
              ->Produce(dh);
        });
        benchmark::DoNotOptimize(baselineDst.data());
      });
  engine::ResetSimdLevel();
  if (dst != baselineDst) state.SkipWithError("the two resamplers disagree");
}

void BM_Reduce24MPTo900x600_vsBaseline(benchmark::State& state) {
  ResampleAgainstBaseline(state, 6000, 4000, 900, 600);
}
BENCHMARK(BM_Reduce24MPTo900x600_vsBaseline)
    ->ArgName("level")
    ->DenseRange(0, engine::kSimdLevelCount - 1)
    ->Iterations(12)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

void BM_Enlarge400x300To900x600_vsBaseline(benchmark::State& state) {
  ResampleAgainstBaseline(state, 400, 300, 900, 600);
}
BENCHMARK(BM_Enlarge400x300To900x600_vsBaseline)
    ->ArgName("level")
    ->DenseRange(0, engine::kSimdLevelCount - 1)
    ->Iterations(150)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
