#include <gtest/gtest.h>

#include "interaction/HintTexts.h"
#include "tests/app/AppHarness.h"

using namespace apptest;

TEST(Layout, CreationSetsUpTheWindow) {
  AppHarness h;
  ASSERT_TRUE(h.created);
  EXPECT_EQ(h.wnd->View().HintText(), interaction::kHintAddMorePhotos);
  EXPECT_EQ(h.wnd->Document().State().design.builtInIndex, 0);
  EXPECT_EQ(h.Card().cardTemplate.width, 900u);
  EXPECT_EQ(h.Card().slots.size(), 5u);  // template 0
  EXPECT_EQ(h.Card().Tile().width, 157u);
  // Centred on the work area (0, 0, 1920, 1050): the window is 976 x 652.
  EXPECT_EQ(h.window->FrameRect().left, 960 - 488);
  EXPECT_EQ(h.window->FrameRect().top, 525 - 326);
  ASSERT_EQ(h.window->invalidations.size(), 1u);  // the template's
  EXPECT_EQ(h.window->invalidations[0], h.Client());
  // Every size of the window icon, largest last.
  ASSERT_EQ(h.window->icons.size(), 5u);
  EXPECT_EQ(h.window->icons[0].width, 16);
  EXPECT_EQ(h.window->icons[4].width, 256);
  EXPECT_EQ(h.window->icons[4].rgba.size(), 256u * 256 * 4);
  EXPECT_TRUE(h.window->shows.empty());  // start-up shows it
}

TEST(Layout, CentringKeepsTheWindowInsideTheWorkArea) {
  ScriptedConfig c = Config();
  c.workArea = Rect{100, 50, 900, 600};  // smaller than the window
  AppHarness h(c);
  EXPECT_EQ(h.window->FrameRect().left, 100);
  EXPECT_EQ(h.window->FrameRect().top, 50);
}

TEST(Layout, ZonesOfTheDocumentedExamples) {
  AppHarness h;
  // 968 x 620: exactly the natural size.
  EXPECT_EQ(h.CardRect(), (Rect{0, 0, 900, 600}));
  EXPECT_EQ(h.wnd->View().HintRect(), (Rect{0, 600, 968, 620}));
  EXPECT_EQ(h.window->toolbarRect, (Rect{904, 0, 968, 600}));

  struct Case {
    int32_t w, h;
    Rect card;
  } cases[] = {{1200, 800, {0, 13, 1132, 767}},  // the card grows with the window
               {600, 500, {0, 63, 532, 417}},
               {1000, 400, {181, 0, 751, 380}}};
  for (const Case& c : cases) {
    h.window->ClearLogs();
    h.window->Resize(c.w, c.h);
    EXPECT_EQ(h.CardRect(), c.card) << c.w << " x " << c.h;
    EXPECT_EQ(h.wnd->View().HintRect(), (Rect{0, c.h - 20, c.w, c.h}));
    EXPECT_EQ(h.window->toolbarRect, (Rect{c.w - 64, 0, c.w, c.h - 20}));
    // One repaint of everything.
    EXPECT_EQ(h.window->invalidations, std::vector<Rect>{h.Client()});
  }
}

TEST(Layout, AMinimisedWindowShowsNoCard) {
  AppHarness h;
  h.window->Resize(0, 0);
  const Rect r = h.CardRect();
  EXPECT_EQ(h.wnd->View().HintRect(), (Rect{0, -20, 0, 0}));
  // An empty card that paints, hits and drags nothing.
  EXPECT_TRUE(r.Empty());
  h.window->ClearLogs();
  h.window->Paint();
  EXPECT_TRUE(h.window->images.empty());
  h.window->Press(Point{5, 5});
  h.window->Move(Point{50, 50});
  h.window->Release(Point{50, 50});
  EXPECT_TRUE(h.window->captureLog.empty());
  h.window->Resize(968, 620);
  EXPECT_EQ(h.CardRect(), (Rect{0, 0, 900, 600}));
}

TEST(Layout, GlassMarginsFollowTheCardAndComeBackWithComposition) {
  AppHarness h(Config(96, true), 1200, 800);
  ASSERT_TRUE(h.wnd->View().Glass());
  ASSERT_FALSE(h.window->frameExtensions.empty());
  const Margins m = h.window->frameExtensions.back();
  EXPECT_EQ(m.left, 0);
  EXPECT_EQ(m.right, 1200 - 1132);
  EXPECT_EQ(m.top, 13);
  EXPECT_EQ(m.bottom, 800 - 767);

  h.window->ClearLogs();
  h.window->Resize(1200, 801);  // same halved offset: (781 - 754) >> 1 = 13
  EXPECT_EQ(h.CardRect(), (Rect{0, 13, 1132, 767}));
  EXPECT_TRUE(h.window->frameExtensions.empty());

  // Composition off and on again: the frame is extended again, unchanged
  // card or not, and nothing is repainted by the program itself.
  h.window->ClearLogs();
  h.window->SetComposition(false);
  EXPECT_FALSE(h.wnd->View().Glass());
  EXPECT_TRUE(h.window->frameExtensions.empty());
  h.window->SetComposition(true);
  ASSERT_EQ(h.window->frameExtensions.size(), 1u);
  EXPECT_EQ(h.window->frameExtensions[0].bottom, 801 - 767);
  EXPECT_TRUE(h.window->invalidations.empty());
}

TEST(Layout, ToolbarFollowsTheResolution) {
  AppHarness at96(Config(96));
  EXPECT_EQ(at96.window->toolbarButtonWidth, 64);
  AppHarness at144(Config(144), 996, 630);
  EXPECT_EQ(at144.window->toolbarButtonWidth, 90);
  EXPECT_EQ(at144.wnd->View().ToolbarGap(), 6);
  EXPECT_EQ(at144.CardRect(), (Rect{0, 0, 900, 600}));
  EXPECT_EQ(at144.wnd->View().HintRect(), (Rect{0, 600, 996, 630}));
  EXPECT_EQ(at144.window->toolbarRect, (Rect{906, 0, 996, 600}));
}

TEST(Layout, TheWindowNeverGetsSmallerThanItsToolbarNeeds) {
  AppHarness h;
  // Nine buttons of 70 and one separator of 6 on the scripted desktop, above
  // the hint line; beside them the toolbar column, the gap and a card.
  EXPECT_EQ(h.window->minimumClientSize, (Size{64 + 4 + 150, 636 + 20}));
  AppHarness at192(Config(192), 1936, 1240);
  EXPECT_EQ(at192.window->minimumClientSize, (Size{120 + 8 + 300, 636 + 40}));
}
