// What the number of regions costs a render: a 2000 x 2000 card of 64
// regions (the most a layout may have) against one of 5, both covering
// about the same part of the card with photos in every region, each photo
// scaled alike, in full quality (saving) and in draft (the screen). A region's cost is its box's
// area, so within the load limits (engine/card/RegionLimits.h) the ratio
// stays near 1.

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "BenchCards.h"
#include "Interleaved.h"
#include "engine/card/RegionLimits.h"
#include "engine/compose/CardCompositor.h"

namespace {

using benchsupport::Interleaved;

constexpr uint32_t kSide = 2000;

void PaintBox(std::vector<uint8_t>& map, uint32_t x0, uint32_t y0, uint32_t x1, uint32_t y1,
              uint32_t i) {
  for (uint32_t y = y0; y < y1; ++y) {
    for (uint32_t x = x0; x < x1; ++x) {
      uint8_t* p = &map[(size_t(y) * kSide + x) * 4];
      p[0] = uint8_t((i % 32) * 8);
      p[1] = uint8_t((i / 32) * 8);
      p[2] = 200;
      p[3] = 255;
    }
  }
}

// An n x n grid of regions with gaps between them, or, for n = 0, five:
// a 2 x 2 grid and a square over its middle, as built-in template 0.
engine::Card* GridCard(int n) {
  std::vector<uint8_t> map(size_t(kSide) * kSide * 4, 0);
  std::vector<uint8_t> overlay(map.size(), 0);
  if (n == 0) {
    const uint32_t half = kSide / 2;
    PaintBox(map, 20, 20, half - 10, half - 10, 0);
    PaintBox(map, half + 10, 20, kSide - 20, half - 10, 1);
    PaintBox(map, 20, half + 10, half - 10, kSide - 20, 2);
    PaintBox(map, half + 10, half + 10, kSide - 20, kSide - 20, 3);
    PaintBox(map, half - 300, half - 300, half + 300, half + 300, 4);
  } else {
    const uint32_t cell = kSide / uint32_t(n);
    for (int i = 0; i < n * n; ++i) {
      const uint32_t x = uint32_t(i % n) * cell, y = uint32_t(i / n) * cell;
      PaintBox(map, x + 10, y + 10, x + cell - 10, y + cell - 10, uint32_t(i));
    }
  }
  if (engine::CheckRegionCost(kSide, kSide, map.data()) != engine::RegionVerdict::Ok) return nullptr;
  auto* card = new engine::Card;
  engine::SetTemplate(*card, kSide, kSide, map.data(), overlay.data());
  // Each photo a third larger than its box, so that both cards scale alike
  // and differ only in how many regions share the work.
  uint64_t seed = 7;
  for (engine::PhotoSlot& slot : card->slots) {
    slot.TakePhoto(benchsupport::NoisyPhoto(uint32_t(slot.BoxWidth()) * 4 / 3,
                                            uint32_t(slot.BoxHeight()) * 4 / 3, seed++));
  }
  return card;
}

void RegionsAgainstFive(benchmark::State& state, bool draft) {
  static engine::Card* many = GridCard(8);  // 64 regions
  static engine::Card* five = GridCard(0);
  if (many == nullptr || five == nullptr) {
    state.SkipWithError("a card is outside the load limits");
    return;
  }
  const uint32_t stride = engine::CardImageStride(kSide);
  std::vector<uint8_t> out(size_t(stride) * kSide);
  auto render = [&](const engine::Card& card) {
    engine::RenderCard(card, kSide, kSide, out.data(), int32_t(stride), draft);
    benchmark::DoNotOptimize(out.data());
  };
  Interleaved(state, [&] { render(*many); }, [&] { render(*five); });
}

void BM_Render64RegionsSaved_vsFiveRegions(benchmark::State& state) {
  RegionsAgainstFive(state, false);
}
BENCHMARK(BM_Render64RegionsSaved_vsFiveRegions)
    ->Iterations(6)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

void BM_Render64RegionsDraft_vsFiveRegions(benchmark::State& state) {
  RegionsAgainstFive(state, true);
}
BENCHMARK(BM_Render64RegionsDraft_vsFiveRegions)
    ->Iterations(10)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
