#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <vector>

#include "engine/compose/CardCompositor.h"
#include "engine/card/CardTemplate.h"
#include "document/BuiltInDesigns.h"
#include "document/EditHistory.h"
#include "engine/card/SlotEditing.h"
#include "imagefiles/ImageFiles.h"

namespace {

// Every wheel notch is zoomed and committed; with a full history each
// commit also drops the oldest step and counts the bytes the history holds.
// The baseline is the draft repaint that follows each notch on screen.
void BM_WheelNotchWithFullHistory(benchmark::State& state) {
  document::CardState cardState;
  engine::Card& card = cardState.card;
  imagefiles::ImageFiles reader;
  document::MakeBuiltInCard(0, reader, &card);
  cardState.photos.resize(card.slots.size());
  if (card.slots.size() < 2) {
    state.SkipWithError("built-in artwork not in this build");
    return;
  }
  for (engine::PhotoSlot& slot : card.slots) {
    engine::Raster photo = engine::Raster::Allocate(1600, 1200, engine::PixelFormat::Rgb24);
    for (size_t i = 0; i < photo.ByteSize(); ++i) photo.pixels[i] = uint8_t(i * 7);
    slot.TakePhoto(std::move(photo));
  }
  document::EditHistory history;
  history.Start(cardState);
  const geometry::Rect shown{0, 0, 900, 600};
  size_t notch = 0;
  auto wheel = [&] {
    // Two slots in turn, in and out: each notch is a step of its own.
    const size_t slot = notch % 2;
    const int32_t delta = (notch / 2) % 2 ? -120 : 120;
    engine::WheelZoomSlot(card.slots, slot, delta, shown, 900, 600, slot == 0 ? 600 : 200, 150);
    history.CommitGesture(cardState, document::Gesture::WheelZoom, slot);
    ++notch;
  };
  for (size_t i = 0; i < document::EditHistory::kMaxSteps + 10; ++i) wheel();

  const uint32_t stride = engine::CardImageStride(900);
  std::vector<uint8_t> buffer(size_t(stride) * 600);
  using Clock = std::chrono::steady_clock;
  double notchSeconds = 0, repaintSeconds = 0;
  for (auto _ : state) {
    const auto t0 = Clock::now();
    wheel();
    const auto t1 = Clock::now();
    engine::RenderCard(card, 900, 600, buffer.data(), int32_t(stride), true);
    benchmark::DoNotOptimize(buffer.data());
    const auto t2 = Clock::now();
    notchSeconds += std::chrono::duration<double>(t1 - t0).count();
    repaintSeconds += std::chrono::duration<double>(t2 - t1).count();
  }
  state.counters["notch_us"] = notchSeconds / double(state.iterations()) * 1e6;
  state.counters["notch_per_repaint"] = notchSeconds / repaintSeconds;
}
BENCHMARK(BM_WheelNotchWithFullHistory)->Unit(benchmark::kMillisecond);

}  // namespace
