#include <gtest/gtest.h>

#include "tests/interaction/InteractionHarness.h"

using namespace itest;

namespace {

constexpr ClientPoint kFrame{4, 4};  // template 0's frame, outside every region
constexpr ClientPoint kFrame2{6, 300};

}  // namespace

TEST(Hints, FollowThePointerAndRepaintOnlyWhenTheSentenceChanges) {
  Harness h;
  EXPECT_EQ(h.wnd->GetHintText(), hints::kHintAddMorePhotos);
  h.window->ClearLogs();

  h.Move(kFrame);  // the start-up sentence already says this
  EXPECT_EQ(h.wnd->GetHintText(), hints::kHintAddMorePhotos);
  EXPECT_EQ(h.HintRepaints(), 0);

  const ClientPoint empty = h.In(0);
  h.Move(empty);
  EXPECT_EQ(h.wnd->GetHintText(), hints::kHintClickToAdd);
  EXPECT_EQ(h.HintRepaints(), 1);
  h.Move(ClientPoint{empty.x + 5, empty.y + 3});
  h.Move(h.In(2));  // another empty slot: the same sentence
  EXPECT_EQ(h.HintRepaints(), 1);

  h.Fill(1);
  EXPECT_EQ(h.wnd->GetHintText(), hints::kHintClickToAdd);  // loading alone changes nothing
  h.Move(h.In(1));
  EXPECT_EQ(h.wnd->GetHintText(), hints::kHintDragPicture);
  EXPECT_EQ(h.HintRepaints(), 2);

  h.Move(kFrame2);
  EXPECT_EQ(h.wnd->GetHintText(), hints::kHintAddMorePhotos);
  EXPECT_EQ(h.HintRepaints(), 3);

  for (size_t i : {0, 2, 3, 4}) h.Fill(i);
  h.Move(kFrame);
  EXPECT_EQ(h.wnd->GetHintText(), hints::kHintCardComplete);
  EXPECT_EQ(h.HintRepaints(), 4);
  h.Move(kFrame2);
  EXPECT_EQ(h.HintRepaints(), 4);

  // Nothing but the hint line was asked to repaint by all this.
  for (const Rect& r : h.window->invalidations) EXPECT_EQ(r, h.wnd->GetHintRect());
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
  EXPECT_EQ(h.wnd->GetHintText(), hints::kHintCardComplete);
  h.window->Command(app::CTessaryWnd::IdTemplate);  // template 2: three regions
  h.Move(kFrame2);
  EXPECT_EQ(h.wnd->GetHintText(), hints::kHintCardComplete);
}

TEST(Hints, ToolbarButtonsAndLeavingTheToolbar) {
  Harness h;
  h.window->ClearLogs();

  h.window->Hover(app::CTessaryWnd::IdSave);
  EXPECT_EQ(h.wnd->GetHintText(), hints::kHintSaveIncomplete);
  EXPECT_EQ(h.HintRepaints(), 1);

  // The last photo arrives while Save stays hot: the sentence waits for the
  // next hover.
  for (size_t i = 0; i < 5; ++i) h.Fill(i);
  EXPECT_EQ(h.wnd->GetHintText(), hints::kHintSaveIncomplete);
  h.window->Hover(app::CTessaryWnd::IdSave);
  EXPECT_EQ(h.wnd->GetHintText(), hints::kHintSaveReady);
  EXPECT_EQ(h.HintRepaints(), 2);

  h.window->Hover(app::CTessaryWnd::IdTemplate);
  EXPECT_EQ(h.wnd->GetHintText(), hints::kHintTemplate);
  h.window->Hover(app::CTessaryWnd::IdDonate);
  EXPECT_EQ(h.wnd->GetHintText(), hints::kHintDonate);
  h.window->Hover(app::CTessaryWnd::IdHelp);
  EXPECT_EQ(h.wnd->GetHintText(), hints::kHintHelp);
  EXPECT_EQ(h.HintRepaints(), 5);
  h.window->Hover(app::CTessaryWnd::IdHelp);
  h.window->Hover(999);  // a button without a sentence keeps the one shown
  EXPECT_EQ(h.wnd->GetHintText(), hints::kHintHelp);
  EXPECT_EQ(h.HintRepaints(), 5);

  h.window->Hover(0);  // left the toolbar
  EXPECT_EQ(h.wnd->GetHintText(), hints::kHintCardComplete);
  EXPECT_EQ(h.HintRepaints(), 6);

  // Leaving with an empty slot gives the other general sentence.
  Harness empty;
  empty.window->Hover(app::CTessaryWnd::IdDonate);
  empty.window->Hover(0);
  EXPECT_EQ(empty.wnd->GetHintText(), hints::kHintAddMorePhotos);
}

TEST(Hints, FrozenWhileASlotIsPressed) {
  Harness h;
  const ClientPoint empty = h.In(0);
  h.Move(empty);
  h.Press(empty);
  h.window->ClearLogs();
  h.Move(kFrame);  // pressed on an empty slot: no capture, no drag, no hint
  h.Move(h.In(3));
  EXPECT_EQ(h.wnd->GetHintText(), hints::kHintClickToAdd);
  EXPECT_EQ(h.HintRepaints(), 0);
  h.Release(kFrame);
  h.Move(kFrame);
  EXPECT_EQ(h.wnd->GetHintText(), hints::kHintAddMorePhotos);
  EXPECT_TRUE(h.window->openDialogs.empty());
}

TEST(Hints, LeavingTheWindowGivesTheGeneralSentenceExceptDuringADrag) {
  Harness h;
  h.Move(h.In(0));
  ASSERT_EQ(h.wnd->GetHintText(), hints::kHintClickToAdd);
  h.window->Leave();
  EXPECT_EQ(h.wnd->GetHintText(), hints::kHintAddMorePhotos);

  h.Fill(1);
  h.Move(h.In(1));
  h.Press(h.In(1));
  h.window->Leave();  // the pointer goes on outside while the photo follows it
  EXPECT_EQ(h.wnd->GetHintText(), hints::kHintDragPicture);
  h.Release(h.In(1));
}
