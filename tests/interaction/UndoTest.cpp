#include <gtest/gtest.h>

#include <vector>

#include "engine/compose/CardCompositor.h"
#include "tests/interaction/InteractionHarness.h"

using namespace itest;

namespace {

// The card as Save would write it.
std::vector<uint8_t> Saved(Harness& h) {
  const engine::CardTemplate& t = h.Card().cardTemplate;
  const uint32_t stride = engine::CardImageStride(t.width);
  std::vector<uint8_t> pixels(size_t(stride) * t.height);
  engine::RenderCard(h.Card(), int32_t(t.width), int32_t(t.height), pixels.data(),
                     int32_t(stride), false);
  return pixels;
}

void Undo(Harness& h, int times = 1) {
  for (int i = 0; i < times; ++i) EXPECT_TRUE(h.window->KeyPress(Letter('Z'), kControl));
}

}  // namespace

TEST(Undo, EveryKindOfEditGoesBackStepByStepAndComesAgain) {
  Harness h;
  const std::vector<uint8_t> start = Saved(h);
  // A photo put, replaced, dragged, zoomed, reset and removed, a template
  // changed, a layout dropped.
  h.QueueOpen(h.files.Photo("a.png", 860, 140, Rgb{200, 10, 10}, false, Rgb{10, 10, 200}, true));
  h.Click(h.In(0));
  h.Drop({h.files.Photo("b.png", 300, 200, Rgb{10, 200, 10})}, h.In(4));
  h.Drop({h.files.Photo("c.png", 200, 300, Rgb{10, 100, 200})}, h.In(4));
  const ClientPoint p = h.In(0);
  h.Press(p);
  h.Move(ClientPoint{p.x - 100, p.y});
  h.Release(ClientPoint{p.x - 100, p.y});
  h.window->Wheel(Harness::At(p), 120);
  h.window->Wheel(Harness::At(p), 120);  // one gesture: one step
  const std::vector<uint8_t> zoomed = Saved(h);
  h.TabTo(0);
  h.window->KeyPress(Digit(0));
  h.window->KeyPress(Key::Delete);
  h.window->Command(int(app::CommandId::Template));
  h.Drop({h.files.SimpleLayout("l.jli", 600, 400)}, ClientPoint{4, 4});
  const std::vector<uint8_t> end = Saved(h);
  EXPECT_EQ(h.wnd->Document().History().UndoSteps(), 9u);

  Undo(h, 4);  // the layout, the template, the removal, the reset
  EXPECT_EQ(h.Card().cardTemplate.width, 900u);
  EXPECT_EQ(Saved(h), zoomed);
  EXPECT_EQ(h.CardRect(), (Rect{0, 0, 900, 600}));  // laid out for the template again
  Undo(h, 5);
  EXPECT_EQ(Saved(h), start);
  for (const engine::PhotoSlot& s : h.Card().slots) EXPECT_FALSE(s.HasPhoto());
  EXPECT_FALSE(h.wnd->Document().History().CanUndo());
  Undo(h);  // nothing more: nothing changes
  EXPECT_EQ(Saved(h), start);

  for (int i = 0; i < 9; ++i) EXPECT_TRUE(h.window->KeyPress(Letter('Y'), kControl));
  EXPECT_EQ(Saved(h), end);
  Undo(h, 9);
  for (int i = 0; i < 9; ++i) h.window->KeyPress(Letter('Z'), kControl | kShift);
  EXPECT_EQ(Saved(h), end);
}

TEST(Undo, ATemplateChangeComesBackWithThePhotosOfHiddenSlots) {
  Harness h;
  const std::string photo = h.files.Photo("p.png", 30, 30, Rgb{9, 90, 9});
  for (size_t i = 0; i < 5; ++i) h.Drop({photo}, h.In(i));
  h.window->Command(int(app::CommandId::Template));
  h.window->Command(int(app::CommandId::Template));  // three regions: slots 3 and 4 hidden
  ASSERT_TRUE(h.Slot(4).Hidden());
  h.TabTo(0);
  h.window->KeyPress(Key::Delete);  // slot 0 emptied under template 2
  Undo(h, 3);
  EXPECT_EQ(h.wnd->Document().State().design.builtInIndex, 0);
  EXPECT_FALSE(h.Slot(4).Hidden());
  for (size_t i = 0; i < 5; ++i) EXPECT_TRUE(h.Slot(i).HasPhoto()) << i;
}

TEST(Undo, NothingIsUndoneDuringADrag) {
  Harness h;
  h.Fill(0, 860, 140);
  const ClientPoint p = h.In(0);
  h.Press(p);
  h.Move(ClientPoint{p.x + 50, p.y});
  const float dragged = h.Slot(0).panX;
  Undo(h);
  EXPECT_EQ(h.Slot(0).panX, dragged);
  h.Release(ClientPoint{p.x + 50, p.y});
  Undo(h);
  EXPECT_EQ(h.Slot(0).panX, 0.5f);
}

