#include <gtest/gtest.h>

#include "tests/interaction/InteractionHarness.h"

using namespace itest;

namespace {

// Every client point of the card and a margin round it against the model.
void ExpectModelEverywhere(Harness& h) {
  const Rect r = h.CardRect();
  int mismatches = 0;
  for (int32_t y = r.top - 2; y < r.bottom + 2; ++y)
    for (int32_t x = r.left - 2; x < r.right + 2; ++x) {
      const int32_t want = cardfiles::ExpectedSlot(h.Card(), r, x, y);
      const int32_t got = h.wnd->Gestures().HitTest(Point{x, y});
      if (got != want && ++mismatches <= 5)
        ADD_FAILURE() << "at " << x << ", " << y << ": " << got << " instead of " << want;
    }
  EXPECT_EQ(mismatches, 0);
}

}  // namespace

TEST(HitTest, BuiltInRegionsAtNaturalAndReducedSize) {
  Harness h;
  ASSERT_EQ(h.CardRect(), (Rect{0, 0, 900, 600}));
  // Template 0's regions in slot order: red, green, blue, magenta, cyan.
  EXPECT_EQ(h.wnd->Gestures().HitTest(Point{673, 152}), 0);
  EXPECT_EQ(h.wnd->Gestures().HitTest(Point{227, 152}), 1);
  EXPECT_EQ(h.wnd->Gestures().HitTest(Point{227, 448}), 2);
  EXPECT_EQ(h.wnd->Gestures().HitTest(Point{673, 448}), 3);
  EXPECT_EQ(h.wnd->Gestures().HitTest(Point{450, 300}), 4);
  EXPECT_EQ(h.wnd->Gestures().HitTest(Point{4, 4}), -1);
  EXPECT_EQ(h.wnd->Gestures().HitTest(Point{930, 100}), -1);  // toolbar column
  EXPECT_EQ(h.wnd->Gestures().HitTest(Point{-1, 300}), -1);
  ExpectModelEverywhere(h);

  // 632 x 421 inside a 700 x 500 client: the mapping truncates unevenly.
  h.window->Resize(700, 500);
  ASSERT_EQ(h.CardRect(), (Rect{0, 29, 632, 450}));
  ExpectModelEverywhere(h);
}

TEST(HitTest, RightAndBottomEdgesAreOutsideLeftAndTopInside) {
  Harness h(1200, 800);
  Rgba map(900, 600), overlay(900, 600);
  map.Fill(0, 0, 900, 600, 255, 0, 0);  // one region over the whole card
  h.Install(map, overlay);
  const Rect r = h.CardRect();
  ASSERT_EQ(r, (Rect{0, 13, 1132, 767}));
  EXPECT_EQ(h.wnd->Gestures().HitTest(Point{r.left, r.top}), 0);
  EXPECT_EQ(h.wnd->Gestures().HitTest(Point{r.right - 1, r.bottom - 1}), 0);
  EXPECT_EQ(h.wnd->Gestures().HitTest(Point{r.right, r.top}), -1);
  EXPECT_EQ(h.wnd->Gestures().HitTest(Point{r.left, r.bottom}), -1);
  EXPECT_EQ(h.wnd->Gestures().HitTest(Point{r.right, r.bottom}), -1);
  EXPECT_EQ(h.wnd->Gestures().HitTest(Point{r.left - 1, r.top}), -1);
  EXPECT_EQ(h.wnd->Gestures().HitTest(Point{r.left, r.top - 1}), -1);
  EXPECT_EQ(h.wnd->Gestures().HitTest(Point{-32768, -32768}), -1);
}

