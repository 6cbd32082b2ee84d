// The screen path: the draft frame of a drag against a pixman implementation
// of the same frame, the cost of each full-quality step of the preview, and
// the resampler on each instruction-set level.

#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cstring>
#include <limits>
#include <utility>
#include <vector>

#include "BenchCards.h"
#include "Interleaved.h"
#include "engine/compose/CardCompositor.h"
#include "engine/compose/CardKey.h"
#include "engine/compose/CardPreview.h"
#include "engine/compose/DraftComposer.h"
#include "engine/card/PhotoPlacement.h"
#include "engine/resample/ResampleJob.h"
#include "engine/resample/ScaleNearest.h"
#include "engine/resample/SimdLevel.h"

namespace {

using benchsupport::Interleaved;

// The draft frame as a program built on pixman would draw it, every frame
// from scratch: each slot's crop scaled by nearest neighbour through the
// region's alpha mask over white paper, the overlay over that, then one
// nearest-neighbour scaling to the output size. Pictures are given to pixman
// in its own 32-bit formats (converted once, untimed), where its fast paths
// are.
class PixmanFrame {
 public:
  PixmanFrame(const engine::Card& card, int32_t width, int32_t height) : card_(card) {
    const engine::CardTemplate& t = card.cardTemplate;
    w0_ = int32_t(t.width);
    h0_ = int32_t(t.height);
    for (const engine::PhotoSlot& slot : card.slots) {
      Slot s;
      const int32_t bw = slot.BoxWidth(), bh = slot.BoxHeight();
      if (bw > 0 && bh > 0) {
        std::vector<uint32_t>& pixels = Converted(slot);
        s.photo = pixman_image_create_bits(PIXMAN_x8r8g8b8, int32_t(slot.photoWidth),
                                           int32_t(slot.photoHeight), pixels.data(),
                                           int32_t(slot.photoWidth) * 4);
        pixman_image_set_filter(s.photo, PIXMAN_FILTER_NEAREST, nullptr, 0);
        const int32_t maskStride = (bw + 3) & ~3;
        s.maskPixels.assign(size_t(maskStride) * bh, 0);
        for (int32_t y = 0; y < bh; ++y) {
          for (int32_t x = 0; x < bw; ++x) {
            const uint8_t* m =
                t.regionMap.get() + (size_t(slot.top + y) * t.width + size_t(slot.left + x)) * 4;
            if ((engine::PixelWord(m) & engine::KeyColourMask) == slot.keyColour) {
              s.maskPixels[size_t(y) * maskStride + x] = m[3];
            }
          }
        }
        s.mask = pixman_image_create_bits(
            PIXMAN_a8, bw, bh, reinterpret_cast<uint32_t*>(s.maskPixels.data()), maskStride);
      }
      slots_.push_back(std::move(s));
    }
    overlay_ = Image32(PIXMAN_a8r8g8b8, w0_, h0_, &overlayPixels_);
    for (size_t i = 0; i < overlayPixels_.size(); ++i) {
      const uint8_t* o = t.overlay.get() + i * 4;
      const uint32_t a = o[3];
      auto pre = [a](uint32_t c) { return (c * a + 127) / 255; };
      overlayPixels_[i] = a << 24 | pre(o[0]) << 16 | pre(o[1]) << 8 | pre(o[2]);
    }
    work_ = Image32(PIXMAN_x8r8g8b8, w0_, h0_, &workPixels_);
    if (width != w0_ || height != h0_) {
      out_ = Image32(PIXMAN_x8r8g8b8, width, height, &outPixels_);
      pixman_transform_t scale;
      pixman_transform_init_scale(&scale, pixman_double_to_fixed(double(w0_) / width),
                                  pixman_double_to_fixed(double(h0_) / height));
      pixman_image_set_transform(work_, &scale);
      pixman_image_set_filter(work_, PIXMAN_FILTER_NEAREST, nullptr, 0);
      width_ = width;
      height_ = height;
    }
  }
  ~PixmanFrame() {
    for (Slot& s : slots_) {
      if (s.photo) pixman_image_unref(s.photo);
      if (s.mask) pixman_image_unref(s.mask);
    }
    pixman_image_unref(overlay_);
    pixman_image_unref(work_);
    if (out_) pixman_image_unref(out_);
  }

