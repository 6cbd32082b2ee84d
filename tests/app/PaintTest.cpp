#include <gtest/gtest.h>

#include <vector>

#include "engine/compose/CardCompositor.h"
#include "engine/raster/Raster.h"
#include "interaction/HintTexts.h"
#include "tests/app/AppHarness.h"

using namespace apptest;

namespace {

const Colour kFace{240, 240, 240};

// Every pixel of the card rectangle is the draft render of the card at that
// size, bytes as the compositor made them.
void ExpectCardOnScreen(AppHarness& h) {
  const Rect r = h.CardRect();
  const int32_t w = r.Width(), height = r.Height();
  const uint32_t stride = engine::CardImageStride(uint32_t(w));
  std::vector<uint8_t> expected(size_t(stride) * size_t(height));
  engine::RenderCard(h.Card(), w, height, expected.data(), int32_t(stride), true);
  int mismatches = 0;
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < w; ++x) {
      const uint8_t* p = expected.data() + size_t(y) * stride + size_t(x) * 3;
      if (h.window->PixelAt(r.left + x, r.top + y) != Colour{p[0], p[1], p[2]} &&
          ++mismatches < 5)
        ADD_FAILURE() << "pixel " << x << ", " << y;
    }
  EXPECT_EQ(mismatches, 0);
}

}  // namespace

TEST(Painting, CardPixelsAreTheDraftRender) {
  AppHarness h(Config(), 1200, 800);
  ASSERT_TRUE(h.Card().cardTemplate.Installed());
  h.window->Paint();
  ExpectCardOnScreen(h);
  ASSERT_EQ(h.window->images.size(), 1u);
  EXPECT_EQ(h.window->images[0].target, h.CardRect());
  EXPECT_EQ(h.CardRect(), (Rect{0, 13, 1132, 767}));  // as large as the window allows
  EXPECT_EQ(h.window->images[0].stride, int32_t(engine::CardImageStride(1132)));

  h.window->Resize(600, 500);  // reduced: 532 x 354, a stride with padding
  h.window->Paint();
  ExpectCardOnScreen(h);
  // The pale frame of template 0 is not grey, so swapped channels would show.
  const Colour corner = h.window->PixelAt(h.CardRect().left, h.CardRect().top);
  EXPECT_LT(corner.r, corner.b);
}

TEST(Painting, TheBackgroundIsFilledAroundTheCardOnly) {
  AppHarness h(Config(), 1200, 800);
  h.window->Paint();
  const std::vector<DrawnFill>& fills = h.window->fills;
  // The card spans the width it has and is centred in the height.
  ASSERT_EQ(fills.size(), 3u);
  EXPECT_EQ(fills[0].rect, (Rect{0, 0, 1200, 13}));
  EXPECT_EQ(fills[1].rect, (Rect{1132, 13, 1200, 767}));
  EXPECT_EQ(fills[2].rect, (Rect{0, 767, 1200, 800}));
  for (const DrawnFill& f : fills) EXPECT_EQ(f.colour, kFace);
  EXPECT_EQ(h.window->PixelAt(1100, 10), kFace);

  // A card touching the top-left corner leaves only two bands.
  AppHarness tight;
  tight.window->Paint();
  ASSERT_EQ(tight.window->fills.size(), 2u);
  EXPECT_EQ(tight.window->fills[0].rect, (Rect{900, 0, 968, 600}));
  EXPECT_EQ(tight.window->fills[1].rect, (Rect{0, 600, 968, 620}));
}

TEST(Painting, GlassFillsBlackAndDrawsAGlowingHint) {
  AppHarness h(Config(144, true), 1200, 800);
  h.window->Paint();
  for (const DrawnFill& f : h.window->fills) EXPECT_EQ(f.colour, (Colour{0, 0, 0}));
  const Rect hint = h.wnd->View().HintRect();
  EXPECT_EQ(hint, (Rect{0, 770, 1200, 800}));
  ASSERT_EQ(h.window->texts.size(), 1u);
  const DrawnText& t = h.window->texts[0];
  EXPECT_EQ(t.text, interaction::kHintAddMorePhotos);
  EXPECT_TRUE(t.style.glow);
  EXPECT_EQ(t.style.font, TextFont::StatusLine);
  EXPECT_FALSE(t.style.opaque);
  EXPECT_EQ(t.rect, (Rect{3, 773, 1197, 800}));  // inset 3, none at the bottom
}

TEST(Painting, HintWithoutGlassIsOnTheFaceColour) {
  AppHarness h;
  h.window->Paint();
  ASSERT_EQ(h.window->texts.size(), 1u);
  const DrawnText& t = h.window->texts[0];
  EXPECT_FALSE(t.style.glow);
  EXPECT_EQ(t.style.font, TextFont::Gui);
  EXPECT_TRUE(t.style.opaque);
  EXPECT_EQ(t.style.background, kFace);
  EXPECT_EQ(t.rect, (Rect{2, 602, 966, 618}));
  EXPECT_FALSE(t.style.centred);
}

TEST(Painting, OnlyWhatIsAskedForIsDrawn) {
  AppHarness h;
  h.window->Paint();
  h.window->ClearLogs();
  h.window->Paint(h.wnd->View().HintRect());
  EXPECT_TRUE(h.window->images.empty());  // the card is not rendered for the hint
  EXPECT_EQ(h.window->texts.size(), 1u);

  // A paint of a corner of the card copies the whole card.
  h.window->ClearLogs();
  h.window->Paint(Rect{10, 10, 20, 20});
  ASSERT_EQ(h.window->images.size(), 1u);
  EXPECT_EQ(h.window->images[0].width, 900);
  EXPECT_EQ(h.window->images[0].height, 600);
  EXPECT_TRUE(h.window->texts.empty());
}

TEST(Painting, AnEmptyCardRectanglePaintsNoCard) {
  AppHarness h(Config(), 68, 300);  // no width left beside the toolbar column
  EXPECT_EQ(h.CardRect().Width(), 0);
  h.window->Paint();
  EXPECT_TRUE(h.window->images.empty());
}
