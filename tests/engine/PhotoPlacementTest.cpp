#include "engine/PhotoPlacement.h"

#include <gtest/gtest.h>

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
  engine::Rect card{0, 0, 900, 600};  // natural size: one screen pixel per template pixel
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

TEST(LoadPhotoIntoSlot, SwapsInTheDecodedPhotoAndKeepsThePan) {
  enginetest::FakeImageReader reader;
  reader.AddPicture(
      "a.jpg", 4, 3, engine::PixelFormat::Rgb24,
      [](uint32_t x, uint32_t y, uint8_t* p) { p[0] = p[1] = p[2] = uint8_t(x + y); });
  reader.AddUnreadable("gone.jpg");
  engine::SlotList slots(2);
  slots[1].panX = 0.125f;
  EXPECT_TRUE(engine::LoadPhotoIntoSlot(slots, 1, "a.jpg", reader));
  EXPECT_EQ(slots[1].photoWidth, 4u);
  EXPECT_EQ(slots[1].photoHeight, 3u);
  EXPECT_EQ(slots[1].photoPixels[3 * 5], 2);
  EXPECT_EQ(slots[1].panX, 0.125f);

  const uint8_t* before = slots[1].photoPixels.get();
  EXPECT_FALSE(engine::LoadPhotoIntoSlot(slots, 1, "notes.txt", reader));
  EXPECT_FALSE(engine::LoadPhotoIntoSlot(slots, 1, "gone.jpg", reader));
  EXPECT_FALSE(engine::LoadPhotoIntoSlot(slots, 2, "a.jpg", reader));
  EXPECT_EQ(slots[1].photoPixels.get(), before);
  EXPECT_EQ(slots[1].photoWidth, 4u);
}

}  // namespace
