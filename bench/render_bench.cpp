#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <vector>

#include "engine/CardCompositor.h"
#include "engine/CardTemplate.h"
#include "imagefiles/ImageFiles.h"

namespace {

// Built-in template 0 with a noisy 4000 x 3000 photo in each of its five
// slots: what a drag repaints on every pointer move.
const engine::Card& FullCard() {
  static engine::Card card = [] {
    engine::Card c;
    imagefiles::ImageFiles reader;
    engine::LoadBuiltInTemplate(c, 201, 202, reader);
    std::mt19937 rng(7);
    for (engine::PhotoSlot& slot : c.slots) {
      engine::Raster photo = engine::Raster::Allocate(4000, 3000, engine::PixelFormat::Rgb24);
      for (size_t i = 0; i < photo.ByteSize(); ++i) photo.pixels[i] = uint8_t(rng());
      slot.TakePhoto(std::move(photo));
    }
    return c;
  }();
  return card;
}

void BM_RenderCard(benchmark::State& state) {
  const engine::Card& card = FullCard();
  const int32_t w = int32_t(state.range(0)), h = int32_t(state.range(1));
  const bool draft = state.range(2) != 0;
  const uint32_t stride = engine::CardImageStride(uint32_t(w));
  std::vector<uint8_t> buffer(size_t(stride) * h);
  for (auto _ : state) {
    engine::RenderCard(card, w, h, buffer.data(), int32_t(stride), draft);
    benchmark::DoNotOptimize(buffer.data());
  }
}
BENCHMARK(BM_RenderCard)
    ->ArgNames({"w", "h", "draft"})
    ->Args({900, 600, 1})
    ->Args({700, 467, 1})
    ->Args({900, 600, 0})
    ->Unit(benchmark::kMillisecond);

}  // namespace
