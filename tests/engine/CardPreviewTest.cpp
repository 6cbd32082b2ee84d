#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "FakeImageReader.h"
#include "GuardedBytes.h"
#include "engine/compose/CardCompositor.h"
#include "engine/compose/CardPreview.h"
#include "engine/compose/DraftComposer.h"
#include "engine/compose/PhotoPyramid.h"
#include "engine/resample/ScaleNearest.h"
#include "engine/resample/SimdLevel.h"

namespace {

using engine::Card;
using engine::RasterView;

// Pixel bytes only: padding at the ends of the rows is nobody's business.
struct Picture {
  int32_t width = 0, height = 0;
  std::vector<uint8_t> bytes;  // packed rows
  bool operator==(const Picture& o) const {
    return width == o.width && height == o.height && bytes == o.bytes;
  }
  bool operator!=(const Picture& o) const { return !(*this == o); }
  const uint8_t* At(int32_t x, int32_t y) const { return &bytes[(size_t(y) * width + x) * 3]; }
};

Picture Packed(const RasterView& view) {
  Picture p{view.width, view.height, {}};
  for (int32_t y = 0; y < view.height; ++y) {
    p.bytes.insert(p.bytes.end(), view.Row(y), view.Row(y) + size_t(view.width) * 3);
  }
  return p;
}

Picture Rendered(const Card& card, int32_t w, int32_t h, bool draft) {
  const int32_t stride = int32_t(engine::CardImageStride(uint32_t(w))) + 4;
  std::vector<uint8_t> buffer(size_t(stride) * h, 0x5A);
  engine::RenderCard(card, w, h, buffer.data(), stride, draft);
  return Packed(RasterView{buffer.data(), w, h, stride});
}

engine::Raster NoisyPhoto(uint32_t w, uint32_t h, std::mt19937& rng) {
  engine::Raster photo = engine::Raster::Allocate(w, h, engine::PixelFormat::Rgb24);
  for (size_t i = 0; i < photo.ByteSize(); ++i) photo.pixels[i] = uint8_t(rng());
  return photo;
}

// A template with everything the composition distinguishes: three regions,
// one scattered so its box overlaps the others, soft region edges, an
// overlay that is opaque in places, partly transparent in others and absent
// elsewhere; photos of several shapes and one empty slot showing the tile.
Card RandomCard(uint32_t w, uint32_t h, std::mt19937& rng) {
  Card card;
  enginetest::RegionMapBuilder map(w, h);
  map.Fill(1, 1, int(w / 2), int(h / 2), 255, 0, 0)
      .Fill(int(w / 2), 2, int(w) - 1, int(h) - 2, 0, 255, 0)
      .Fill(2, int(h / 2) + 1, int(w / 2) - 1, int(h) - 1, 0, 0, 255)
      .Fill(int(w / 2) + 2, int(h / 3), int(w / 2) + 4, int(h / 3) + 3, 0, 0, 255);
  std::vector<uint8_t> overlay(size_t(w) * h * 4, 0);
  for (size_t i = 0; i < size_t(w) * h; ++i) {
    const uint32_t r = rng() % 10;
    if (map.pixels[i * 4 + 3] != 0 && r < 2) map.pixels[i * 4 + 3] = uint8_t(1 + rng() % 254);
    overlay[i * 4 + 3] = r < 6 ? 0 : r < 8 ? 255 : uint8_t(1 + rng() % 254);
    for (int c = 0; c < 3; ++c) overlay[i * 4 + c] = uint8_t(rng());
  }
  engine::SetTemplate(card, w, h, map.pixels.data(), overlay.data());
  card.placeholderTile = std::make_shared<const engine::Raster>(NoisyPhoto(7, 5, rng));
  for (size_t i = 0; i + 1 < card.slots.size(); ++i) {
    card.slots[i].TakePhoto(NoisyPhoto(20 + rng() % 90, 20 + rng() % 90, rng));
    card.slots[i].panX = float(rng() % 1000) / 1000.0f;
    card.slots[i].panY = float(rng() % 1000) / 1000.0f;
  }
  return card;
}

// Smaller, equal and larger than the 60 x 40 template along either axis,
// whole and fractional factors, and a single pixel.
const std::pair<int32_t, int32_t> kSizes[] = {
    {60, 40}, {41, 27}, {17, 31},  {1, 1},     {97, 61},   {60, 13},  {133, 40},
    {59, 39}, {61, 41}, {120, 80}, {240, 160}, {251, 173}, {300, 17}, {2, 400}};

// The slot whose photo decides output pixel (x, y) in draft, -1 for none:
// the last drawn slot whose region holds the template pixel the final
// scaling reads, unless the overlay covers that pixel entirely.
int Owner(const Card& card, int32_t w, int32_t h, int32_t x, int32_t y);

TEST(DraftComposer, ComposesWhatTheDraftRenderGivesAtEverySize) {
  std::mt19937 rng(1);
  for (int round = 0; round < 4; ++round) {
    Card card = RandomCard(60, 40, rng);
    if (round == 3) {
      // A list the composition must read as RenderCard does: a later slot
      // with an earlier one's key wins where both hold the pixel, and a box
      // outside the template is skipped.
      card.slots[2].keyColour = card.slots[1].keyColour;
      card.slots[2].left = 0;
      card.slots[2].right = 60;
      card.slots[0].bottom = 41;
    }
    engine::DraftComposer composer;
    for (auto [w, h] : kSizes) {
      SCOPED_TRACE(testing::Message() << "round " << round << ", " << w << "x" << h);
      const engine::CardKey key = engine::CardKey::Of(card, w, h);
      const int32_t stride = int32_t(engine::CardImageStride(uint32_t(w)));
      std::vector<uint8_t> buffer(size_t(stride) * h, 0x5A);
      const RasterView out{buffer.data(), w, h, stride};
      composer.ComposeAll(card, key, out);
      const Picture draft = Rendered(card, w, h, true);
      ASSERT_EQ(Packed(out), draft);
      // Each slot alone writes exactly its own pixels, and copies exactly
      // them; every other byte, the rows' padding included, stays.
      for (size_t i = 0; i < card.slots.size(); ++i) {
        std::vector<uint8_t> alone(buffer.size(), 0x5A), copied(buffer.size(), 0xA5);
        composer.ComposeSlot(card, key, i, RasterView{alone.data(), w, h, stride});
        composer.CopySlot(i, out, RasterView{copied.data(), w, h, stride});
        for (int32_t y = 0; y < h; ++y) {
          for (int32_t x = 0; x < w; ++x) {
            const size_t at = size_t(y) * size_t(stride) + size_t(x) * 3;
            const bool owned = Owner(card, w, h, x, y) == int(i);
            const uint8_t untouched[3] = {0x5A, 0x5A, 0x5A};
            ASSERT_EQ(0, std::memcmp(&alone[at], owned ? draft.At(x, y) : untouched, 3))
                << "slot " << i << " at " << x << "," << y;
            const uint8_t kept[3] = {0xA5, 0xA5, 0xA5};
            ASSERT_EQ(0, std::memcmp(&copied[at], owned ? draft.At(x, y) : kept, 3))
                << "slot " << i << " at " << x << "," << y;
          }
          for (size_t at = size_t(y) * size_t(stride) + size_t(w) * 3;
               at < size_t(y + 1) * size_t(stride); ++at) {
            ASSERT_EQ(alone[at], 0x5A);
            ASSERT_EQ(copied[at], 0xA5);
          }
        }
      }
    }
  }
}

// Frames of several megabytes go past the caches and, enlarged, through the
// shuffled row expansion: the same bytes, on every instruction-set level.
TEST(DraftComposer, LargeFramesAreTheDraftRenderOnEveryLevel) {
  std::mt19937 rng(11);
  Card card = RandomCard(60, 40, rng);
  for (int level = 0; level < engine::kSimdLevelCount; ++level) {
    if (!engine::ForceSimdLevel(engine::SimdLevel(level))) continue;
    for (auto [w, h] : {std::pair{1500, 1000}, {1501, 1103}, {2400, 1700}, {70, 21000}}) {
      SCOPED_TRACE(testing::Message()
                   << engine::SimdLevelName(engine::SimdLevel(level)) << " " << w << "x" << h);
      engine::DraftComposer composer;
      const int32_t stride = int32_t(engine::CardImageStride(uint32_t(w))) + 4;
      std::vector<uint8_t> buffer(size_t(stride) * h, 0x5A);
      composer.ComposeAll(card, engine::CardKey::Of(card, w, h),
                          RasterView{buffer.data(), w, h, stride});
      ASSERT_EQ(Packed(RasterView{buffer.data(), w, h, stride}), Rendered(card, w, h, true));
      for (int32_t y = 0; y < h; ++y) {
        for (int32_t pad = w * 3; pad < stride; ++pad) {
          ASSERT_EQ(buffer[size_t(y) * size_t(stride) + size_t(pad)], 0x5A);
        }
      }
    }
  }
  engine::ResetSimdLevel();
}

// A photo that ends where an unreadable page begins, framed at its
// bottom-right corner and shown at its own size, so its very last pixel is
// drawn: the draft gathers four bytes at a time but never past the photo.
TEST(DraftComposer, NeverReadsPastAPhoto) {
  std::mt19937 rng(12);
  Card card = RandomCard(60, 40, rng);
  engine::PhotoSlot& slot = card.slots[0];
  const uint32_t w = uint32_t(slot.BoxWidth()), h = uint32_t(slot.BoxHeight()) + 7;
  enginetest::GuardedBytes photo(size_t(w) * h * 3);
  if (!photo.Data()) GTEST_SKIP() << "no unreadable pages on this system";
  for (size_t i = 0; i < size_t(w) * h * 3; ++i) photo.Data()[i] = uint8_t(rng());
  slot.photoPixels = std::shared_ptr<const uint8_t[]>(photo.Data(), [](const uint8_t*) {});
  slot.photoWidth = w;
  slot.photoHeight = h;
  slot.panX = slot.panY = 1.0f;
  for (bool smooth : {false, true}) {
    engine::DraftComposer composer;
    composer.SetSmooth(smooth);
    const int32_t stride = int32_t(engine::CardImageStride(60));
    std::vector<uint8_t> buffer(size_t(stride) * 40);
    const RasterView out{buffer.data(), 60, 40, stride};
    composer.ComposeAll(card, engine::CardKey::Of(card, 60, 40), out);
    EXPECT_EQ(Packed(out), Rendered(card, 60, 40, true));
  }
  slot.photoPixels.reset();
}

TEST(DraftComposer, BlankCardIsWhitePaper) {
  Card card;
  engine::DraftComposer composer;
  std::vector<uint8_t> buffer(size_t(engine::CardImageStride(5)) * 3, 0);
  const RasterView out{buffer.data(), 5, 3, int32_t(engine::CardImageStride(5))};
  composer.ComposeAll(card, engine::CardKey::Of(card, 5, 3), out);
  EXPECT_EQ(Packed(out), Rendered(card, 5, 3, true));
  EXPECT_EQ(Packed(out).bytes, std::vector<uint8_t>(45, 255));
}

TEST(PhotoPyramid, LevelsAreRoundedBoxMeansAndLetGoOfPhotosNoLongerShown) {
  // 5 x 3 (the odd column and row are dropped by a 2 x 2 box): means round
  // half up, channels apart.
  const std::vector<uint8_t> photo = {
      0, 10, 255, 1, 10, 255, 9, 9, 9, 9, 9, 9, 7, 7, 7,  //
      0, 11, 255, 0, 10, 254, 9, 9, 9, 8, 8, 8, 7, 7, 7,  //
      5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5,
  };
  const engine::PhotoLevel half = engine::ReducePhoto(photo.data(), 5, 3, 1);
  EXPECT_EQ(half.width, 2u);
  EXPECT_EQ(half.height, 1u);
  // 0.25 and 10.25 round down, 254.75 and 8.75 up.
  EXPECT_EQ(half.pixels, (std::vector<uint8_t>{0, 10, 255, 9, 9, 9}));
  EXPECT_EQ(engine::ReducePhoto(photo.data(), 5, 3, 2).width, 0u);

  auto shared = std::shared_ptr<const uint8_t[]>(new uint8_t[64 * 64 * 3]());
  const std::weak_ptr<const uint8_t[]> watch = shared;
  engine::PhotoPyramids pyramids;
  const engine::PhotoLevel* quarter = pyramids.Level(shared, 64, 64, 2);
  ASSERT_NE(quarter, nullptr);
  EXPECT_EQ(quarter->width, 16u);
  EXPECT_EQ(pyramids.Level(shared, 64, 64, 2), quarter);  // made once
  pyramids.KeepOnly({shared.get()});
  EXPECT_EQ(pyramids.Level(shared, 64, 64, 2), quarter);
  pyramids.KeepOnly({});
  shared.reset();
  EXPECT_TRUE(watch.expired());
}

// A held photo far larger than its slot is drawn from a reduced copy: a
// one-pixel checkerboard shows as its grey, not as nearest-neighbour's
// black and white; photos near their slot's size are drawn exactly as the
// draft render draws them.
TEST(DraftComposer, ASmoothDraftShowsLargePhotosAsTheirMeanAndSmallOnesExactly) {
  std::mt19937 rng(5);
  for (const bool large : {true, false}) {
    SCOPED_TRACE(large ? "large photo" : "photo of the slot's size");
    Card card;
    enginetest::RegionMapBuilder map(60, 40);
    map.Fill(10, 10, 40, 30, 255, 0, 0);
    const std::vector<uint8_t> overlay(size_t(60) * 40 * 4, 0);
    engine::SetTemplate(card, 60, 40, map.pixels.data(), overlay.data());
    ASSERT_EQ(card.slots.size(), 1u);
    if (large) {
      engine::Raster photo = engine::Raster::Allocate(480, 320, engine::PixelFormat::Rgb24);
      for (uint32_t y = 0; y < 320; ++y)
        for (uint32_t x = 0; x < 480; ++x) std::memset(photo.Row(y) + x * 3, (x + y) % 2 ? 255 : 0, 3);
      card.slots[0].TakePhoto(std::move(photo));
    } else {
      card.slots[0].TakePhoto(NoisyPhoto(30, 20, rng));
    }
    for (auto [w, h] : {std::pair{60, 40}, {45, 30}, {150, 100}}) {
      SCOPED_TRACE(testing::Message() << w << "x" << h);
      engine::DraftComposer composer;
      composer.SetSmooth(true);
      const int32_t stride = int32_t(engine::CardImageStride(uint32_t(w)));
      std::vector<uint8_t> buffer(size_t(stride) * h, 0);
      composer.ComposeAll(card, engine::CardKey::Of(card, w, h), RasterView{buffer.data(), w, h, stride});
      const Picture smooth = Packed(RasterView{buffer.data(), w, h, stride});
      const Picture exact = Rendered(card, w, h, true);
      if (!large) {
        EXPECT_EQ(smooth, exact);
        continue;
      }
      int grey = 0, checkered = 0;
      for (int32_t y = 0; y < h; ++y) {
        for (int32_t x = 0; x < w; ++x) {
          if (Owner(card, w, h, x, y) != 0) {
            ASSERT_EQ(0, std::memcmp(smooth.At(x, y), exact.At(x, y), 3));
            continue;
          }
          grey += smooth.At(x, y)[0] == 128;
          checkered += exact.At(x, y)[0] == 0 || exact.At(x, y)[0] == 255;
        }
      }
      EXPECT_GT(grey, 0);
      EXPECT_EQ(grey, checkered);  // every pixel of the slot
    }
  }
}

// Runs the full-quality steps to the end; the number of steps taken.
int Finish(engine::CardPreview& preview, const Card& card, int32_t w, int32_t h) {
  int steps = 1;
  while (preview.StepFullQuality(card, w, h)) ++steps;
  return steps;
}

int Owner(const Card& card, int32_t w, int32_t h, int32_t x, int32_t y) {
  const engine::CardTemplate& t = card.cardTemplate;
  const int32_t sx = engine::NearestSourceIndex(x, int32_t(t.width), w);
  const int32_t sy = engine::NearestSourceIndex(y, int32_t(t.height), h);
  const size_t at = (size_t(sy) * t.width + size_t(sx)) * 4;
  if (t.overlay[at + 3] == 255 || t.regionMap[at + 3] == 0) return -1;
  const uint32_t key = engine::PixelWord(&t.regionMap[at]) & engine::KeyColourMask;
  for (size_t i = card.slots.size(); i-- > 0;) {
    const engine::PhotoSlot& s = card.slots[i];
    const bool drawn = s.left >= 0 && s.top >= 0 && s.left < s.right && s.top < s.bottom &&
                       s.right <= int32_t(t.width) && s.bottom <= int32_t(t.height);
    if (drawn && s.keyColour == key && sx >= s.left && sx < s.right && sy >= s.top &&
        sy < s.bottom) {
      return int(i);
    }
  }
  return -1;
}

TEST(CardPreview, FullQualityIsTheSavedRenderAndADragRedrawsOnlyItsSlot) {
  std::mt19937 rng(2);
  for (auto [w, h] : {std::pair{60, 40}, {41, 27}, {133, 80}}) {
    SCOPED_TRACE(testing::Message() << w << "x" << h);
    Card card = RandomCard(60, 40, rng);
    // Wide enough for every pan to show another part.
    card.slots[1].TakePhoto(NoisyPhoto(400, 30, rng));
    engine::CardPreview preview;
    // Nothing computed yet: the whole card in draft.
    EXPECT_EQ(Packed(preview.Frame(card, w, h)), Rendered(card, w, h, true));
    EXPECT_FALSE(preview.FullQualityReady(card, w, h));
    // One step per slot (photos and the placeholder), the composition, and
    // the final scaling unless the card is at the template's size.
    const int scaling = w == 60 && h == 40 ? 0 : 1;
    EXPECT_EQ(Finish(preview, card, w, h), int(card.slots.size()) + 1 + scaling);
    EXPECT_TRUE(preview.FullQualityReady(card, w, h));
    const Picture full = Rendered(card, w, h, false);
    EXPECT_EQ(Packed(preview.Frame(card, w, h)), full);
    EXPECT_FALSE(preview.StepFullQuality(card, w, h));

    // A drag of slot 1, frame after frame: slot 1's pixels in draft, every
    // other pixel still the full-quality one.
    for (float pan : {0.1f, 0.9f, 0.4f}) {
      card.slots[1].panX = pan;
      card.slots[1].panY = 1 - pan;
      const Picture frame = Packed(preview.Frame(card, w, h));
      const Picture draft = Rendered(card, w, h, true);
      for (int32_t y = 0; y < h; ++y) {
        for (int32_t x = 0; x < w; ++x) {
          const Picture& expected = Owner(card, w, h, x, y) == 1 ? draft : full;
          ASSERT_EQ(0, std::memcmp(frame.At(x, y), expected.At(x, y), 3))
              << x << "," << y << " owner " << Owner(card, w, h, x, y) << " got "
              << int(frame.At(x, y)[0]) << " draft " << int(draft.At(x, y)[0]) << " full "
              << int(full.At(x, y)[0]);
        }
      }
    }
    // The gesture ends: only slot 1 is resampled again.
    EXPECT_EQ(Finish(preview, card, w, h), 1 + 1 + scaling);
    EXPECT_EQ(Packed(preview.Frame(card, w, h)), Rendered(card, w, h, false));

    // Dragging back to where the kept picture was restores its pixels.
    const float panX = card.slots[1].panX, panY = card.slots[1].panY;
    card.slots[1].panX = 0.0f;
    preview.Frame(card, w, h);
    card.slots[1].panX = panX;
    card.slots[1].panY = panY;
    EXPECT_EQ(Packed(preview.Frame(card, w, h)), Rendered(card, w, h, false));
  }
}

TEST(CardPreview, NoticesEveryChangeWithoutBeingTold) {
  std::mt19937 rng(3);
  Card card = RandomCard(60, 40, rng);
  engine::CardPreview preview;
  Finish(preview, card, 45, 30);

  // A new photo in a slot, the same size as before.
  card.slots[0].TakePhoto(NoisyPhoto(card.slots[0].photoWidth, card.slots[0].photoHeight, rng));
  EXPECT_FALSE(preview.FullQualityReady(card, 45, 30));
  const Picture frame = Packed(preview.Frame(card, 45, 30));
  EXPECT_NE(frame, Rendered(card, 45, 30, false));
  Finish(preview, card, 45, 30);
  EXPECT_EQ(Packed(preview.Frame(card, 45, 30)), Rendered(card, 45, 30, false));

  // Another size, then another template: all in draft until the steps run.
  EXPECT_EQ(Packed(preview.Frame(card, 50, 33)), Rendered(card, 50, 33, true));
  Card other = RandomCard(30, 20, rng);
  EXPECT_EQ(Packed(preview.Frame(other, 50, 33)), Rendered(other, 50, 33, true));

  // A full-quality picture that arrives for an earlier state of the card is
  // still used for the slots that did not change since.
  engine::CardPreview late;
  const float panX = card.slots[0].panX, panY = card.slots[0].panY;
  auto move = [&](bool moved) {
    card.slots[0].panX = moved ? 1 - panX : panX;
    card.slots[0].panY = moved ? 1 - panY : panY;
  };
  const Picture full = Rendered(card, 45, 30, false);
  move(true);
  const Picture draft = Rendered(card, 45, 30, true);
  EXPECT_EQ(Packed(late.Frame(card, 45, 30)), draft);
  move(false);
  Finish(late, card, 45, 30);
  move(true);
  const Picture mixed = Packed(late.Frame(card, 45, 30));
  EXPECT_NE(mixed, draft);
  for (int32_t y = 0; y < 30; ++y) {
    for (int32_t x = 0; x < 45; ++x) {
      const Picture& expected = Owner(card, 45, 30, x, y) == 0 ? draft : full;
      ASSERT_EQ(0, std::memcmp(mixed.At(x, y), expected.At(x, y), 3)) << x << "," << y;
    }
  }
  move(false);

  // The card changes between steps: the work that still applies is kept and
  // the result is the card as it is at the end.
  engine::CardPreview stepped;
  EXPECT_TRUE(stepped.StepFullQuality(card, 45, 30));
  EXPECT_TRUE(stepped.StepFullQuality(card, 45, 30));
  card.slots[2].panX = 0.0f;
  card.slots[2].panY = 1.0f;
  Finish(stepped, card, 45, 30);
  EXPECT_EQ(Packed(stepped.Frame(card, 45, 30)), Rendered(card, 45, 30, false));

  // No template: white paper, in both qualities.
  Card blank;
  EXPECT_EQ(Packed(stepped.Frame(blank, 7, 3)), Rendered(blank, 7, 3, true));
  Finish(stepped, blank, 7, 3);
  EXPECT_EQ(Packed(stepped.Frame(blank, 7, 3)), Rendered(blank, 7, 3, false));
  EXPECT_EQ(stepped.Frame(blank, 0, 3).pixels, nullptr);
  EXPECT_FALSE(stepped.StepFullQuality(blank, 0, 3));
}

// With a small budget the photos are resampled a few rows per step; a card
// changed between steps drops only the band work of the slot that changed.
TEST(CardPreview, BandedStepsGiveTheSameBytes) {
  std::mt19937 rng(5);
  Card card = RandomCard(60, 40, rng);
  engine::CardPreview preview;
  preview.SetStepBudget(200);
  int steps = 0;
  while (preview.StepFullQuality(card, 50, 31)) {
    if (++steps == 7) card.slots[0].panX = 1 - card.slots[0].panX;
    ASSERT_LT(steps, 2000);
  }
  EXPECT_GT(steps, 20);
  EXPECT_EQ(Packed(preview.Frame(card, 50, 31)), Rendered(card, 50, 31, false));
}

TEST(CardPreview, AnUnchangedCardGivesTheSamePictureWithoutWork) {
  std::mt19937 rng(4);
  Card card = RandomCard(60, 40, rng);
  engine::CardPreview preview;
  const RasterView first = preview.Frame(card, 30, 20);
  const Picture before = Packed(first);
  const RasterView again = preview.Frame(card, 30, 20);
  EXPECT_EQ(again.pixels, first.pixels);
  EXPECT_EQ(Packed(again), before);
  EXPECT_EQ(again.stride, int32_t(engine::CardImageStride(30)));
}

}  // namespace
