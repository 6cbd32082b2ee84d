#include <gtest/gtest.h>

#include <vector>

#include "app/HintTexts.h"
#include "engine/CardCompositor.h"
#include "engine/Raster.h"
#include "tests/app/AppHarness.h"

using namespace apptest;

namespace {

const Colour kButtonFace = RGB(240, 240, 240);

// Every pixel of the card rectangle is the draft render of the card at that
// size, channels in screen order.
void ExpectCardOnScreen(AppHarness& h) {
  const Rect r = h.CardRect();
  const int32_t w = r.Width(), height = r.Height();
  const uint32_t stride = engine::CardImageStride(uint32_t(w));
  std::vector<uint8_t> expected(size_t(stride) * size_t(height));
  engine::RenderCard(h.wnd->GetCard(), w, height, expected.data(), int32_t(stride), true);
  int mismatches = 0;
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < w; ++x) {
      const uint8_t* p = expected.data() + size_t(y) * stride + size_t(x) * 3;
      if (h.window->Pixel(r.left + x, r.top + y) != RGB(p[0], p[1], p[2]) && ++mismatches < 5)
        ADD_FAILURE() << "pixel " << x << ", " << y;
    }
  EXPECT_EQ(mismatches, 0);
}

std::vector<FillRecord> Fills(AppHarness& h) { return h.window->surface.fills; }

}  // namespace

TEST(Painting, CardPixelsAreTheDraftRenderInScreenOrder) {
  AppHarness h(Config(), 1200, 800);
  ASSERT_TRUE(h.wnd->GetCard().cardTemplate.Installed());
  ASSERT_TRUE(h.window->UpdateWindow());
  ExpectCardOnScreen(h);
  ASSERT_EQ(h.window->surface.dibs.size(), 1u);
  EXPECT_EQ(h.window->surface.dibs[0].stride, int32_t(engine::CardImageStride(900)));

  h.window->Resize(600, 500);  // reduced: 532 x 354, a stride with padding
  h.window->UpdateWindow();
  ExpectCardOnScreen(h);
  // The pale frame of template 0 is not grey, so a missed swap would show.
  const Colour corner = h.window->Pixel(h.CardRect().left, h.CardRect().top);
  EXPECT_NE(GetRValue(corner), GetBValue(corner));
}

TEST(Painting, EraseFillsAroundTheCardOnly) {
  AppHarness h(Config(), 1200, 800);
  h.window->UpdateWindow();
  const std::vector<FillRecord> fills = Fills(h);
  ASSERT_EQ(fills.size(), 4u);
  EXPECT_EQ(fills[0].rect, (Rect{0, 0, 1200, 90}));
  EXPECT_EQ(fills[1].rect, (Rect{0, 90, 116, 690}));
  EXPECT_EQ(fills[2].rect, (Rect{1016, 90, 1200, 690}));
  EXPECT_EQ(fills[3].rect, (Rect{0, 690, 1200, 800}));
  for (const FillRecord& f : fills) EXPECT_EQ(f.colour, kButtonFace);
  EXPECT_EQ(h.window->Pixel(1100, 10), kButtonFace);

  // A card touching the top-left corner leaves only two bands.
  AppHarness tight;
  tight.window->UpdateWindow();
  const std::vector<FillRecord> two = Fills(tight);
  ASSERT_EQ(two.size(), 2u);
  EXPECT_EQ(two[0].rect, (Rect{900, 0, 968, 600}));
  EXPECT_EQ(two[1].rect, (Rect{0, 600, 968, 620}));
}

TEST(Painting, GlassErasesBlackAndDrawsGlowingHint) {
  AppHarness h(Config(144, true), 1200, 800);
  h.window->UpdateWindow();
  for (const FillRecord& f : Fills(h)) EXPECT_EQ(f.colour, RGB(0, 0, 0));
  const Rect hint = h.wnd->GetHintRect();
  EXPECT_EQ(hint, (Rect{0, 770, 1200, 800}));
  ASSERT_EQ(h.window->surface.texts.size(), 1u);
  const TextRecord& t = h.window->surface.texts[0];
  EXPECT_EQ(t.text, app::kHintAddMorePhotos);
  EXPECT_TRUE(t.themed);
  EXPECT_EQ(t.theme, h.platform.ThemeToken());
  EXPECT_EQ(t.font, Font::ThemeStatus);
  EXPECT_EQ(t.glowSize, 10);
  EXPECT_EQ(t.dttFlags, DTT_COMPOSITED | DTT_GLOWSIZE);
  EXPECT_EQ(t.dtFlags, DT_NOPREFIX | DT_SINGLELINE | DT_BOTTOM);
  EXPECT_EQ(t.rect, (Rect{3, 773, 1197, 800}));  // inset 3, none at the bottom
  EXPECT_EQ(h.window->Pixel(600, 790), RGB(0, 0, 0));  // the transparent section
}

