#include <gtest/gtest.h>

#include "tests/interaction/InteractionHarness.h"

using namespace itest;

namespace {

constexpr ClientPoint kFrame{4, 4};  // template 0's frame, outside every region
constexpr ClientPoint kFrame2{6, 300};

}  // namespace

TEST(Hints, FollowThePointerAndRepaintOnlyWhenTheSentenceChanges) {
  Harness h;
  EXPECT_EQ(h.wnd->View().HintText(), hints::kHintAddMorePhotos);
  h.window->ClearLogs();

  h.Move(kFrame);  // the start-up sentence already says this
  EXPECT_EQ(h.wnd->View().HintText(), hints::kHintAddMorePhotos);
  EXPECT_EQ(h.HintRepaints(), 0);

  const ClientPoint empty = h.In(0);
  h.Move(empty);
  EXPECT_EQ(h.wnd->View().HintText(), hints::kHintClickToAdd);
  EXPECT_EQ(h.HintRepaints(), 1);
  h.Move(ClientPoint{empty.x + 5, empty.y + 3});
  h.Move(h.In(2));  // another empty slot: the same sentence
  EXPECT_EQ(h.HintRepaints(), 1);

  h.Fill(1);
  EXPECT_EQ(h.wnd->View().HintText(), hints::kHintClickToAdd);  // loading alone changes nothing
  h.Move(h.In(1));
  EXPECT_EQ(h.wnd->View().HintText(), hints::kHintDragPicture);
  EXPECT_EQ(h.HintRepaints(), 2);

  h.Move(kFrame2);
  EXPECT_EQ(h.wnd->View().HintText(), hints::kHintAddMorePhotos);
  EXPECT_EQ(h.HintRepaints(), 3);

  // The sentence follows the card without waiting for the pointer: the
  // last photo completes it, undo makes it incomplete again.
  for (size_t i : {0, 2, 3, 4}) h.Fill(i);
  EXPECT_EQ(h.wnd->View().HintText(), hints::kHintCardComplete);
  EXPECT_EQ(h.HintRepaints(), 4);
  h.Move(kFrame);
  h.Move(kFrame2);
  EXPECT_EQ(h.HintRepaints(), 4);
  h.window->KeyPress(Letter('Z'), kControl);
  EXPECT_EQ(h.wnd->View().HintText(), hints::kHintAddMorePhotos);
  EXPECT_EQ(h.HintRepaints(), 5);

  // Nothing but the hint line was asked to repaint by the pointer; the card
  // by each photo and the undo.
  int card = 0;
  for (const Rect& r : h.window->invalidations) {
    card += r == h.CardRect();
    if (r != h.CardRect()) {
      EXPECT_EQ(r, h.wnd->View().HintRect());
    }
  }
  EXPECT_EQ(card, 6);
}

TEST(Hints, AHiddenEmptySlotDoesNotMakeTheCardIncomplete) {
  Harness h;
  h.window->Command(int(app::CommandId::Template));  // template 1: four regions
  ASSERT_EQ(h.Card().slots.size(), 5u);
  ASSERT_TRUE(h.Slot(4).Hidden());
  for (size_t i = 0; i < 4; ++i) h.Fill(i);
  ASSERT_FALSE(h.Slot(4).HasPhoto());
  h.Move(h.In(0));
  h.Move(kFrame);
  EXPECT_EQ(h.wnd->View().HintText(), hints::kHintCardComplete);
  h.window->Command(int(app::CommandId::Template));  // template 2: three regions
  h.Move(kFrame2);
  EXPECT_EQ(h.wnd->View().HintText(), hints::kHintCardComplete);
}

TEST(Hints, ToolbarButtonsAndLeavingTheToolbar) {
  Harness h;
  h.window->ClearLogs();

  h.window->Hover(int(app::CommandId::Save));
  EXPECT_EQ(h.wnd->View().HintText(), hints::kHintSaveIncomplete);
  EXPECT_EQ(h.HintRepaints(), 1);

  // The last photo arrives while Save stays hot: the sentence follows the
  // card at once, not at the next hover.
  for (size_t i = 0; i < 5; ++i) h.Fill(i);
  EXPECT_EQ(h.wnd->View().HintText(), hints::kHintSaveReady);
  h.window->Hover(int(app::CommandId::Save));
  EXPECT_EQ(h.HintRepaints(), 2);

  h.window->Hover(int(app::CommandId::Template));
  EXPECT_EQ(h.wnd->View().HintText(), hints::kHintTemplate);
  h.window->Hover(int(app::CommandId::Donate));
  EXPECT_EQ(h.wnd->View().HintText(), hints::kHintDonate);
  h.window->Hover(int(app::CommandId::Help));
  EXPECT_EQ(h.wnd->View().HintText(), hints::kHintHelp);
  EXPECT_EQ(h.HintRepaints(), 5);
  h.window->Hover(int(app::CommandId::Help));
  h.window->Hover(999);  // a button without a sentence keeps the one shown
  EXPECT_EQ(h.wnd->View().HintText(), hints::kHintHelp);
  EXPECT_EQ(h.HintRepaints(), 5);

  h.window->Hover(0);  // left the toolbar
  EXPECT_EQ(h.wnd->View().HintText(), hints::kHintCardComplete);
  EXPECT_EQ(h.HintRepaints(), 6);

  // Leaving with an empty slot gives the other general sentence.
  Harness empty;
  empty.window->Hover(int(app::CommandId::Donate));
  empty.window->Hover(0);
  EXPECT_EQ(empty.wnd->View().HintText(), hints::kHintAddMorePhotos);
}

TEST(Hints, FrozenWhileASlotIsPressed) {
  Harness h;
  const ClientPoint empty = h.In(0);
  h.Move(empty);
  h.Press(empty);
  h.window->ClearLogs();
  h.Move(kFrame);  // pressed on an empty slot: no capture, no drag, no hint
  h.Move(h.In(3));
  EXPECT_EQ(h.wnd->View().HintText(), hints::kHintClickToAdd);
  EXPECT_EQ(h.HintRepaints(), 0);
  h.Release(kFrame);
  h.Move(kFrame);
  EXPECT_EQ(h.wnd->View().HintText(), hints::kHintAddMorePhotos);
  EXPECT_TRUE(h.window->openDialogs.empty());
}

TEST(Hints, LeavingTheWindowGivesTheGeneralSentenceExceptDuringADrag) {
  Harness h;
  h.Move(h.In(0));
  ASSERT_EQ(h.wnd->View().HintText(), hints::kHintClickToAdd);
  h.window->Leave();
  EXPECT_EQ(h.wnd->View().HintText(), hints::kHintAddMorePhotos);

  h.Fill(1);
  h.Move(h.In(1));
  h.Press(h.In(1));
  h.window->Leave();  // the pointer goes on outside while the photo follows it
  EXPECT_EQ(h.wnd->View().HintText(), hints::kHintDragPicture);
  h.Release(h.In(1));
}