// A burst of arrow presses, or of zoom keys, is one step, as the wheel's
// notches are; a key of the other kind, a click or another region ends it.
TEST(Undo, BurstsOfKeysAreOneStepEach) {
  Harness h;
  h.Fill(0, 1720, 140);
  h.Fill(1, 1720, 140);
  const size_t filled = h.wnd->Document().History().UndoSteps();
  h.TabTo(0);
  for (int i = 0; i < 3; ++i) h.window->KeyPress(Key::Right);
  h.window->KeyPress(Key::Left, kShift);
  const float nudged = h.Slot(0).panX;
  h.window->KeyPress(Key::Plus);
  h.window->KeyPress(Key::Plus);
  const float zoomed = h.Slot(0).zoom;
  h.window->KeyPress(Key::Right);
  h.window->KeyPress(Key::Right);
  h.TabTo(1);
  h.window->KeyPress(Key::Left);
  h.window->KeyPress(Key::Left);
  EXPECT_EQ(h.wnd->Document().History().UndoSteps(), filled + 4);
  Undo(h);
  EXPECT_EQ(h.Slot(1).panX, 0.5f);
  Undo(h);
  EXPECT_EQ(h.Slot(0).zoom, zoomed);
  Undo(h);
  EXPECT_EQ(h.Slot(0).panX, nudged);
  EXPECT_EQ(h.Slot(0).zoom, 1.0f);
  Undo(h);
  EXPECT_EQ(h.Slot(0).panX, 0.5f);
}

TEST(Closing, AnUnchangedCardClosesAtOnce) {
  Harness h;
  EXPECT_TRUE(h.window->RequestClose());
  EXPECT_TRUE(h.window->messages.empty());
  EXPECT_EQ(h.platform.quitCode, 0);
}

TEST(Closing, AChangedCardAsksAndEachAnswerDoesWhatItSays) {
  Harness h;
  h.Fill(0);
  h.window->Command(int(app::CommandId::Template));  // a change through the window

  h.window->messageAnswers.push_back(MessageAnswer::Cancel);
  EXPECT_FALSE(h.window->RequestClose());
  ASSERT_EQ(h.window->messages.size(), 1u);
  const Message& question = h.window->messages[0].message;
  EXPECT_EQ(question.text, "Save changes to your card before closing?");
  EXPECT_EQ(question.caption, "Tessary");
  EXPECT_EQ(question.buttons, MessageButtons::SaveDiscardCancel);
  EXPECT_EQ(question.labels, (std::vector<std::string>{"Save", "Don't Save", "Cancel"}));
  EXPECT_EQ(h.platform.quitCode, -1);

  // Save, but the save is cancelled (the empty regions question answered
  // No): the window stays.
  h.window->messageAnswers.push_back(MessageAnswer::Save);
  h.window->messageAnswers.push_back(MessageAnswer::No);
  EXPECT_FALSE(h.window->RequestClose());
  EXPECT_EQ(h.platform.quitCode, -1);

  // Save to a folder that is not there: the save fails and the window stays.
  h.window->messageAnswers.push_back(MessageAnswer::Save);
  h.window->messageAnswers.push_back(MessageAnswer::Yes);
  h.window->saveAnswers.push_back(FileChoice{h.files.Folder() + "/gone/card.jpg", 0});
  EXPECT_FALSE(h.window->RequestClose());
  EXPECT_EQ(h.platform.quitCode, -1);

  // Save for real: it closes, and undoing back to the saved card needs no question.
  h.window->messageAnswers.push_back(MessageAnswer::Save);
  h.window->saveAnswers.push_back(FileChoice{h.files.Folder() + "/card.jpg", 0});
  EXPECT_TRUE(h.window->RequestClose());
  EXPECT_EQ(h.platform.quitCode, 0);
}

TEST(Closing, DiscardClosesWithoutSavingAndASavedCardNeedsNoQuestion) {
  Harness h;
  h.window->Command(int(app::CommandId::Template));
  h.window->messageAnswers.push_back(MessageAnswer::Discard);
  EXPECT_TRUE(h.window->RequestClose());
  EXPECT_TRUE(h.window->saveDialogs.empty());

  Harness saved;
  saved.window->Command(int(app::CommandId::Template));
  saved.window->saveAnswers.push_back(FileChoice{saved.files.Folder() + "/card.png", 1});
  EXPECT_TRUE(saved.wnd->Actions().SaveCard());
  const size_t asked = saved.window->messages.size();
  saved.window->Command(int(app::CommandId::Template));
  Undo(saved);  // back to what was saved
  EXPECT_TRUE(saved.window->RequestClose());
  EXPECT_EQ(saved.window->messages.size(), asked);
}