  void Draw() {
    const pixman_color_t white = {0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF};
    const pixman_rectangle16_t all = {0, 0, uint16_t(w0_), uint16_t(h0_)};
    pixman_image_fill_rectangles(PIXMAN_OP_SRC, work_, &white, 1, &all);
    for (size_t i = 0; i < slots_.size(); ++i) {
      const engine::PhotoSlot& slot = card_.slots[i];
      Slot& s = slots_[i];
      if (!s.photo) continue;
      const engine::Crop crop = engine::ComputeCrop(slot);
      pixman_transform_t t;
      pixman_transform_init_identity(&t);
      t.matrix[0][0] = pixman_double_to_fixed(double(crop.cropWidth) / slot.BoxWidth());
      t.matrix[0][2] = pixman_int_to_fixed(crop.cropX);
      t.matrix[1][1] = pixman_double_to_fixed(double(crop.cropHeight) / slot.BoxHeight());
      t.matrix[1][2] = pixman_int_to_fixed(crop.cropY);
      pixman_image_set_transform(s.photo, &t);
      pixman_image_composite32(PIXMAN_OP_OVER, s.photo, s.mask, work_, 0, 0, 0, 0, slot.left,
                               slot.top, slot.BoxWidth(), slot.BoxHeight());
    }
    pixman_image_composite32(PIXMAN_OP_OVER, overlay_, nullptr, work_, 0, 0, 0, 0, 0, 0, w0_, h0_);
    if (out_) {
      pixman_image_composite32(PIXMAN_OP_SRC, work_, nullptr, out_, 0, 0, 0, 0, 0, 0, width_,
                               height_);
    }
  }

 private:
  struct Slot {
    pixman_image_t* photo = nullptr;
    std::vector<uint8_t> maskPixels;
    pixman_image_t* mask = nullptr;
  };
  // Photos are converted once per run: they never change.
  static std::vector<uint32_t>& Converted(const engine::PhotoSlot& slot) {
    static std::vector<std::pair<const uint8_t*, std::vector<uint32_t>>> done;
    for (auto& d : done) {
      if (d.first == slot.photoPixels.get()) return d.second;
    }
    std::vector<uint32_t> pixels(size_t(slot.photoWidth) * slot.photoHeight);
    const uint8_t* p = slot.photoPixels.get();
    for (size_t i = 0; i < pixels.size(); ++i, p += 3) {
      pixels[i] = 0xFF000000u | uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2];
    }
    done.emplace_back(slot.photoPixels.get(), std::move(pixels));
    return done.back().second;
  }
  static pixman_image_t* Image32(pixman_format_code_t format, int32_t w, int32_t h,
                                 std::vector<uint32_t>* pixels) {
    pixels->assign(size_t(w) * size_t(h), 0);
    return pixman_image_create_bits(format, w, h, pixels->data(), w * 4);
  }

  const engine::Card& card_;
  int32_t w0_ = 0, h0_ = 0, width_ = 0, height_ = 0;
  std::vector<Slot> slots_;
  std::vector<uint32_t> overlayPixels_, workPixels_, outPixels_;
  pixman_image_t* overlay_ = nullptr;
  pixman_image_t* work_ = nullptr;
  pixman_image_t* out_ = nullptr;
};

// The card's size from the benchmark's arguments, and room for one frame.
struct FrameBuffer {
  explicit FrameBuffer(const benchmark::State& state)
      : w(int32_t(state.range(0))),
        h(int32_t(state.range(1))),
        stride(int32_t(engine::CardImageStride(uint32_t(w)))),
        pixels(size_t(stride) * size_t(h)) {}
  engine::RasterView View() { return engine::RasterView{pixels.data(), w, h, stride}; }
  int32_t w, h, stride;
  std::vector<uint8_t> pixels;
};

// Card sizes (w, h), timed by hand in milliseconds.
void CardSizes(benchmark::internal::Benchmark* b) {
  b->ArgNames({"w", "h"})->UseManualTime()->Unit(benchmark::kMillisecond);
}

engine::Card* CardOrSkip(benchmark::State& state) {
  engine::Card* card = benchsupport::FiveFullPhotoCard();
  if (!card) state.SkipWithError("no built-in artwork in this build");
  return card;
}

// Every pointer move of a drag: slot 2's photo moves and the preview shows
// the new frame (full quality ready for the rest of the card). Smooth: as
// the window draws it, from reduced copies of the photos (made by the first
// frame, once per photo).
void DragFrames(benchmark::State& state, bool smooth) {
  engine::Card* card = CardOrSkip(state);
  if (!card) return;
  const int32_t w = int32_t(state.range(0)), h = int32_t(state.range(1));
  PixmanFrame pixman(*card, w, h);
  engine::CardPreview preview;
  preview.SetSmoothDraft(smooth);
  while (preview.StepFullQuality(*card, w, h)) {
  }
  engine::PhotoSlot& dragged = card->slots[2];
  const float panX = dragged.panX, panY = dragged.panY;
  int move = 0;
  Interleaved(
      state,
      [&] {
        // Both ways, so the crop moves whichever way the photo overhangs.
        dragged.panX = dragged.panY = (move++ % 2) ? 0.3f : 0.7f;
        benchmark::DoNotOptimize(preview.Frame(*card, w, h).pixels);
      },
      [&] { pixman.Draw(); });
  dragged.panX = panX;
  dragged.panY = panY;
}
void BM_DraftFrameDrag_vsPixman(benchmark::State& state) { DragFrames(state, false); }
void BM_SmoothDraftFrameDrag_vsPixman(benchmark::State& state) { DragFrames(state, true); }
BENCHMARK(BM_DraftFrameDrag_vsPixman)
    ->Iterations(300)
    ->Apply(CardSizes)
    ->Args({900, 600})
    ->Args({700, 467})
    ->Args({1800, 1200})
    ->Args({3600, 2400});
