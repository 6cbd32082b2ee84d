#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>

#include "engine/card/SlotEditing.h"
#include "app/Commands.h"
#include "interaction/RegionFocus.h"
#include "tests/interaction/InteractionHarness.h"

using namespace itest;

namespace {

Rect Box(Harness& h, int32_t slot) {
  return interaction::RegionFocus::BoxOnScreen(h.Card(), h.CardRect(), slot);
}

// A photo wider than slot 0's box, so it can be moved and zoomed.
constexpr uint32_t kWideW = 860, kWideH = 140;

}  // namespace

TEST(Keyboard, TabWalksTheVisibleRegionsInReadingOrderThenLetsFocusGoOnToTheToolbar) {
  Harness h;
  // The first design: four corners around a round middle. A reader goes
  // along the top line, then the middle, then the bottom line; slot numbers
  // play no part.
  const std::vector<int32_t> order = {1, 0, 4, 2, 3};
  ASSERT_EQ(interaction::RegionFocus::ReadingOrder(h.Card()), order);
  for (size_t i = 0; i + 1 < order.size(); ++i) {
    const Rect a = Box(h, order[i]), b = Box(h, order[i + 1]);
    EXPECT_LE(a.top + a.bottom, b.top + b.bottom) << "centres go down the card";
  }
  h.window->Focus(true, FocusReason::Forward);  // Tab came in from the toolbar
  EXPECT_EQ(h.wnd->Gestures().Focus().Slot(), order[0]);
  EXPECT_TRUE(h.wnd->Gestures().Focus().RingVisible());
  EXPECT_EQ(h.wnd->View().HintText(), hints::kHintPressEnterToAdd);
  for (size_t i = 1; i < order.size(); ++i) {
    EXPECT_TRUE(h.window->KeyPress(Key::Tab));
    EXPECT_EQ(h.wnd->Gestures().Focus().Slot(), order[i]);
  }
  EXPECT_FALSE(h.window->KeyPress(Key::Tab));  // the desktop moves on to the toolbar
  EXPECT_EQ(h.wnd->Gestures().Focus().Slot(), -1);

  h.window->Focus(true, FocusReason::Backward);  // Shift+Tab from the toolbar
  EXPECT_EQ(h.wnd->Gestures().Focus().Slot(), order[4]);
  EXPECT_TRUE(h.window->KeyPress(Key::Backtab));
  EXPECT_EQ(h.wnd->Gestures().Focus().Slot(), order[3]);

  // Template 1 has four regions: the hidden fifth is passed over, and a
  // focused region that disappears takes the focus with it.
  h.window->Command(int(app::CommandId::Template));
  const std::vector<int32_t> second = interaction::RegionFocus::ReadingOrder(h.Card());
  ASSERT_EQ(second.size(), 4u);
  EXPECT_EQ(std::count(second.begin(), second.end(), 4), 0);
  h.window->Focus(true, FocusReason::Backward);
  EXPECT_EQ(h.wnd->Gestures().Focus().Slot(), second.back());
  EXPECT_FALSE(h.window->KeyPress(Key::Tab));
  h.window->Focus(true, FocusReason::Forward);
  while (h.wnd->Gestures().Focus().Slot() != 3) ASSERT_TRUE(h.window->KeyPress(Key::Tab));
  h.window->Command(int(app::CommandId::Template));  // three regions: slot 3 is gone
  EXPECT_EQ(h.wnd->Gestures().Focus().Slot(), -1);
}

// Regions on one line are read left to right even when their tops differ a
// little; a region clearly lower starts the next line.
TEST(Keyboard, ReadingOrderGroupsLinesByCentre) {
  engine::Card card;
  auto box = [](int32_t l, int32_t t, int32_t r, int32_t b) {
    engine::PhotoSlot s;
    s.left = l, s.top = t, s.right = r, s.bottom = b;
    return s;
  };
  card.slots = {box(500, 0, 700, 200),    // top right, a little higher
                box(0, 10, 200, 210),     // top left
                box(250, 300, 450, 500),  // second line, middle
                box(0, 320, 200, 520),    // second line, left, lower still
                box(0, 0, 0, 0)};         // hidden
  EXPECT_EQ(interaction::RegionFocus::ReadingOrder(card), (std::vector<int32_t>{1, 0, 3, 2}));
  card.slots[1] = box(0, 180, 200, 380);  // most of a region lower: a line of its own
  EXPECT_EQ(interaction::RegionFocus::ReadingOrder(card), (std::vector<int32_t>{0, 1, 3, 2}));
}

