#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/Commands.h"

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

// What was just done is told on the hint line: a zoom while it goes on, a
// photo replaced with the key that brings the old one back.
TEST(Hints, TellTheZoomAndAReplacedPhotoAndTeachTheHiddenGestures) {
  Harness h;
  h.Fill(0, 860, 140);
  const ClientPoint p = h.In(0);
  h.Move(p);
  const std::string over = h.wnd->View().HintText();
  EXPECT_NE(over.find("wheel"), std::string::npos) << over;
  EXPECT_NE(over.find("Right-click"), std::string::npos) << over;

  h.window->Wheel(Harness::At(p), 120);
  EXPECT_EQ(std::string(h.wnd->View().HintText()), "Zoom 125 %");
  h.window->Wheel(Harness::At(p), 120);
  EXPECT_EQ(std::string(h.wnd->View().HintText()), "Zoom 156 %");
  h.Move(ClientPoint{p.x + 3, p.y});  // still over the photo: still zooming
  EXPECT_EQ(std::string(h.wnd->View().HintText()), "Zoom 156 %");
  h.Move(kFrame);  // off it: the zoom is over
  EXPECT_EQ(h.wnd->View().HintText(), hints::kHintAddMorePhotos);

  // The keys say it too, until the pointer or another key moves on.
  h.TabTo(0);
  h.window->KeyPress(Key::Minus);
  EXPECT_EQ(std::string(h.wnd->View().HintText()), "Zoom 125 %");
  h.window->KeyPress(Key::Right);
  EXPECT_EQ(h.wnd->View().HintText(), hints::kHintKeysMovePicture);
  h.window->KeyPress(Key::Plus);
  h.Move(kFrame2);
  EXPECT_EQ(h.wnd->View().HintText(), hints::kHintAddMorePhotos);

  // A photo dropped over another: gone, but not lost.
  h.Drop({h.files.Photo("new.png", 30, 30, Rgb{1, 2, 3})}, p);
  EXPECT_EQ(std::string(h.wnd->View().HintText()),
            "Photo replaced - press Ctrl+Z to bring back the one before.");
  // Into an empty region nothing was replaced.
  h.Drop({h.files.Photo("more.png", 30, 30, Rgb{1, 2, 3})}, h.In(1));
  EXPECT_EQ(std::string(h.wnd->View().HintText()).find("replaced"), std::string::npos);
}

// New card empties every region in one step and keeps the design.
TEST(Hints, NewCardEmptiesTheRegionsInOneStepAndKeepsTheDesign) {
  Harness h;
  const auto enabled = [&h](app::CommandId id) {
    const std::vector<int>& off = h.window->disabledCommands;
    return std::find(off.begin(), off.end(), int(id)) == off.end();
  };
  h.window->Command(int(app::CommandId::Template));
  const int design = h.wnd->Document().State().design.builtInIndex;
  EXPECT_FALSE(enabled(app::CommandId::NewCard));  // nothing to clear
  h.Fill(0);
  h.Fill(2);
  const size_t steps = h.wnd->Document().History().UndoSteps();
  ASSERT_TRUE(enabled(app::CommandId::NewCard));
  EXPECT_TRUE(h.window->KeyPress(Letter('N'), kControl));
  for (const engine::PhotoSlot& s : h.Card().slots) EXPECT_FALSE(s.HasPhoto());
  for (const document::PhotoSource& s : h.wnd->Document().State().photos) EXPECT_TRUE(s.path.empty());
  EXPECT_EQ(h.wnd->Document().State().design.builtInIndex, design);
  EXPECT_EQ(h.wnd->Document().History().UndoSteps(), steps + 1);
  EXPECT_FALSE(enabled(app::CommandId::NewCard));
  h.window->KeyPress(Letter('Z'), kControl);
  EXPECT_TRUE(h.Slot(0).HasPhoto());
  EXPECT_TRUE(h.Slot(2).HasPhoto());
}