TEST(Painting, HintWithoutGlassUsesTheGuiFontOnButtonFace) {
  AppHarness h;
  h.window->UpdateWindow();
  ASSERT_EQ(h.window->surface.texts.size(), 1u);
  const TextRecord& t = h.window->surface.texts[0];
  EXPECT_FALSE(t.themed);
  EXPECT_EQ(t.font, Font::DefaultGui);
  EXPECT_EQ(t.bkColour, kButtonFace);
  EXPECT_EQ(t.rect, (Rect{2, 602, 966, 618}));
  EXPECT_EQ(t.dtFlags, DT_NOPREFIX | DT_SINGLELINE | DT_BOTTOM);
  EXPECT_EQ(h.window->WindowDC().CurrentFont(), Font::System);  // font put back
}

TEST(Painting, HintOnlyPaintDoesNotRenderTheCard) {
  AppHarness h;
  h.window->UpdateWindow();
  h.window->ClearLogs();
  const Rect hint = h.wnd->GetHintRect();
  h.window->InvalidateRect(&hint, true);
  h.window->UpdateWindow();
  EXPECT_TRUE(h.window->surface.dibs.empty());
  EXPECT_EQ(h.window->surface.texts.size(), 1u);

  // A paint of a corner of the card copies the whole card.
  h.window->ClearLogs();
  const Rect corner{10, 10, 20, 20};
  h.window->InvalidateRect(&corner, false);
  h.window->UpdateWindow();
  ASSERT_EQ(h.window->surface.dibs.size(), 1u);
  EXPECT_EQ(h.window->surface.dibs[0].width, 900);
  EXPECT_EQ(h.window->surface.dibs[0].height, 600);
  EXPECT_TRUE(h.window->surface.texts.empty());
}

TEST(Painting, EmptyCardRectanglePaintsNoCard) {
  AppHarness h(Config(), 68, 300);  // no width left beside the toolbar column
  EXPECT_EQ(h.CardRect().Width(), 0);
  h.window->UpdateWindow();
  EXPECT_TRUE(h.window->surface.dibs.empty());
}

TEST(Painting, ToolbarLabelsGlowOnGlassOnly) {
  AppHarness plain;
  ToolbarPaint p = plain.Toolbar()->PaintToolbar();
  EXPECT_EQ(p.prepaintAnswer, 0);
  EXPECT_EQ(p.labelsDrawnByToolbar,
            (std::vector<std::string>{"Save", "Template", "Donate", "Help"}));
  EXPECT_TRUE(plain.window->surface.texts.empty());

  AppHarness glass(Config(96, true));
  ScriptedToolbar* tb = glass.Toolbar();
  tb->SetPressed(101, true);
  p = tb->PaintToolbar();
  EXPECT_EQ(p.prepaintAnswer, CDRF_NOTIFYITEMDRAW);
  EXPECT_TRUE(p.labelsDrawnByToolbar.empty());
  const std::vector<TextRecord>& texts = glass.window->surface.texts;
  ASSERT_EQ(texts.size(), 4u);
  const Rect save = tb->ItemRect(100), tpl = tb->ItemRect(101);
  const int32_t x0 = tb->rect.left;
  EXPECT_EQ(texts[0].text, "Save");
  EXPECT_EQ(texts[0].font, Font::ThemeIconTitle);
  EXPECT_EQ(texts[0].glowSize, 10);
  EXPECT_EQ(texts[0].dtFlags, DT_NOPREFIX | DT_SINGLELINE | DT_BOTTOM | DT_CENTER);
  EXPECT_EQ(texts[0].rect.left, x0 + save.left - 1);
  EXPECT_EQ(texts[0].rect.top, save.top);
  EXPECT_EQ(texts[0].rect.bottom, save.top + p.items[0].rcTextBefore.bottom);
  EXPECT_TRUE(p.items[0].rcTextAfter.Empty());
  EXPECT_EQ(texts[1].text, "Template");
  EXPECT_EQ(texts[1].rect.left, x0 + tpl.left);  // pressed: one pixel further right
  EXPECT_EQ(texts[3].text, "Help");
}
