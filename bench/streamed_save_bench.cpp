// Saving a card of five 24 MP camera JPEGs as tessary-render does: each
// photo decoded while its slot is drawn (ExportStreamedCard) against every
// photo loaded whole first on two threads, then the card rendered and
// written (what the renderer did before). Both from the same files to the
// same output, alternately in one run; times are elapsed (both run on two
// threads), the minimum of the rounds. Also the peak memory each one adds.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "BenchPhotos.h"
#include "Interleaved.h"
#include "engine/card/CardTemplate.h"
#include "engine/card/PhotoPlacement.h"
#include "imagefiles/CardWriter.h"
#include "imagefiles/ImageFiles.h"
#include "document/BuiltInDesigns.h"
#include "document/CardExport.h"
#include "document/CardState.h"
#include "document/DesignSizes.h"
#include "document/PhotoFile.h"
#include "document/StreamedExport.h"

namespace {

// The process's peak resident memory since the last reset, in MiB.
void ResetPeakMemory() {
  if (FILE* f = std::fopen("/proc/self/clear_refs", "w")) {
    std::fputs("5", f);
    std::fclose(f);
  }
}
double PeakMemoryMiB() {
  double kib = 0;
  if (FILE* f = std::fopen("/proc/self/status", "r")) {
    char line[256];
    while (std::fgets(line, sizeof line, f)) {
      if (std::strncmp(line, "VmHWM:", 6) == 0) kib = std::atof(line + 6);
    }
    std::fclose(f);
  }
  return kib / 1024.0;
}
double ResidentMiB() {
  double kib = 0;
  if (FILE* f = std::fopen("/proc/self/status", "r")) {
    char line[256];
    while (std::fgets(line, sizeof line, f)) {
      if (std::strncmp(line, "VmRSS:", 6) == 0) kib = std::atof(line + 6);
    }
    std::fclose(f);
  }
  return kib / 1024.0;
}

struct PhotoFiles {
  std::string folder;
  std::vector<document::SlotPhotoFile> photos;
  PhotoFiles() {
    char pattern[] = "/tmp/tessary-bench-XXXXXX";
    folder = mkdtemp(pattern) ? pattern : "/tmp";
    for (size_t i = 0; i < 5; ++i) {
      const uint32_t w = 6000 - 37 * uint32_t(i), h = 4000 - 11 * uint32_t(i);
      const std::vector<uint8_t> jpeg =
          benchsupport::EncodeJpeg(benchsupport::PhotoLike(w, h, w * 3), w, h);
      const std::string path = folder + "/photo" + std::to_string(i) + ".jpg";
      if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(jpeg.data(), 1, jpeg.size(), f);
        std::fclose(f);
      }
      photos.push_back({i, path});
    }
  }
  ~PhotoFiles() {
    for (const auto& p : photos) std::remove(p.path.c_str());
    std::remove((folder + "/card.jpg").c_str());
    rmdir(folder.c_str());
  }
};

void BM_SaveFive24MPJpegs_StreamedVsWhole(benchmark::State& state) {
  const imagefiles::ImageFiles files;
  engine::Card card;
  document::MakeBuiltInCard(0, files, &card);
  if (!card.cardTemplate.Installed()) {
    state.SkipWithError("no built-in artwork in this build");
    return;
  }
  static const PhotoFiles photos;
  const std::string out = photos.folder + "/card.jpg";
  double streamedPeak = 0, wholePeak = 0;
  benchsupport::Interleaved(
      state,
      [&] {
        const double before = ResidentMiB();
        ResetPeakMemory();
        const document::StreamedRenderResult r = document::ExportStreamedCard(
            card, photos.photos, 900, 600, out, imagefiles::CardFormat::Jpeg);
        if (r.failedPhoto >= 0 || !r.saved) state.SkipWithError("the streamed save failed");
        streamedPeak = std::max(streamedPeak, PeakMemoryMiB() - before);
      },
      [&] {
        const double before = ResidentMiB();
        ResetPeakMemory();
        {
          // Loaded on two threads, as the renderer did.
          engine::SlotList slots = card.slots;
          std::atomic<size_t> next{0};
          std::atomic<bool> failed{false};
          auto load = [&] {
            for (size_t i = next++; i < photos.photos.size(); i = next++) {
              const auto& p = photos.photos[i];
              engine::Raster photo;
              document::PhotoSource source;
              if (!document::ReadPhotoFile(p.path, files, &photo, &source)) failed = true;
              slots[p.slot].TakePhoto(std::move(photo));
            }
          };
          std::thread helper(load);
          load();
          helper.join();
          if (failed) state.SkipWithError("a photo did not load");
          engine::Card whole = card;
          whole.slots = std::move(slots);
          if (!document::ExportCard(whole, 900, 600, false, out, imagefiles::CardFormat::Jpeg)) {
            state.SkipWithError("the whole save failed");
          }
        }
        wholePeak = std::max(wholePeak, PeakMemoryMiB() - before);
      },
      benchsupport::WallSeconds);
  state.counters["streamed_peak_MiB"] = streamedPeak;
  state.counters["whole_peak_MiB"] = wholePeak;
}
BENCHMARK(BM_SaveFive24MPJpegs_StreamedVsWhole)
    ->Iterations(6)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// The same five photos saved at the print size (1800 x 1200, the print
// version of the design, quality 92 at 4:4:4) against today's screen-size
// save (900 x 600): decoding the photos dominates both, so the print should
// cost at most half as much again.
void BM_SaveFive24MPJpegs_PrintVsScreen(benchmark::State& state) {
  const imagefiles::ImageFiles files;
  document::CardState screen;
  document::MakeBuiltInCard(0, files, &screen.card);
  screen.design.builtInIndex = 0;
  screen.design.cycleIndex = 0;
  screen.photos.resize(screen.card.slots.size());
  const document::DesignInfo design = document::DescribeDesign(screen);
  engine::Card print;
  if (!screen.card.cardTemplate.Installed() || design.PrintSize() == nullptr ||
      !document::CardAtSize(screen, *design.PrintSize(), files, &print)) {
    state.SkipWithError("no built-in artwork in this build");
    return;
  }
  const document::DesignSize size = *design.PrintSize();
  static const PhotoFiles photos;
  const std::string out = photos.folder + "/card.jpg";
  benchsupport::Interleaved(
      state,
      [&] {
        const document::StreamedRenderResult r = document::ExportStreamedCard(
            print, photos.photos, size.width, size.height, out, imagefiles::CardFormat::Jpeg,
            size.encoding);
        if (r.failedPhoto >= 0 || !r.saved) state.SkipWithError("the print save failed");
      },
      [&] {
        const document::StreamedRenderResult r = document::ExportStreamedCard(
            screen.card, photos.photos, 900, 600, out, imagefiles::CardFormat::Jpeg);
        if (r.failedPhoto >= 0 || !r.saved) state.SkipWithError("the screen save failed");
      },
      benchsupport::WallSeconds);
}
BENCHMARK(BM_SaveFive24MPJpegs_PrintVsScreen)
    ->Iterations(6)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
