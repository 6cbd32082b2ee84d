#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <vector>

#include "engine/compose/CardCompositor.h"
#include "document/BuiltInDesigns.h"
#include "engine/card/CardTemplate.h"
#include "imagefiles/ImageFiles.h"

namespace {

// Template 0 with five noisy 24 MP photos.
const engine::Card& CardOf24MpPhotos() {
  static engine::Card card = [] {
    engine::Card c;
    imagefiles::ImageFiles reader;
    document::MakeBuiltInCard(0, reader, &c);
    std::mt19937 rng(11);
    for (engine::PhotoSlot& slot : c.slots) {
      engine::Raster photo = engine::Raster::Allocate(6000, 4000, engine::PixelFormat::Rgb24);
      for (size_t i = 0; i < photo.ByteSize(); i += 4) {
        const uint32_t r = rng();
        for (size_t k = 0; k < 4 && i + k < photo.ByteSize(); ++k) photo.pixels[i + k] = uint8_t(r >> (8 * k));
      }
      slot.TakePhoto(std::move(photo));
    }
    return c;
  }();
  return card;
}

constexpr int32_t kW = 900, kH = 600;

// The baseline: what each repaint of the card used to cost the program: a
// fresh buffer, the draft render, and red and blue swapped for the device.
void BM_RepaintWithFreshBufferAndSwap(benchmark::State& state) {
  const engine::Card& card = CardOf24MpPhotos();
  const uint32_t stride = engine::CardImageStride(kW);
  for (auto _ : state) {
    std::unique_ptr<uint8_t[]> buffer(new uint8_t[size_t(stride) * kH]);
    engine::RenderCard(card, kW, kH, buffer.get(), int32_t(stride), true);
    for (int32_t y = 0; y < kH; ++y) {
      uint8_t* row = buffer.get() + size_t(y) * stride;
      for (int32_t x = 0; x < kW; ++x) std::swap(row[3 * x], row[3 * x + 2]);
    }
    benchmark::DoNotOptimize(buffer.get());
  }
}
BENCHMARK(BM_RepaintWithFreshBufferAndSwap)->Unit(benchmark::kMillisecond);

// What a repaint costs now: the render into the buffer kept from the last
// paint, handed to the canvas as it is.
void BM_RepaintIntoKeptBuffer(benchmark::State& state) {
  const engine::Card& card = CardOf24MpPhotos();
  const uint32_t stride = engine::CardImageStride(kW);
  std::vector<uint8_t> buffer(size_t(stride) * kH);
  for (auto _ : state) {
    engine::RenderCard(card, kW, kH, buffer.data(), int32_t(stride), true);
    benchmark::DoNotOptimize(buffer.data());
  }
}
BENCHMARK(BM_RepaintIntoKeptBuffer)->Unit(benchmark::kMillisecond);

}  // namespace
