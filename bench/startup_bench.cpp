// How soon the window shows its card when the program starts with photos
// named, against starting with none, in the same run: the photos load on
// worker threads after the first paint. The program's start as it runs,
// on the scripted desktop (the window system's own start is the same for
// both and is left out).
//
// Counters (elapsed time, minimum of the rounds):
//   ms               start to the end of the first paint, five 24 MP photos named
//   baseline_ms      the same with no photo named
//   ratio            ms / baseline_ms
//   all_in_ms        start until the last of the five photos is in the card
//   at_once_ms       start to the first paint when the photos are read before
//                    it, one after the other (as on a platform without threads)

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "BenchPhotos.h"
#include "Interleaved.h"
#include "app/MainWindow.h"
#include "app/Startup.h"
#include "engine/raster/PhotoBufferPool.h"
#include "imagefiles/ImageFiles.h"
#include "platform/scripted/ScriptedPlatform.h"

namespace {

struct NamedPhotos {
  std::string folder;
  std::vector<std::string> paths;
  NamedPhotos() {
    char pattern[] = "/tmp/tessary-bench-XXXXXX";
    folder = mkdtemp(pattern) ? pattern : "/tmp";
    for (uint32_t i = 0; i < 5; ++i) {
      const uint32_t w = 6000 - 37 * i, h = 4000 - 11 * i;
      const std::vector<uint8_t> jpeg =
          benchsupport::EncodeJpeg(benchsupport::PhotoLike(w, h, w * 3), w, h);
      paths.push_back(folder + "/photo" + std::to_string(i) + ".jpg");
      if (FILE* f = std::fopen(paths.back().c_str(), "wb")) {
        std::fwrite(jpeg.data(), 1, jpeg.size(), f);
        std::fclose(f);
      }
    }
  }
  ~NamedPhotos() {
    for (const std::string& p : paths) std::remove(p.c_str());
    rmdir(folder.c_str());
  }
};

struct StartTimes {
  double firstPaint = 0;
  double allIn = 0;
};

// One start of the program as TessaryMain makes it, with `files` named;
// `threads` 0 reads them before the first paint.
StartTimes StartOnce(const std::vector<std::string>& files, unsigned threads) {
  platform::scripted::ScriptedConfig config;
  config.backgroundThreads = threads;
  platform::scripted::ScriptedPlatform platform(config);
  const imagefiles::ImageFiles reader;
  engine::PhotoBufferPool::Enable();
  StartTimes times;
  const double start = benchsupport::WallSeconds();
  const app::StartupPlacement placement = app::ComputeStartupPlacement(
      config.dpi, platform.Frame(), platform.MaximisedClientSize(), platform.StartupShowState());
  app::MainWindow window(platform, config.dpi, reader);
  if (!window.Create(placement.rect, "Tessary")) return times;
  window.Show(placement.show);
  window.HoldLoadsUntilPainted();
  window.OpenFiles(files);
  platform.window->Paint();
  times.firstPaint = benchsupport::WallSeconds() - start;
  // Each photo is painted as it comes, as the window would.
  size_t in = 0;
  platform.WaitUntil(
      [&] {
        size_t now = 0;
        for (const engine::PhotoSlot& slot : window.Document().Card().slots)
          now += slot.HasPhoto() ? 1 : 0;
        if (now != in) platform.window->Paint();
        in = now;
        return now >= std::min<size_t>(files.size(), 5);
      },
      60000);
  times.allIn = benchsupport::WallSeconds() - start;
  return times;
}

void BM_StartWithFive24MPPhotos_vsNone(benchmark::State& state) {
  static const NamedPhotos photos;
  double best = std::numeric_limits<double>::infinity(), bestNone = best, bestAll = best;
  double bestAtOnce = best;
  int round = 0;
  for (auto _ : state) {
    const StartTimes with = StartOnce(photos.paths, 2);
    const StartTimes none = StartOnce({}, 2);
    best = std::min(best, with.firstPaint);
    bestAll = std::min(bestAll, with.allIn);
    bestNone = std::min(bestNone, none.firstPaint);
    // The old way is slow: a few rounds of it say enough.
    if (round++ < 3) bestAtOnce = std::min(bestAtOnce, StartOnce(photos.paths, 0).firstPaint);
    state.SetIterationTime(with.firstPaint);
  }
  state.counters["ms"] = best * 1e3;
  state.counters["baseline_ms"] = bestNone * 1e3;
  state.counters["ratio"] = best / bestNone;
  state.counters["all_in_ms"] = bestAll * 1e3;
  state.counters["at_once_ms"] = bestAtOnce * 1e3;
}
BENCHMARK(BM_StartWithFive24MPPhotos_vsNone)->UseManualTime()->Iterations(8)->Unit(benchmark::kMillisecond);

}  // namespace