BENCHMARK(BM_SmoothDraftFrameDrag_vsPixman)
    ->Iterations(300)
    ->Apply(CardSizes)
    ->Args({900, 600})
    ->Args({3600, 2400});

// What reading the photo pixels alone costs a frame in which every slot
// moved: one byte of every pixel the nearest-neighbour crops pick, from
// photos of `bytesPerPixel` bytes (3: the program's, 4: pixman's). Both
// frames are bound by it at the template's size, where the photo pixels come
// from memory at roughly one cache line each.
double ReadOnlySeconds(const engine::Card& card, int bytesPerPixel) {
  std::vector<std::vector<uint8_t>> widened;
  if (bytesPerPixel == 4) {
    for (const engine::PhotoSlot& slot : card.slots) {
      widened.emplace_back(size_t(slot.photoWidth) * slot.photoHeight * 4);
      const uint8_t* p = slot.photoPixels.get();
      for (size_t i = 0; i < widened.back().size(); i += 4, p += 3) {
        std::memcpy(&widened.back()[i], p, 3);
      }
    }
  }
  std::vector<int32_t> columns, rows;
  double best = std::numeric_limits<double>::infinity();
  for (int round = 0; round < 30; ++round) {
    const double start = benchsupport::ThreadSeconds();
    uint32_t sum = 0;
    for (size_t i = 0; i < card.slots.size(); ++i) {
      engine::PhotoSlot slot = card.slots[i];
      slot.panX = slot.panY = (round % 2) ? 0.3f : 0.7f;
      const engine::Crop crop = engine::ComputeCrop(slot);
      columns.resize(size_t(slot.BoxWidth()));
      rows.resize(size_t(slot.BoxHeight()));
      engine::NearestSourceIndices(int32_t(crop.cropWidth), slot.BoxWidth(), columns.data());
      engine::NearestSourceIndices(int32_t(crop.cropHeight), slot.BoxHeight(), rows.data());
      const uint8_t* photo = bytesPerPixel == 4 ? widened[i].data() : slot.photoPixels.get();
      const size_t stride = size_t(slot.photoWidth) * size_t(bytesPerPixel);
      for (int32_t y : rows) {
        const uint8_t* row = photo + (size_t(crop.cropY) + size_t(y)) * stride +
                             size_t(crop.cropX) * size_t(bytesPerPixel);
        for (int32_t x : columns) sum += row[size_t(x) * size_t(bytesPerPixel)];
      }
    }
    benchmark::DoNotOptimize(sum);
    best = std::min(best, benchsupport::ThreadSeconds() - start);
  }
  return best;
}

// A draft frame in which every slot moved: all five photos gathered again.
// Also reported: what reading the photos' pixels alone costs, from the
// program's 3-byte pixels (read_only_ms) and from pixman's 4-byte ones
// (pixman_read_only_ms).
void BM_DraftFrameAllSlots_vsPixman(benchmark::State& state) {
  engine::Card* card = CardOrSkip(state);
  if (!card) return;
  FrameBuffer out(state);
  PixmanFrame pixman(*card, out.w, out.h);
  engine::DraftComposer composer;
  std::vector<std::pair<float, float>> pans;
  for (const engine::PhotoSlot& slot : card->slots) pans.emplace_back(slot.panX, slot.panY);
  int move = 0;
  Interleaved(
      state,
      [&] {
        const float pan = (move++ % 2) ? 0.3f : 0.7f;
        for (engine::PhotoSlot& slot : card->slots) slot.panX = slot.panY = pan;
        composer.ComposeAll(*card, engine::CardKey::Of(*card, out.w, out.h), out.View());
        benchmark::DoNotOptimize(out.pixels.data());
      },
      [&] { pixman.Draw(); });
  for (size_t i = 0; i < pans.size(); ++i) {
    card->slots[i].panX = pans[i].first;
    card->slots[i].panY = pans[i].second;
  }
  state.counters["read_only_ms"] = ReadOnlySeconds(*card, 3) * 1e3;
  state.counters["pixman_read_only_ms"] = ReadOnlySeconds(*card, 4) * 1e3;
}
BENCHMARK(BM_DraftFrameAllSlots_vsPixman)
    ->Iterations(100)
    ->Apply(CardSizes)
    ->Args({900, 600})
    ->Args({1800, 1200})
    ->Args({3600, 2400});

