#include <gtest/gtest.h>

#include "tests/interaction/InteractionHarness.h"

using namespace itest;

namespace {

constexpr ClientPoint kFrame{4, 4};  // template 0's frame, outside every region
constexpr ClientPoint kFrame2{6, 300};

}  // namespace

TEST(Hints, FollowThePointerAndRepaintOnlyWhenTheSentenceChanges) {
  Harness h;
  EXPECT_EQ(h.wnd->GetHintText(), app::kHintAddMorePhotos);
  h.window->UpdateWindow();
  h.window->ClearLogs();

  h.Move(kFrame);  // the start-up sentence already says this
  EXPECT_EQ(h.wnd->GetHintText(), app::kHintAddMorePhotos);
  EXPECT_EQ(h.HintRepaints(), 0);

  const ClientPoint empty = h.In(0);
  h.Move(empty);
  EXPECT_EQ(h.wnd->GetHintText(), app::kHintClickToAdd);
  EXPECT_EQ(h.HintRepaints(), 1);
  h.Move(ClientPoint{empty.x + 5, empty.y + 3});
  h.Move(h.In(2));  // another empty slot: the same sentence
  EXPECT_EQ(h.HintRepaints(), 1);

  h.Fill(1);
  EXPECT_EQ(h.wnd->GetHintText(), app::kHintClickToAdd);  // loading alone changes nothing
  h.Move(h.In(1));
  EXPECT_EQ(h.wnd->GetHintText(), app::kHintDragPicture);
  EXPECT_EQ(h.HintRepaints(), 2);

  h.Move(kFrame2);
  EXPECT_EQ(h.wnd->GetHintText(), app::kHintAddMorePhotos);
  EXPECT_EQ(h.HintRepaints(), 3);

  for (size_t i : {0, 2, 3, 4}) h.Fill(i);
  h.Move(kFrame);
  EXPECT_EQ(h.wnd->GetHintText(), app::kHintCardComplete);
  EXPECT_EQ(h.HintRepaints(), 4);
  h.Move(kFrame2);
  EXPECT_EQ(h.HintRepaints(), 4);

  // Nothing but the hint line was asked to repaint by all this.
  for (const InvalidationRecord& i : h.window->invalidations)
    EXPECT_TRUE(i.rect && *i.rect == h.wnd->GetHintRect() && i.erase);
  ASSERT_TRUE(h.window->UpdateWindow());
  EXPECT_EQ(h.window->paintRects.back(), h.wnd->GetHintRect());
}

TEST(Hints, AHiddenEmptySlotDoesNotMakeTheCardIncomplete) {
  Harness h;
  h.window->Command(app::CTessaryWnd::IdTemplate);  // template 1: four regions
  ASSERT_EQ(h.Card().slots.size(), 5u);
  ASSERT_TRUE(h.Slot(4).Hidden());
  for (size_t i = 0; i < 4; ++i) h.Fill(i);
  ASSERT_FALSE(h.Slot(4).HasPhoto());
  h.Move(h.In(0));
  h.Move(kFrame);
  EXPECT_EQ(h.wnd->GetHintText(), app::kHintCardComplete);
  h.window->Command(app::CTessaryWnd::IdTemplate);  // template 2: three regions
  h.Move(kFrame2);
  EXPECT_EQ(h.wnd->GetHintText(), app::kHintCardComplete);
}

TEST(Hints, ToolbarButtonsAndLeavingTheToolbar) {
  Harness h;
  ScriptedToolbar* toolbar = h.Toolbar();
  ASSERT_NE(toolbar, nullptr);
  h.window->ClearLogs();

  EXPECT_EQ(toolbar->HoverButton(app::CTessaryWnd::IdSave), 0);
  EXPECT_EQ(h.wnd->GetHintText(), app::kHintSaveIncomplete);
  EXPECT_EQ(h.HintRepaints(), 1);

  // The last photo arrives while Save stays hot: the sentence waits for the
  // next hot-item change.
  for (size_t i = 0; i < 5; ++i) h.Fill(i);
  EXPECT_EQ(h.wnd->GetHintText(), app::kHintSaveIncomplete);
  toolbar->HoverButton(app::CTessaryWnd::IdSave);
  EXPECT_EQ(h.wnd->GetHintText(), app::kHintSaveReady);
  EXPECT_EQ(h.HintRepaints(), 2);

  toolbar->HoverButton(app::CTessaryWnd::IdTemplate);
  EXPECT_EQ(h.wnd->GetHintText(), app::kHintTemplate);
  toolbar->HoverButton(app::CTessaryWnd::IdDonate);
  EXPECT_EQ(h.wnd->GetHintText(), app::kHintDonate);
  toolbar->HoverButton(app::CTessaryWnd::IdHelp);
  EXPECT_EQ(h.wnd->GetHintText(), app::kHintHelp);
  EXPECT_EQ(h.HintRepaints(), 5);
  toolbar->HoverButton(app::CTessaryWnd::IdHelp);
  toolbar->HoverButton(0);  // the separator has no sentence: keep the one shown
  EXPECT_EQ(h.wnd->GetHintText(), app::kHintHelp);
  EXPECT_EQ(h.HintRepaints(), 5);

  EXPECT_EQ(toolbar->LeaveToolbar(), 0);
  EXPECT_EQ(h.wnd->GetHintText(), app::kHintCardComplete);
  EXPECT_EQ(h.HintRepaints(), 6);

  // Leaving with an empty slot gives the other general sentence.
  Harness empty;
  empty.Toolbar()->HoverButton(app::CTessaryWnd::IdDonate);
  empty.Toolbar()->LeaveToolbar();
  EXPECT_EQ(empty.wnd->GetHintText(), app::kHintAddMorePhotos);
}

TEST(Hints, FrozenWhileASlotIsPressed) {
  Harness h;
  const ClientPoint empty = h.In(0);
  h.Move(empty);
  h.window->LButtonDown(empty.x, empty.y);
  h.window->ClearLogs();
  h.Move(kFrame);  // pressed on an empty slot: no capture, no drag, no hint
  h.Move(h.In(3));
  EXPECT_EQ(h.wnd->GetHintText(), app::kHintClickToAdd);
  EXPECT_EQ(h.HintRepaints(), 0);
  h.window->LButtonUp(kFrame.x, kFrame.y);
  h.Move(kFrame);
  EXPECT_EQ(h.wnd->GetHintText(), app::kHintAddMorePhotos);
  EXPECT_EQ(h.platform.openDialogs.size(), 0u);
}
