#include "engine/card/PhotoPlacement.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <limits>

#include "FakeImageReader.h"

namespace {

using engine::PhotoSlot;

PhotoSlot SlotWithPhoto(int l, int t, int r, int b, uint32_t pw, uint32_t ph) {
  PhotoSlot s;
  s.left = l, s.top = t, s.right = r, s.bottom = b;
  s.photoWidth = pw;
  s.photoHeight = ph;
  s.photoPixels.reset(new uint8_t[size_t(pw) * ph * 3]());
  return s;
}

TEST(CoverSize, ScalesTheWholePhotoToCoverTheBox) {
  auto wide = engine::CoverSize(430, 280, 1600, 1200);
  EXPECT_EQ(wide.scaledWidth, 430u);
  EXPECT_EQ(wide.scaledHeight, 322u);
  auto tall = engine::CoverSize(100, 300, 400, 400);
  EXPECT_EQ(tall.scaledWidth, 300u);
  EXPECT_EQ(tall.scaledHeight, 300u);
  // Products beyond 32 bits are not wrapped.
  auto huge = engine::CoverSize(60000, 50000, 100000, 90000);
  EXPECT_EQ(huge.scaledHeight, 54000u);
}

TEST(ComputeCrop, KeepsOneAxisWholeAndCentresAtMidPan) {
  PhotoSlot s = SlotWithPhoto(458, 12, 888, 292, 1600, 1200);
  auto c = engine::ComputeCrop(s);
  EXPECT_EQ(c.cropWidth, 1600u);
  EXPECT_EQ(c.cropHeight, 1041u);
  EXPECT_EQ(c.cropX, 0);
  EXPECT_EQ(c.cropY, 79);  // 600 - 520.5 truncated

  PhotoSlot small = SlotWithPhoto(0, 0, 400, 200, 100, 100);
  c = engine::ComputeCrop(small);
  EXPECT_EQ(c.cropWidth, 100u);
  EXPECT_EQ(c.cropHeight, 50u);
  EXPECT_EQ(c.cropY, 25);
}

TEST(ComputeCrop, ClampsAnyStoredPanIntoThePhoto) {
  PhotoSlot s = SlotWithPhoto(0, 0, 430, 280, 1600, 1200);
  s.panY = 0.0f;
  EXPECT_EQ(engine::ComputeCrop(s).cropY, 0);
  s.panY = 1.0f;
  EXPECT_EQ(engine::ComputeCrop(s).cropY, 1200 - 1041);
  s.panY = 1e30f;
  EXPECT_EQ(engine::ComputeCrop(s).cropY, 1200 - 1041);
  s.panY = -1e30f;
  EXPECT_EQ(engine::ComputeCrop(s).cropY, 0);
  s.panY = std::numeric_limits<float>::quiet_NaN();
  EXPECT_EQ(engine::ComputeCrop(s).cropY, 0);
}

TEST(ComputeCrop, AVeryNarrowBoxStillGetsOnePixel) {
  // 1 x 1200 photo proportions far wider than a 1 x 2000 box: the crop would be 0 wide.
  PhotoSlot s = SlotWithPhoto(0, 0, 1, 2000, 1600, 1200);
  auto c = engine::ComputeCrop(s);
  EXPECT_EQ(c.cropWidth, 1u);
  EXPECT_EQ(c.cropHeight, 1200u);
  EXPECT_EQ(c.cropX, 800);  // the column an empty crop at pan 0.5 would repeat
  s.panX = 1.0f;
  EXPECT_EQ(engine::ComputeCrop(s).cropX, 1599);  // not 1600, past the photo
}

struct DragFixture : ::testing::Test {
  engine::SlotList slots;
  engine::DragState drag;
  geometry::Rect card{0, 0, 900, 600};  // natural size: one screen pixel per template pixel
  void SetUp() override {
    slots.push_back(SlotWithPhoto(458, 12, 888, 292, 1600, 1200));  // cover 430 x 322
    drag.dragSlot = 0;
    drag.dragStartX = 500;
    drag.dragStartY = 100;
    drag.dragStartPanX = slots[0].panX;
    drag.dragStartPanY = slots[0].panY;
  }
  void Move(int x, int y) { engine::DragPan(slots, drag, card, 900, 600, x, y); }
};

TEST_F(DragFixture, FollowsThePointerAndStaysWithinTheCover) {
  Move(500, 90);  // up by 10 template pixels: the crop moves down the photo
  EXPECT_FLOAT_EQ(slots[0].panY, 0.5f + 10.0f / 322.0f);
  EXPECT_EQ(slots[0].panX, 0.5f);  // the cover equals the box horizontally
  Move(900, 100);
  EXPECT_EQ(slots[0].panX, 0.5f);
  EXPECT_EQ(slots[0].panY, 0.5f);
}

TEST_F(DragFixture, ClampsFarMovesAndDoesNotAccumulate) {
  const float lowest = float(140.0 / 322.0);
  const float highest = float(1 - 140.0 / 322.0);
  Move(500, 30000);  // far past the window's edge
  EXPECT_EQ(slots[0].panY, lowest);
  Move(500, 122);  // still beyond the limit, reached at 21 px: stays put
  EXPECT_EQ(slots[0].panY, lowest);
  Move(500, 110);  // back inside: follows from the press, not from the clamp
  EXPECT_FLOAT_EQ(slots[0].panY, 0.5f - 10.0f / 322.0f);
  Move(500, -30000);
  EXPECT_EQ(slots[0].panY, highest);
}

TEST_F(DragFixture, HalfSizeCardDoublesTheMovement) {
  card = {10, 20, 460, 320};
  Move(500, 95);  // 5 screen pixels = 10 template pixels
  EXPECT_FLOAT_EQ(slots[0].panY, 0.5f + 10.0f / 322.0f);
}

TEST_F(DragFixture, IgnoresMovesWithoutACardOrPhoto) {
  card = {0, 0, 0, 0};
  Move(0, 0);
  EXPECT_EQ(slots[0].panY, 0.5f);
  card = {0, 0, 900, 600};
  slots[0].photoPixels.reset();
  Move(0, 0);
  EXPECT_EQ(slots[0].panY, 0.5f);
  drag.dragSlot = 7;
  Move(0, 0);
}

// The crop and the drag as they were before photos could be zoomed: at zoom 1
// every result must stay exactly this.
engine::Crop CropBeforeZoom(const PhotoSlot& s) {
  const uint64_t bw = uint64_t(s.BoxWidth()), bh = uint64_t(s.BoxHeight());
  const uint64_t pw = s.photoWidth, ph = s.photoHeight;
  uint64_t rw = pw, rh = ph;
  if (bw * ph < bh * pw) {
    rw = bw * ph / bh;
  } else {
    rh = bh * pw / bw;
  }
  auto origin = [](float pan, uint64_t size, uint64_t rule, uint64_t shown) {
    const double v = double(pan) * double(size) - double(rule) * 0.5;
    int64_t o = !(v == v) ? 0 : v <= -2147483648.0 ? INT32_MIN : v >= 2147483647.0 ? INT32_MAX
                                                                                   : int32_t(v);
    if (o < 0) {
      o = 0;
    } else if (o > int64_t(size - shown)) {
      o = int64_t(size - shown);
    }
    return int32_t(o);
  };
  const uint64_t sw = rw ? rw : 1, sh = rh ? rh : 1;
  return {origin(s.panX, pw, rw, sw), origin(s.panY, ph, rh, sh), uint32_t(sw), uint32_t(sh)};
}

void DragPanBeforeZoom(PhotoSlot& s, const engine::DragState& d, const geometry::Rect& card,
                       uint32_t tw, uint32_t th, int32_t x, int32_t y) {
  const float scaleX = float(double(card.Width()) / tw);
  const float scaleY = float(double(card.Height()) / th);
  const auto cover = engine::CoverSize(s.BoxWidth(), s.BoxHeight(), s.photoWidth, s.photoHeight);
  auto clamp = [](float pan, double half) {
    return pan < half ? float(half) : pan > 1 - half ? float(1 - half) : pan;
  };
  s.panX = clamp(float(double(d.dragStartPanX) -
                       (double(x - d.dragStartX) / double(scaleX)) / cover.scaledWidth),
                 s.BoxWidth() * 0.5 / cover.scaledWidth);
  s.panY = clamp(float(double(d.dragStartPanY) -
                       (double(y - d.dragStartY) / double(scaleY)) / cover.scaledHeight),
                 s.BoxHeight() * 0.5 / cover.scaledHeight);
}

bool SameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Only sizes matter to the crop and the drag: one shared byte stands for any photo.
PhotoSlot SizedSlot(int w, int h, uint32_t pw, uint32_t ph) {
  static const std::shared_ptr<const uint8_t[]> pixels(new uint8_t[1]());
  PhotoSlot s;
  s.left = 3, s.top = 5, s.right = 3 + w, s.bottom = 5 + h;
  s.photoWidth = pw, s.photoHeight = ph;
  s.photoPixels = pixels;
  return s;
}

TEST(Zoom, AtOneCropsAndDragPansAreExactlyAsBefore) {
  const int boxes[][2] = {{1, 1}, {1, 2000}, {2000, 1}, {430, 280}, {280, 430},
                          {483, 280}, {256, 256}, {7, 3}, {411, 298}, {60000, 50000}};
  const uint32_t photos[][2] = {{1, 1}, {100, 100}, {1600, 1200}, {1200, 1600}, {2560, 1600},
                                {37, 23}, {1, 5000}, {5000, 1}, {100000, 90000}, {4000, 3000}};
  const float pans[] = {0.0f, 0.1f, 0.4348f, 0.5f, 0.77f, 1.0f, -3.0f, 5.0f,
                        std::numeric_limits<float>::quiet_NaN()};
  const geometry::Rect cards[] = {{0, 0, 900, 600}, {10, 20, 460, 320}, {-7, 3, 1227, 780}};
  const int moves[] = {-5000, -37, -1, 0, 1, 13, 999};
  int checked = 0;
  for (const auto& box : boxes) {
    for (const auto& photo : photos) {
      for (float pan : pans) {
        PhotoSlot s = SizedSlot(box[0], box[1], photo[0], photo[1]);
        s.panX = pan;
        s.panY = 1.0f - pan;
        const engine::Crop got = engine::ComputeCrop(s), want = CropBeforeZoom(s);
        ASSERT_EQ(got.cropX, want.cropX);
        ASSERT_EQ(got.cropY, want.cropY);
        ASSERT_EQ(got.cropWidth, want.cropWidth);
        ASSERT_EQ(got.cropHeight, want.cropHeight);
        for (const geometry::Rect& card : cards) {
          for (int m : moves) {
            engine::SlotList slots{s};
            PhotoSlot before = s;
            const engine::DragState d{0, 400, 300, pan, 0.5f};
            engine::DragPan(slots, d, card, 900, 600, 400 + m, 300 - m / 2);
            DragPanBeforeZoom(before, d, card, 900, 600, 400 + m, 300 - m / 2);
            ASSERT_TRUE(SameBits(slots[0].panX, before.panX) && SameBits(slots[0].panY, before.panY))
                << box[0] << "x" << box[1] << " " << photo[0] << "x" << photo[1] << " move " << m;
            ++checked;
          }
        }
      }
    }
  }
  EXPECT_EQ(checked, 10 * 10 * 9 * 3 * 7);
}

TEST(Zoom, ShrinksTheCropByTheZoomInsideThePhoto) {
  for (float zoom : {1.25f, 2.0f, 3.7f, 8.0f}) {
    for (float pan : {0.0f, 0.3f, 0.5f, 0.9f, 1.0f}) {
      PhotoSlot s = SizedSlot(430, 280, 1600, 1200);  // cover crop 1600 x 1041
      s.zoom = zoom;
      s.panX = pan;
      s.panY = 1 - pan;
      const engine::Crop c = engine::ComputeCrop(s);
      EXPECT_EQ(c.cropWidth, uint32_t(1600 / double(zoom)));
      EXPECT_EQ(c.cropHeight, uint32_t(1041 / double(zoom)));
      EXPECT_GE(c.cropX, 0);
      EXPECT_GE(c.cropY, 0);
      EXPECT_LE(c.cropX + c.cropWidth, 1600u);
      EXPECT_LE(c.cropY + c.cropHeight, 1200u);
      if (pan == 0.5f) {
        EXPECT_NEAR(c.cropX + c.cropWidth * 0.5, 800, 1);
      }
    }
  }
  // Stored zooms outside 1 to 8 are read as the nearest limit; one pixel at least.
  PhotoSlot s = SizedSlot(430, 280, 1600, 1200);
  const auto crop = [&](float zoom) {
    s.zoom = zoom;
    return engine::ComputeCrop(s).cropWidth;
  };
  EXPECT_EQ(crop(0.5f), 1600u);
  EXPECT_EQ(crop(std::numeric_limits<float>::quiet_NaN()), 1600u);
  EXPECT_EQ(crop(100.0f), 200u);
  s = SizedSlot(1, 2000, 1600, 1200);
  EXPECT_EQ(crop(8.0f), 1u);
  EXPECT_EQ(engine::ComputeCrop(s).cropHeight, 150u);
}

TEST_F(DragFixture, AtZoomThePhotoFollowsThePointerOneToOneAndReachesEveryEdge) {
  for (const geometry::Rect& shown : {geometry::Rect{0, 0, 900, 600}, geometry::Rect{10, 20, 460, 320}}) {
    card = shown;
    const double perPixel = 900.0 / shown.Width();  // template pixels per screen pixel
    slots[0].zoom = 2.0f;  // crop 800 x 520 photo pixels shown in a 430 x 280 box
    const engine::Crop start = engine::ComputeCrop(slots[0]);
    for (int d : {-40, -7, 3, 25}) {
      Move(500 + d, 100 + d);
      const engine::Crop c = engine::ComputeCrop(slots[0]);
      // The picture slides with the pointer at the zoomed cover scale (430
      // x 322 times 2): the crop moves the other way.
      EXPECT_NEAR(c.cropX, start.cropX - d * perPixel * 1600 / 860.0, 1.0);
      EXPECT_NEAR(c.cropY, start.cropY - d * perPixel * 1200 / 644.0, 1.0);
    }
    // The cover size is truncated (322 for 322.5), so the limits fall a
    // fraction of a pixel short of the edges, as they do at zoom 1.
    Move(-30000, -30000);
    EXPECT_EQ(engine::ComputeCrop(slots[0]).cropX, 1600 - 800);
    EXPECT_NEAR(engine::ComputeCrop(slots[0]).cropY, 1200 - 520, 1);
    Move(30000, 30000);
    EXPECT_EQ(engine::ComputeCrop(slots[0]).cropX, 0);
    EXPECT_EQ(engine::ComputeCrop(slots[0]).cropY, 0);
    slots[0].panX = slots[0].panY = 0.5f;
  }
}

}  // namespace
