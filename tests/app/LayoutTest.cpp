#include <gtest/gtest.h>

#include "app/HintTexts.h"
#include "tests/app/AppHarness.h"

using namespace apptest;

TEST(Layout, CreationSetsUpTheWindow) {
  AppHarness h;
  ASSERT_NE(h.window, nullptr);
  EXPECT_EQ(h.wnd->GetHintText(), app::kHintAddMorePhotos);
  EXPECT_EQ(h.wnd->GetCard().cardTemplate.builtInTemplateIndex, 0);
  EXPECT_EQ(h.wnd->GetCard().cardTemplate.width, 900u);
  EXPECT_EQ(h.wnd->GetCard().slots.size(), 5u);  // template 0
  EXPECT_EQ(h.wnd->GetCard().placeholderTile.width, 157u);
  // Centred on the work area (0, 0, 1920, 1080): the window is 976 x 651.
  EXPECT_EQ(h.window->GetWindowRect().left, 960 - 488);
  EXPECT_EQ(h.window->GetWindowRect().top, 540 - 325);
  EXPECT_EQ(h.platform.themeOpens, std::vector<std::string>{"globals"});
  EXPECT_EQ(h.window->registrations, 1);
  ASSERT_EQ(h.window->invalidations.size(), 1u);  // the template's, without erasing
  EXPECT_FALSE(h.window->invalidations[0].rect.has_value());
  EXPECT_FALSE(h.window->invalidations[0].erase);
}

TEST(Layout, CentringKeepsTheWindowInsideTheWorkArea) {
  ScriptedConfig c = Config();
  c.workArea = Rect{100, 50, 900, 600};  // smaller than the window
  AppHarness h(c);
  EXPECT_EQ(h.window->GetWindowRect().left, 100);
  EXPECT_EQ(h.window->GetWindowRect().top, 50);
}

TEST(Layout, ZonesOfTheDocumentedExamples) {
  AppHarness h;
  // 968 x 620: exactly the natural size.
  EXPECT_EQ(h.CardRect(), (Rect{0, 0, 900, 600}));
  EXPECT_EQ(h.wnd->GetHintRect(), (Rect{0, 600, 968, 620}));
  EXPECT_EQ(h.Toolbar()->rect, (Rect{904, 0, 968, 600}));

  struct Case {
    int32_t w, h;
    Rect card;
  } cases[] = {{1200, 800, {116, 90, 1016, 690}},
               {600, 500, {0, 63, 532, 417}},
               {1000, 400, {181, 0, 751, 380}}};
  for (const Case& c : cases) {
    h.window->Resize(c.w, c.h);
    EXPECT_EQ(h.CardRect(), c.card) << c.w << " x " << c.h;
    EXPECT_EQ(h.wnd->GetHintRect(), (Rect{0, c.h - 20, c.w, c.h}));
    EXPECT_EQ(h.Toolbar()->rect, (Rect{c.w - 64, 0, c.w, c.h - 20}));
    EXPECT_TRUE(h.Toolbar()->moves.back().repaint);
  }
}

TEST(Layout, MinimisedWindowPutsTheCardOutside) {
  AppHarness h;
  h.window->Minimise();
  const Rect r = h.CardRect();
  // Wrapped unsigned arithmetic: no pixel of the (empty) client is on the card.
  EXPECT_FALSE(r.left < 0 && r.right > 0 && r.top < 0 && r.bottom > 0);
  EXPECT_GT(r.left, 1000000);
  EXPECT_EQ(r.left, int32_t((uint32_t(-68) - 900u) >> 1));
  EXPECT_EQ(h.wnd->GetHintRect(), (Rect{0, -20, 0, 0}));
  // Its corners lie past each other: an empty card that paints, hits and
  // drags nothing (and computes no overflowing width on the way).
  EXPECT_EQ(r.Width(), 0);
  h.window->ClearLogs();
  h.window->UpdateWindow();
  EXPECT_TRUE(h.window->surface.dibs.empty());
  h.window->LButtonDown(5, 5);
  h.window->MouseMove(50, 50);
  h.window->LButtonUp(50, 50);
  h.window->Restore();
  EXPECT_EQ(h.CardRect(), (Rect{0, 0, 900, 600}));
}

