#include "engine/card/SlotEditing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "engine/card/PhotoPlacement.h"

namespace {

using engine::PhotoSlot;

PhotoSlot Filled(int l, int t, int r, int b, uint32_t pw, uint32_t ph) {
  PhotoSlot s;
  s.left = l, s.top = t, s.right = r, s.bottom = b;
  s.photoWidth = pw, s.photoHeight = ph;
  s.photoPixels.reset(new uint8_t[1]());  // only the sizes are read
  return s;
}

// The photo point (in photo pixels) shown at template point (x, y) of the slot's box.
void PhotoPointAt(const PhotoSlot& s, double x, double y, double* px, double* py) {
  const engine::Crop c = engine::ComputeCrop(s);
  *px = c.cropX + (x - s.left) * c.cropWidth / s.BoxWidth();
  *py = c.cropY + (y - s.top) * c.cropHeight / s.BoxHeight();
}

TEST(ZoomSlotAt, KeepsThePhotoPointUnderThePointWithinAPixel) {
  std::mt19937 random(7);
  auto uniform = [&](double lo, double hi) {
    return std::uniform_real_distribution<double>(lo, hi)(random);
  };
  int fixed = 0;
  for (int i = 0; i < 4000; ++i) {
    const int w = 1 + int(uniform(0, 600)), h = 1 + int(uniform(0, 600));
    engine::SlotList slots{Filled(10, 20, 10 + w, 20 + h, 1 + uint32_t(uniform(0, 5000)),
                                  1 + uint32_t(uniform(0, 5000)))};
    PhotoSlot& s = slots[0];
    s.zoom = float(uniform(1, 8));
    s.panX = float(uniform(-0.2, 1.2));
    s.panY = float(uniform(-0.2, 1.2));
    const double x = uniform(10, 10 + w), y = uniform(20, 20 + h);
    double bx, by, ax, ay;
    PhotoPointAt(s, x, y, &bx, &by);
    const float zoom = float(uniform(1, 8));
    const bool zoomingIn = zoom > s.zoom;
    ASSERT_TRUE(engine::ZoomSlotAt(slots, 0, zoom, x, y));
    EXPECT_EQ(s.zoom, zoom);
    PhotoPointAt(s, x, y, &ax, &ay);
    const engine::Crop c = engine::ComputeCrop(s);
    ASSERT_GE(c.cropX, 0);
    ASSERT_LE(c.cropX + c.cropWidth, s.photoWidth);
    // Within a pixel as seen: one photo pixel, or one template pixel where a
    // photo pixel is smaller (the drag's limits, which a zoom keeps the pan
    // in, are a fraction of a template pixel inside the photo's edges).
    const double toleranceX = std::max(1.0, double(c.cropWidth) / w);
    const double toleranceY = std::max(1.0, double(c.cropHeight) / h);
    // Zooming in never meets those limits; zooming out may, and then the
    // photo is pulled in instead.
    const double marginX = toleranceX + 1, marginY = toleranceY + 1;
    const bool freeX = c.cropX > marginX && c.cropX + c.cropWidth + marginX < s.photoWidth;
    const bool freeY = c.cropY > marginY && c.cropY + c.cropHeight + marginY < s.photoHeight;
    if (zoomingIn || freeX) {
      EXPECT_LE(std::abs(ax - bx), toleranceX) << i;
    }
    if (zoomingIn || freeY) {
      EXPECT_LE(std::abs(ay - by), toleranceY) << i;
    }
    fixed += (zoomingIn || freeX) + (zoomingIn || freeY);
  }
  EXPECT_GT(fixed, 6000);
}

TEST(ZoomSlotAt, ALongWheelGestureDoesNotDrift) {
  engine::SlotList slots{Filled(458, 12, 888, 292, 4000, 3000)};
  const geometry::Rect card{0, 0, 450, 300};  // half size
  double x0, y0;
  PhotoPointAt(slots[0], 600 + 0.5 * 2, 100 + 0.5 * 2, &x0, &y0);  // screen (300, 50)
  for (int delta : {120, 120, 30, 90, 120, 120, -120, 120, -60, -60, 120, 120}) {
    ASSERT_TRUE(engine::WheelZoomSlot(slots, 0, delta, card, 900, 600, 300, 50));
    double x, y;
    PhotoPointAt(slots[0], 601, 101, &x, &y);
    EXPECT_LE(std::abs(x - x0), 1.0);
    EXPECT_LE(std::abs(y - y0), 1.0);
  }
  EXPECT_NEAR(slots[0].zoom, std::pow(1.25, 6), 1e-5);
}

TEST(ZoomAfterWheel, NotchesMultiplyBy1Point25AndClamp) {
  EXPECT_EQ(engine::ZoomAfterWheel(1.0f, 120), 1.25f);
  EXPECT_EQ(engine::ZoomAfterWheel(1.25f, 120), 1.5625f);
  EXPECT_EQ(engine::ZoomAfterWheel(1.5625f, -120), 1.25f);
  EXPECT_FLOAT_EQ(engine::ZoomAfterWheel(1.0f, 60), std::sqrt(1.25f));  // half a notch
  EXPECT_FLOAT_EQ(engine::ZoomAfterWheel(2.0f, 480), 2.0f * 1.25f * 1.25f * 1.25f * 1.25f);
  EXPECT_EQ(engine::ZoomAfterWheel(7.9f, 120), 8.0f);
  EXPECT_EQ(engine::ZoomAfterWheel(1.1f, -120), 1.0f);
  EXPECT_EQ(engine::ZoomAfterWheel(std::nanf(""), 120), 1.25f);
  EXPECT_EQ(engine::ZoomAfterWheel(2.0f, INT32_MAX), 8.0f);
  EXPECT_EQ(engine::ZoomAfterWheel(2.0f, INT32_MIN), 1.0f);
  // All the way in and back out by smooth-scrolling steps lands on exactly 1.
  float zoom = 1.0f;
  for (int i = 0; i < 37; ++i) zoom = engine::ZoomAfterWheel(zoom, 29);
  for (int i = 0; i < 37; ++i) zoom = engine::ZoomAfterWheel(zoom, -29);
  EXPECT_EQ(zoom, 1.0f);
}

TEST(SlotEditing, KeysZoomAboutTheCentreResetAndRemove) {
  engine::SlotList slots{Filled(0, 0, 430, 280, 1600, 1200), PhotoSlot{}};
  PhotoSlot& s = slots[0];
  s.panX = 0.3f;
  double cx, cy;
  PhotoPointAt(s, 215, 140, &cx, &cy);
  ASSERT_TRUE(engine::StepZoomSlot(slots, 0, 3));
  EXPECT_EQ(s.zoom, 1.953125f);
  double x, y;
  PhotoPointAt(s, 215, 140, &x, &y);
  EXPECT_LE(std::abs(x - cx), 1.0);
  EXPECT_LE(std::abs(y - cy), 1.0);
  EXPECT_TRUE(engine::StepZoomSlot(slots, 0, -1));
  EXPECT_EQ(s.zoom, 1.5625f);

  // Arrows move the photo as a drag would: at natural size one pixel
  // is 1 / (430 x 1.5625) of the photo's width.
  const float before = s.panX;
  EXPECT_TRUE(engine::NudgePan(slots, 0, {0, 0, 900, 600}, 900, 600, -1, 0));
  EXPECT_FLOAT_EQ(s.panX, before + 1.0f / (430.0f * 1.5625f));

  EXPECT_TRUE(engine::CanResetPanAndZoom(s));
  EXPECT_TRUE(engine::ResetPanAndZoom(slots, 0));
  EXPECT_FALSE(engine::CanResetPanAndZoom(s));
  EXPECT_FALSE(engine::ResetPanAndZoom(slots, 0));
  EXPECT_EQ(s.panX, 0.5f);
  EXPECT_EQ(s.zoom, 1.0f);

  s.zoom = 3.0f;
  s.panY = 0.1f;
  std::weak_ptr<const uint8_t[]> photo = s.photoPixels;
  EXPECT_TRUE(engine::RemovePhoto(slots, 0));
  EXPECT_TRUE(photo.expired());
  EXPECT_FALSE(s.HasPhoto());
  EXPECT_EQ(s.photoWidth, 0u);
  EXPECT_EQ(s.panY, 0.5f);
  EXPECT_EQ(s.zoom, 1.0f);

  // Nothing to zoom, move or remove in an empty slot, a hidden one, or past the list.
  for (size_t index : {size_t(0), size_t(1), size_t(2), size_t(-1)}) {
    EXPECT_FALSE(engine::StepZoomSlot(slots, index, 1));
    EXPECT_FALSE(engine::WheelZoomSlot(slots, index, 120, {0, 0, 900, 600}, 900, 600, 5, 5));
    EXPECT_FALSE(engine::NudgePan(slots, index, {0, 0, 900, 600}, 900, 600, 1, 1));
    EXPECT_FALSE(engine::RemovePhoto(slots, index));
  }
  slots[1] = Filled(0, 0, 0, 0, 10, 10);  // a hidden slot with a photo
  EXPECT_FALSE(engine::StepZoomSlot(slots, 1, 1));
  EXPECT_TRUE(engine::RemovePhoto(slots, 1));
  // No card on screen: no zoom about the pointer.
  slots[0] = Filled(0, 0, 430, 280, 1600, 1200);
  EXPECT_FALSE(engine::WheelZoomSlot(slots, 0, 120, {0, 0, 0, 0}, 900, 600, 5, 5));
  // At the limit the wheel changes nothing.
  slots[0].zoom = 8.0f;
  EXPECT_FALSE(engine::WheelZoomSlot(slots, 0, 120, {0, 0, 900, 600}, 900, 600, 5, 5));
}

}  // namespace