// The first frame at a new size (a window being resized): the template's
// spans are read again, then every slot gathered.
void BM_DraftFrameNewSize_vsPixman(benchmark::State& state) {
  engine::Card* card = CardOrSkip(state);
  if (!card) return;
  FrameBuffer out(state);
  PixmanFrame pixman(*card, out.w, out.h);
  Interleaved(
      state,
      [&] {
        engine::DraftComposer composer;
        composer.ComposeAll(*card, engine::CardKey::Of(*card, out.w, out.h), out.View());
        benchmark::DoNotOptimize(out.pixels.data());
      },
      [&] { pixman.Draw(); });
}
BENCHMARK(BM_DraftFrameNewSize_vsPixman)
    ->Iterations(50)
    ->Apply(CardSizes)
    ->Args({900, 600})
    ->Args({1800, 1200});

// The draft render the window used before the preview, for reference.
void BM_RenderCardDraft_vsPixman(benchmark::State& state) {
  engine::Card* card = CardOrSkip(state);
  if (!card) return;
  FrameBuffer out(state);
  PixmanFrame pixman(*card, out.w, out.h);
  Interleaved(
      state,
      [&] {
        engine::RenderCard(*card, out.w, out.h, out.pixels.data(), out.stride, true);
        benchmark::DoNotOptimize(out.pixels.data());
      },
      [&] { pixman.Draw(); });
}
BENCHMARK(BM_RenderCardDraft_vsPixman)->Iterations(100)->Apply(CardSizes)->Args({900, 600});

// What one idle step of the preview costs the window: the longest step is
// the one resampling a 24 MP photo into its slot.
void BM_PreviewFullQualitySteps(benchmark::State& state) {
  engine::Card* card = CardOrSkip(state);
  if (!card) return;
  const int32_t w = int32_t(state.range(0)), h = int32_t(state.range(1));
  engine::CardPreview preview;
  while (preview.StepFullQuality(*card, w, h)) {
  }
  double longest = std::numeric_limits<double>::infinity(), total = longest;
  engine::PhotoSlot& moved = card->slots[2];
  const float panX = moved.panX, panY = moved.panY;
  int move = 0;
  for (auto _ : state) {
    moved.panX = moved.panY = (move++ % 2) ? 0.3f : 0.7f;
    double slowest = 0, sum = 0;
    bool more = true;
    while (more) {
      const double start = benchsupport::ThreadSeconds();
      more = preview.StepFullQuality(*card, w, h);
      const double t = benchsupport::ThreadSeconds() - start;
      slowest = std::max(slowest, t);
      sum += t;
    }
    longest = std::min(longest, slowest);
    total = std::min(total, sum);
    state.SetIterationTime(sum);
  }
  moved.panX = panX;
  moved.panY = panY;
  state.counters["longest_step_ms"] = longest * 1e3;
  state.counters["all_steps_ms"] = total * 1e3;
}
BENCHMARK(BM_PreviewFullQualitySteps)
    ->Iterations(20)
    ->Apply(CardSizes)
    ->Args({900, 600})
    ->Args({1800, 1200});

// The 24 MP reduction on each instruction-set level this processor has.
void BM_Reduce24MPTo900x600_ByLevel(benchmark::State& state) {
  const engine::SimdLevel level = engine::SimdLevel(state.range(0));
  if (!engine::ForceSimdLevel(level)) {
    state.SkipWithError("level not supported here");
    return;
  }
  state.SetLabel(engine::SimdLevelName(level));
  static const engine::Raster src = benchsupport::NoisyPhoto(6000, 4000, 42);
  std::vector<uint8_t> dst(900 * 600 * 3);
  for (auto _ : state) {
    engine::ResampleJob job(2.2f, 900, 600, 6000, 4000, dst.data(), 900 * 3, src.pixels.get(),
                            6000 * 3);
    job.Resample();
    benchmark::DoNotOptimize(dst.data());
  }
  engine::ResetSimdLevel();
}
BENCHMARK(BM_Reduce24MPTo900x600_ByLevel)
    ->ArgName("level")
    ->DenseRange(0, engine::kSimdLevelCount - 1)
    ->Unit(benchmark::kMillisecond);

}  // namespace