TEST(Keyboard, TheRingIsPaintedOnlyWhileTheWindowHasFocusAndNeverSaved) {
  Harness h;
  h.window->Focus(true, FocusReason::Forward);
  h.window->KeyPress(Key::Tab);
  h.window->ClearLogs();
  h.window->Paint();
  // The ring follows the region's edge: pieces in the card's pixels, all
  // within the region's box and touching each of its four sides.
  ASSERT_EQ(h.window->outlines.size(), 1u);
  const platform::scripted::DrawnOutline& ring = h.window->outlines[0];
  EXPECT_EQ(ring.target, h.CardRect());
  ASSERT_FALSE(ring.pieces.empty());
  const int32_t slot = h.wnd->Gestures().Focus().Slot();
  const Rect box = interaction::RegionFocus::OutlineOnScreen(h.Card(), h.CardRect(), slot);
  Rect reach{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
  for (const Rect& piece : ring.pieces) {
    const Rect onScreen{piece.left + ring.target.left, piece.top + ring.target.top,
                        piece.right + ring.target.left, piece.bottom + ring.target.top};
    EXPECT_TRUE(onScreen.left >= box.left && onScreen.right <= box.right &&
                onScreen.top >= box.top && onScreen.bottom <= box.bottom);
    reach = Rect{std::min(reach.left, onScreen.left), std::min(reach.top, onScreen.top),
                 std::max(reach.right, onScreen.right), std::max(reach.bottom, onScreen.bottom)};
  }
  const Rect inner = Box(h, slot);
  EXPECT_LE(std::abs(reach.left - inner.left), 1);
  EXPECT_LE(std::abs(reach.right - inner.right), 1);
  EXPECT_LE(std::abs(reach.top - inner.top), 1);
  EXPECT_LE(std::abs(reach.bottom - inner.bottom), 1);
  h.window->Focus(false);
  h.window->ClearLogs();
  h.window->Paint();
  EXPECT_TRUE(h.window->outlines.empty());
  // A click puts the keys on a region without showing a ring.
  h.window->Focus(true);
  h.Click(h.In(2));
  EXPECT_EQ(h.wnd->Gestures().Focus().Slot(), 2);
  EXPECT_FALSE(h.wnd->Gestures().Focus().RingVisible());
}

TEST(Keyboard, EnterSpaceAndCtrlOChooseAPhotoForTheRegion) {
  Harness h;
  h.Fill(0);
  // Nothing focused: Ctrl+O picks the first empty region.
  h.QueueOpen(h.files.Photo("a.png", 20, 10, Rgb{1, 2, 3}));
  EXPECT_TRUE(h.window->KeyPress(Letter('O'), kControl));
  EXPECT_EQ(h.Slot(1).photoWidth, 20u);
  h.TabTo(2);
  h.QueueOpen(h.files.Photo("b.png", 30, 10, Rgb{1, 2, 3}));
  EXPECT_TRUE(h.window->KeyPress(Key::Enter));
  EXPECT_EQ(h.Slot(2).photoWidth, 30u);
  h.QueueOpen(h.files.Photo("c.png", 40, 10, Rgb{1, 2, 3}));
  EXPECT_TRUE(h.window->KeyPress(Key::Space));  // replaces it
  EXPECT_EQ(h.Slot(2).photoWidth, 40u);
  EXPECT_EQ(h.window->openDialogs.size(), 3u);
}

TEST(Keyboard, ArrowsPlusMinusZeroAndDeleteEditTheFocusedPhoto) {
  Harness h;
  h.Fill(0, kWideW, kWideH);
  h.TabTo(0);
  EXPECT_EQ(h.wnd->View().HintText(), hints::kHintKeysMovePicture);
  // One screen pixel, or ten with Shift, as a drag of that length.
  h.window->KeyPress(Key::Right);
  EXPECT_FLOAT_EQ(h.Slot(0).panX, 0.5f - 1.0f / 1720);
  h.window->KeyPress(Key::Left, kShift);
  EXPECT_FLOAT_EQ(h.Slot(0).panX, 0.5f - 1.0f / 1720 + 10.0f / 1720);
  h.window->ClearLogs();
  h.window->KeyPress(Key::Plus);
  EXPECT_FLOAT_EQ(h.Slot(0).zoom, 1.25f);
  EXPECT_EQ(h.CardRepaints(), 1);
  h.window->KeyPress(Key::Plus);
  h.window->KeyPress(Key::Minus);
  EXPECT_FLOAT_EQ(h.Slot(0).zoom, 1.25f);
  h.window->KeyPress(Key::Down);  // now there is room up and down as well
  EXPECT_LT(h.Slot(0).panY, 0.5f);

  EXPECT_TRUE(h.window->KeyPress(Digit(0)));
  EXPECT_EQ(h.Slot(0).panX, 0.5f);
  EXPECT_EQ(h.Slot(0).panY, 0.5f);
  EXPECT_EQ(h.Slot(0).zoom, 1.0f);

  EXPECT_TRUE(h.window->KeyPress(Key::Delete));
  EXPECT_FALSE(h.Slot(0).HasPhoto());
  EXPECT_EQ(h.wnd->View().HintText(), hints::kHintPressEnterToAdd);
  // Undo and redo bring the photo and its sentence back, and take them again.
  EXPECT_TRUE(h.window->KeyPress(Letter('Z'), kControl));
  EXPECT_TRUE(h.Slot(0).HasPhoto());
  EXPECT_EQ(h.wnd->View().HintText(), hints::kHintKeysMovePicture);
  EXPECT_TRUE(h.window->KeyPress(Letter('Y'), kControl));
  EXPECT_FALSE(h.Slot(0).HasPhoto());
  EXPECT_EQ(h.wnd->View().HintText(), hints::kHintPressEnterToAdd);
  // A photo chosen with Enter: the sentence is the one for a photo.
  h.QueueOpen(h.files.Photo("d.png", 40, 10, Rgb{1, 2, 3}));
  EXPECT_TRUE(h.window->KeyPress(Key::Enter));
  EXPECT_EQ(h.wnd->View().HintText(), hints::kHintKeysMovePicture);
  h.Fill(0);
  EXPECT_TRUE(h.window->KeyPress(Key::Backspace));
  EXPECT_FALSE(h.Slot(0).HasPhoto());
  // On an empty region the keys do nothing, and say so.
  EXPECT_TRUE(h.window->KeyPress(Key::Right));
  EXPECT_FALSE(h.window->KeyPress(Letter('Q')));
}

TEST(Keyboard, EscapeDuringADragPutsThePhotoBack) {
  Harness h;
  h.Fill(0, kWideW, kWideH);
  h.Edit(0, [](engine::PhotoSlot& s) { s.panX = 0.3f; });
  const size_t steps = h.wnd->Document().History().UndoSteps();
  const ClientPoint p = h.In(0);
  h.Press(p);
  h.Move(ClientPoint{p.x - 200, p.y});
  ASSERT_NE(h.Slot(0).panX, 0.3f);
  EXPECT_TRUE(h.window->KeyPress(Key::Escape));
  EXPECT_EQ(h.Slot(0).panX, 0.3f);
  EXPECT_FALSE(h.window->HasPointerCapture());
  h.Move(ClientPoint{p.x - 300, p.y});  // moves no longer drag
  h.Release(ClientPoint{p.x - 300, p.y});
  EXPECT_EQ(h.Slot(0).panX, 0.3f);
  EXPECT_EQ(h.wnd->Document().History().UndoSteps(), steps);  // nothing happened to the card
  EXPECT_FALSE(h.window->KeyPress(Key::Escape));  // no drag, nothing to cancel
}

TEST(Keyboard, ShortcutsRunTheToolbarsCommands) {
  Harness h;
  h.window->KeyPress(Letter('T'), kControl);
  EXPECT_EQ(h.wnd->Document().State().design.builtInIndex, 1);
  h.window->KeyPress(Key::F1);
  ASSERT_EQ(h.platform.openedAddresses.size(), 1u);
  h.window->messageAnswers.push_back(MessageAnswer::No);  // regions are empty: no save
  h.window->KeyPress(Letter('S'), kControl);
  EXPECT_EQ(h.window->messages.size(), 1u);
}

TEST(Keyboard, BracketsTurnAndMTheMirrorsTheFocusedPhotoOneUndoStepEach) {
  Harness h;
  h.Fill(0, kWideW, kWideH);
  h.Fill(1);
  const engine::PhotoSlot before = h.Slot(0);
  const auto otherPhoto = h.Slot(1).photoPixels;
  h.TabTo(0);
  EXPECT_TRUE(h.window->KeyPress(Key::BracketRight));
  EXPECT_EQ(h.Slot(0).photoWidth, before.photoHeight);
  EXPECT_EQ(h.Slot(0).photoHeight, before.photoWidth);
  EXPECT_TRUE(h.window->KeyPress(Letter('M')));
  EXPECT_TRUE(h.window->KeyPress(Key::BracketLeft));
  // Turned right, mirrored, then turned left as seen: the mirror of a
  // photo turned right twice, which is a photo mirrored top to bottom.
  EXPECT_EQ(h.Slot(0).photoWidth, before.photoWidth);
  const engine::TurnState turn = h.wnd->Document().State().photos[0].turn;
  EXPECT_EQ(turn.quarters, 2);
  EXPECT_TRUE(turn.mirrored);
  EXPECT_EQ(h.Slot(1).photoPixels, otherPhoto);
  // The menu's Mirror acts on the region it was opened on, and every turn
  // is one undo step.
  h.window->menuAnswers.push_back(int(app::CommandId::Mirror));
  h.window->ContextMenu(Harness::At(h.In(1)));
  EXPECT_TRUE(h.wnd->Document().State().photos[1].turn.mirrored);
  for (int i = 0; i < 4; ++i) EXPECT_TRUE(h.window->KeyPress(Letter('Z'), kControl));
  EXPECT_EQ(h.Slot(0).photoPixels, before.photoPixels);
  EXPECT_TRUE(h.wnd->Document().State().photos[0].turn.Identity());
  EXPECT_FALSE(h.wnd->Document().State().photos[1].turn.mirrored);
}

TEST(RegionMenu, OffersWhatAppliesAndDoesIt) {
  Harness h;
  h.Fill(0, kWideW, kWideH);
  const ClientPoint p = h.In(0);
  h.window->ContextMenu(Harness::At(p));
  ASSERT_EQ(h.window->menus.size(), 1u);
  // The photo's commands, the words', the history's, the design's: each with its key.
  struct Item {
    const char* label;
    const char* shortcut;
    bool enabled;
  };
  const Item expected[] = {{"Choose photo...", "Enter", true},
                           {"Remove photo", "Delete", true},
                           {"Zoom in", "+", true},
                           {"Zoom out", "-", false},  // not zoomed in
                           {"Reset position and zoom", "0", false},  // centred, not zoomed
                           {"Turn left", "[", true},
                           {"Turn right", "]", true},
                           {"Mirror", "M", true},
                           {"", "", true},
                           {"Add text", "Ctrl+Shift+T", true},
                           {"", "", true},
                           {"Undo", "Ctrl+Z", true},
                           {"Redo", "Ctrl+Y", false},
                           {"", "", true},
                           {"Open layout...", "Ctrl+L", true},
                           {"New card", "Ctrl+N", true},
                           {"", "", true},
                           {"Open project...", "Ctrl+Shift+O", true},
                           {"Save project", "Ctrl+Shift+S", true},
                           {"Save project as...", "", true},
                           {"Recent projects", "", false}};  // none yet
  const std::vector<MenuItem>& items = h.window->menus[0];
  ASSERT_EQ(items.size(), std::size(expected));
  for (size_t i = 0; i < items.size(); ++i) {
    EXPECT_EQ(items[i].label, expected[i].label) << i;
    EXPECT_EQ(items[i].shortcut, expected[i].shortcut) << i;
    EXPECT_EQ(items[i].enabled, expected[i].enabled) << i;
    EXPECT_EQ(items[i].command == 0, *expected[i].label == 0) << i;
  }

  h.window->menuAnswers.push_back(int(app::CommandId::ZoomIn));
  h.window->ContextMenu(Harness::At(p));
  EXPECT_EQ(h.Slot(0).zoom, 1.25f);
  h.window->menuAnswers.push_back(int(app::CommandId::ResetPhoto));
  h.window->ContextMenu(Harness::At(p));
  EXPECT_TRUE(h.window->menus[2][4].enabled);
  EXPECT_EQ(h.Slot(0).zoom, 1.0f);
  h.window->menuAnswers.push_back(int(app::CommandId::Undo));
  h.window->ContextMenu(Harness::At(p));
  EXPECT_EQ(h.Slot(0).zoom, 1.25f);
  h.window->menuAnswers.push_back(int(app::CommandId::RemovePhoto));
  h.window->ContextMenu(Harness::At(p));
  EXPECT_FALSE(h.Slot(0).HasPhoto());

  // An empty region: only choosing applies. The keyboard's menu acts on the
  // focused region.
  h.window->menuAnswers.push_back(int(app::CommandId::ChoosePhoto));
  h.QueueOpen(h.files.Photo("m.png", 25, 25, Rgb{4, 4, 4}));
  h.TabTo(1);
  h.window->ContextMenu(Point{}, true);
  for (size_t i : {1, 2, 3, 4, 5, 6, 7}) EXPECT_FALSE(h.window->menus[5][i].enabled) << i;
  EXPECT_EQ(h.Slot(1).photoWidth, 25u);

  // Outside every region only words, the history and the layout apply.
  h.window->ContextMenu(Point{4, 4});
  EXPECT_FALSE(h.window->menus[6][0].enabled);
  EXPECT_TRUE(h.window->menus[6][9].enabled);
  EXPECT_TRUE(h.window->menus[6][11].enabled);
  EXPECT_TRUE(h.window->menus[6][14].enabled);
  h.window->menuAnswers.push_back(int(app::CommandId::OpenLayout));
  h.window->openAnswers.push_back(FileChoice{h.files.SimpleLayout("m.jli", 500, 300), 0});
  h.window->ContextMenu(Point{4, 4});
  EXPECT_EQ(h.Card().cardTemplate.width, 500u);
  EXPECT_EQ(h.window->openDialogs.back().title, "Open layout");
}

TEST(Wheel, NotchesOverAPhotoZoomAboutThePointer) {
  Harness h;
  h.Fill(0, kWideW, kWideH);
  const ClientPoint p = h.In(0);
  h.window->ClearLogs();
  h.window->Wheel(Harness::At(p), 120);
  EXPECT_FLOAT_EQ(h.Slot(0).zoom, 1.25f);
  h.window->Wheel(Harness::At(p), 60);  // half a notch of a smooth wheel
  EXPECT_NEAR(h.Slot(0).zoom, 1.25f * std::sqrt(1.25f), 1e-5);
  EXPECT_EQ(h.CardRepaints(), 2);
  h.window->Wheel(Harness::At(h.In(1)), 120);  // an empty region has nothing to zoom
  h.window->Wheel(Point{4, 4}, 120);
  EXPECT_EQ(h.CardRepaints(), 2);
  h.window->Wheel(Harness::At(p), -10000);
  EXPECT_EQ(h.Slot(0).zoom, 1.0f);
}