TEST(HitTest, HalfSizeMapsTheSecondClientPixelToTemplatePixelTwo) {
  // Single-pixel regions round template pixel (2, 2).
  Rgba map(900, 600), overlay(900, 600);
  map.Set(1, 1, 0, 255, 0);  // slot 1
  map.Set(2, 2, 0, 0, 255);  // slot 2
  map.Set(3, 3, 255, 0, 0);  // slot 0
  map.Set(4, 4, 255, 0, 255);  // slot 3
  for (const Size client : {Size{600, 320}, Size{518, 340}}) {
    Harness h(client.width, client.height);
    h.Install(map, overlay);
    const Rect r = h.CardRect();
    ASSERT_EQ(r.Width(), 450);
    ASSERT_EQ(r.Height(), 300);
    ASSERT_TRUE(r.left > 0 || r.top > 0);
    EXPECT_EQ(h.wnd->Gestures().HitTest(Point{r.left + 1, r.top + 1}), 2) << r.left << ", " << r.top;
    EXPECT_EQ(h.wnd->Gestures().HitTest(Point{r.left + 2, r.top + 2}), 3);
    EXPECT_EQ(h.wnd->Gestures().HitTest(Point{r.left, r.top}), -1);
    EXPECT_EQ(h.wnd->Gestures().HitTest(Point{r.left + 1, r.top}), -1);
    EXPECT_EQ(h.wnd->Gestures().HitTest(Point{r.left, r.top + 1}), -1);
  }
}

TEST(HitTest, KeyMatchIgnoresTheLowThreeBitsButNotTheFourth) {
  Harness h;
  Rgba map(900, 600), overlay(900, 600);
  map.Fill(100, 100, 300, 300, 255, 0, 0);  // key 0x0000F8
  map.Set(150, 150, 250, 3, 4, 200);        // same key
  map.Set(170, 170, 247, 0, 0);             // key 0x0000F0: a slot of its own, sorted first
  h.Install(map, overlay);
  ASSERT_EQ(h.Card().slots[0].keyColour, 0x0000F0u);
  ASSERT_EQ(h.Card().slots[1].keyColour, 0x0000F8u);
  EXPECT_EQ(h.wnd->Gestures().HitTest(Point{150, 150}), 1);
  EXPECT_EQ(h.wnd->Gestures().HitTest(Point{151, 150}), 1);
  EXPECT_EQ(h.wnd->Gestures().HitTest(Point{170, 170}), 0);
  EXPECT_EQ(h.wnd->Gestures().HitTest(Point{99, 150}), -1);
  EXPECT_EQ(h.wnd->Gestures().HitTest(Point{300, 150}), -1);
}

TEST(HitTest, AlphaOfTheRegionMapPixelPlaysNoPart) {
  Harness h;
  Rgba map(900, 600), overlay(900, 600);
  map.Fill(100, 100, 300, 300, 255, 0, 0);
  map.Set(160, 160, 255, 0, 0, 0);  // transparent, but in the box and of the key's colour
  map.Set(161, 160, 0, 0, 0, 0);    // transparent black: no region
  h.Install(map, overlay);
  EXPECT_EQ(h.wnd->Gestures().HitTest(Point{160, 160}), 0);
  EXPECT_EQ(h.wnd->Gestures().HitTest(Point{161, 160}), -1);
}

TEST(HitTest, FrameInsideABoxHitsNothing) {
  Harness h;
  const engine::CardTemplate& t = h.Card().cardTemplate;
  const engine::PhotoSlot& red = h.Card().slots[0];
  // A point of template 0's frame inside the red box: the region map is
  // clear there and the overlay is not.
  ClientPoint frame;
  for (int32_t y = red.top; y < red.bottom && frame.x < 0; ++y)
    for (int32_t x = red.left; x < red.right; ++x) {
      const size_t i = (size_t(y) * t.width + size_t(x)) * 4;
      if (t.regionMap[i + 3] == 0 && t.overlay[i + 3] > 128 &&
          cardfiles::ExpectedSlot(h.Card(), h.CardRect(), x, y) == -1) {
        frame = ClientPoint{x, y};
        break;
      }
    }
  ASSERT_GE(frame.x, 0) << "template 0 has no frame inside its red box";
  EXPECT_EQ(h.Hit(frame), -1);

  h.Move(h.In(0));
  ASSERT_EQ(h.wnd->View().HintText(), hints::kHintClickToAdd);
  h.Move(frame);
  EXPECT_EQ(h.wnd->View().HintText(), hints::kHintAddMorePhotos);
  EXPECT_EQ(h.window->Cursor(), CursorShape::Arrow);
}

TEST(HitTest, NothingIsHitBeforeTheWindowExists) {
  ScriptedPlatform platform;
  imagefiles::ImageFiles reader;
  app::MainWindow wnd(platform, 96, reader);  // not created
  EXPECT_EQ(wnd.Gestures().HitTest(Point{0, 0}), -1);
  EXPECT_EQ(wnd.Gestures().HitTest(Point{10, 10}), -1);
}