TEST(Layout, SizeMessageRedrawsOnceWithErase) {
  AppHarness h;
  h.window->ClearLogs();
  h.window->Resize(969, 620);  // the card stays where it was
  EXPECT_EQ(h.CardRect(), (Rect{0, 0, 900, 600}));
  EXPECT_EQ(h.Toolbar()->rect, (Rect{905, 0, 969, 600}));
  ASSERT_EQ(h.window->invalidations.size(), 1u);
  EXPECT_FALSE(h.window->invalidations[0].rect.has_value());
  EXPECT_TRUE(h.window->invalidations[0].erase);
  EXPECT_FALSE(h.window->invalidations[0].suppressed);
  EXPECT_TRUE(h.window->redraw);
  EXPECT_TRUE(h.window->UpdateWindow());
  EXPECT_EQ(h.window->erases, 1);
  EXPECT_EQ(h.window->paints, 1);
}

TEST(Layout, GlassMarginsFollowTheCardAndSkipUnchangedLayouts) {
  AppHarness h(Config(96, true), 1200, 800);
  ASSERT_TRUE(h.wnd->IsGlass());
  ASSERT_FALSE(h.window->frameExtensions.empty());
  Margins m = h.window->frameExtensions.back();
  EXPECT_EQ(m.cxLeftWidth, 116);
  EXPECT_EQ(m.cxRightWidth, 1200 - 1016);
  EXPECT_EQ(m.cyTopHeight, 90);
  EXPECT_EQ(m.cyBottomHeight, 800 - 690);

  h.window->ClearLogs();
  h.window->Resize(1201, 800);  // same halved offset: (1133 - 900) >> 1 = 116
  EXPECT_EQ(h.CardRect(), (Rect{116, 90, 1016, 690}));
  EXPECT_TRUE(h.window->frameExtensions.empty());

  // Composition off and on again: the frame is extended again, unchanged card or not.
  const size_t invalidations = h.window->invalidations.size();
  h.window->SetComposition(false);
  EXPECT_FALSE(h.wnd->IsGlass());
  EXPECT_TRUE(h.window->frameExtensions.empty());
  h.window->SetComposition(true);
  ASSERT_EQ(h.window->frameExtensions.size(), 1u);
  EXPECT_EQ(h.window->frameExtensions[0].cxRightWidth, 1201 - 1016);
  EXPECT_EQ(h.window->invalidations.size(), invalidations);  // no repaint of its own
}

TEST(Layout, OldSystemsNeverAskForComposition) {
  ScriptedConfig c = Config(96, true);
  c.windowsMajor = 5;
  AppHarness h(c);
  EXPECT_FALSE(h.wnd->IsGlass());
  EXPECT_EQ(h.platform.compositionQueries, 0);
  EXPECT_TRUE(h.window->frameExtensions.empty());

  ScriptedConfig failing = Config(96, true);
  failing.compositionQueryFails = true;
  AppHarness f(failing);
  EXPECT_FALSE(f.wnd->IsGlass());
}

TEST(Layout, ToolbarButtonWidthFollowsTheResolution) {
  AppHarness at96(Config(96));
  EXPECT_EQ(at96.Toolbar()->buttonSize.cx, 64);
  EXPECT_EQ(at96.Toolbar()->buttonSize.cy, ScriptedToolbar::kNaturalButtonSize.cy);
  AppHarness at144(Config(144), 996, 630);
  EXPECT_EQ(at144.Toolbar()->buttonSize.cx, 90);
  EXPECT_EQ(at144.wnd->GetToolbarGap(), 6);
  EXPECT_EQ(at144.CardRect(), (Rect{0, 0, 900, 600}));
  EXPECT_EQ(at144.wnd->GetHintRect(), (Rect{0, 600, 996, 630}));
}
