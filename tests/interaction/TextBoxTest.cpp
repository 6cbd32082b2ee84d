#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "document/CardExport.h"
#include "document/DesignColours.h"
#include "document/DesignTextPlace.h"
#include "interaction/InteractionHarness.h"
#include "interaction/TextBoxes.h"

using namespace itest;
using interaction::SafeArea;
using interaction::TextHit;
using interaction::TextPart;

namespace {

text::TextBox At(double left, double top, double width, double height) {
  text::TextBox box;
  box.left = left, box.top = top, box.width = width, box.height = height;
  return box;
}

// The built-in designs are 6 x 4 in: an eighth of an inch is 1/48 of the
// width and 1/32 of the height.
const SafeArea kSafe{1.0 / 48, 1.0 / 32, 47.0 / 48, 31.0 / 32};

std::vector<double> Place(const text::TextBox& b) { return {b.left, b.top, b.width, b.height}; }

TEST(TextBoxes, MovesAndResizesStayInsideTheMarginUnlessFreedAndNeverTurnInsideOut) {
  {
    Harness h;
    const SafeArea safe = interaction::SafeAreaOf(h.wnd->Document().State());
    EXPECT_DOUBLE_EQ(safe.left, kSafe.left);
    EXPECT_DOUBLE_EQ(safe.top, kSafe.top);
    EXPECT_DOUBLE_EQ(safe.right, kSafe.right);
    EXPECT_DOUBLE_EQ(safe.bottom, kSafe.bottom);
    EXPECT_DOUBLE_EQ(interaction::DesignWidthInches(h.wnd->Document().State()), 6.0);
  }
  const text::TextBox start = At(0.25, 0.5, 0.5, 0.25);
  const double kMin = 0.05;
  const struct {
    const char* name;
    TextPart part;
    double dx, dy;
    bool keepInside;
    std::vector<double> expected;  // left, top, width, height
  } cases[] = {
      {"a move inside the margin is exact", TextPart::Body, 0.1, -0.2, true, {0.35, 0.3, 0.5, 0.25}},
      {"a move past the left stops at the margin", TextPart::Body, -0.5, 0, true,
       {kSafe.left, 0.5, 0.5, 0.25}},
      {"a move past the bottom right stops at the margin", TextPart::Body, 0.9, 0.9, true,
       {kSafe.right - 0.5, kSafe.bottom - 0.25, 0.5, 0.25}},
      {"freed, a move goes past the edge", TextPart::Body, -0.5, 0.6, false,
       {-0.25, 1.1, 0.5, 0.25}},
      {"the right handle stops at the margin", TextPart::Right, 0.9, 0.3, true,
       {0.25, 0.5, kSafe.right - 0.25, 0.25}},
      {"the top left corner moves two edges", TextPart::TopLeft, -0.1, -0.1, true,
       {0.15, 0.4, 0.6, 0.35}},
      {"the top handle stops at the margin", TextPart::Top, 0.2, -0.9, true,
       {0.25, kSafe.top, 0.5, 0.75 - kSafe.top}},
      {"dragged across, the left edge keeps the least width", TextPart::Left, 0.9, 0, true,
       {0.75 - kMin, 0.5, kMin, 0.25}},
      {"dragged across, the bottom edge keeps the least height", TextPart::BottomRight, 0,
       -0.9, false, {0.25, 0.5, 0.5, kMin}},
      {"freed, the bottom handle goes past the edge", TextPart::Bottom, 0, 0.5, false,
       {0.25, 0.5, 0.5, 0.75}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const text::TextBox moved =
        c.part == TextPart::Body
            ? interaction::MoveTextBox(start, c.dx, c.dy, kSafe, c.keepInside)
            : interaction::ResizeTextBox(start, c.part, c.dx, c.dy, kSafe, c.keepInside, kMin,
                                         kMin);
    const std::vector<double> got = Place(moved);
    for (size_t i = 0; i < 4; ++i) EXPECT_NEAR(got[i], c.expected[i], 1e-12) << "value " << i;
    EXPECT_EQ(moved.words, start.words);
  }
}

TEST(TextBoxes, HandlesOfTheSelectedBoxComeFirstThenTheTopmostBox) {
  const Rect card{100, 50, 1000, 650};  // 900 x 600
  // Box 0 at (280, 170)-(640, 350); box 1 over its right part.
  const std::vector<text::TextBox> boxes = {At(0.2, 0.2, 0.4, 0.3), At(0.5, 0.25, 0.3, 0.2)};
  const int32_t grip = 8;
  const struct {
    const char* name;
    Point p;
    int32_t selected;
    TextHit expected;
  } cases[] = {
      {"inside box 0 only", {300, 300}, -1, {0, TextPart::Body}},
      {"where both lie, the later one", {600, 250}, -1, {1, TextPart::Body}},
      {"where both lie, the selected one's handle", {640, 260}, 0, {0, TextPart::Right}},
      {"a corner handle, just outside the box", {283, 173}, 0, {0, TextPart::TopLeft}},
      {"a handle reaches out of its box", {277, 167}, 0, {0, TextPart::TopLeft}},
      {"no handles on a box not selected", {277, 167}, 1, {-1, TextPart::None}},
      {"the bottom edge's middle", {460, 352}, 0, {0, TextPart::Bottom}},
      {"outside every box", {900, 600}, 0, {-1, TextPart::None}},
      {"the right edge is outside, half-open", {640, 340}, -1, {-1, TextPart::None}},
      {"a selection out of range is ignored", {300, 300}, 7, {0, TextPart::Body}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const TextHit hit = interaction::HitTestText(boxes, card, c.p, c.selected, grip);
    EXPECT_EQ(hit.index, c.expected.index);
    EXPECT_EQ(int(hit.part), int(c.expected.part));
  }
  EXPECT_EQ(interaction::TextBoxOnScreen(boxes[0], card), (Rect{280, 170, 460 + 180, 350}));
}

std::vector<uint8_t> Bytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// The main window: Add text, typing, a size and a colour, a drag, each one
// step of the history, and a save that is the export of the same card.
TEST(TextWindow, AddTypeSizeColourDragAreStepsUndoneOneByOneAndTheSaveIsTheExport) {
  Harness h;
  ScriptedWindow& w = *h.window;
  document::CardDocument& doc = h.wnd->Document();
  const auto Texts = [&] { return doc.State().texts; };

  // The toolbar has the button, with the window's other buttons.
  const auto button = std::find_if(w.toolbar.begin(), w.toolbar.end(), [](const ToolbarButton& b) {
    return b.command == int(app::CommandId::AddText);
  });
  ASSERT_NE(button, w.toolbar.end());
  EXPECT_EQ(button->label, "Add text");
  EXPECT_FALSE(std::all_of(button->icon.rgba.begin(), button->icon.rgba.end(),
                           [](uint8_t v) { return v == 0; }));

  // Add text: a box at the design's place, selected, the editor on its words.
  const size_t steps = doc.History().UndoSteps();
  w.Command(int(app::CommandId::AddText));
  ASSERT_EQ(Texts().size(), 1u);
  text::TextBox place = document::DesignTextPlace(doc.State());
  EXPECT_EQ(Place(Texts()[0]), Place(place));
  EXPECT_EQ(h.wnd->Gestures().SelectedText(), 0);
  ASSERT_TRUE(w.TextPanelOpen());
  EXPECT_TRUE(w.textPanelFocusedWords);
  EXPECT_EQ(w.textPanel.words, Texts()[0].words);
  EXPECT_EQ(w.textPanel.palette, document::DesignColours(h.Card().cardTemplate));
  EXPECT_EQ(w.textPanel.fonts.front(), text::FontFamilies().front());

  // Typing: the card follows every letter; the letters are one step.
  for (const char* words : {"H", "Hi", "Hi!"})
    ASSERT_TRUE(w.EditTextPanel([&](TextPanelModel& m) { m.words = words; },
                                TextPanelChange::Words));
  EXPECT_EQ(Texts()[0].words, "Hi!");
  // A pause ends the burst: the next letters are a step of their own.
  ASSERT_TRUE(w.FireTimer(app::TextActions::kTypingTimer));
  ASSERT_TRUE(w.EditTextPanel([&](TextPanelModel& m) { m.words = "Hi!\nLove"; },
                              TextPanelChange::Words));
  // The size and a swatch of the design's colours: a step each.
  ASSERT_TRUE(w.EditTextPanel([&](TextPanelModel& m) { m.sizePoints = 48; },
                              TextPanelChange::Size));
  const uint32_t swatch = w.textPanel.palette.front();
  ASSERT_TRUE(w.EditTextPanel([&](TextPanelModel& m) { m.colour = swatch; },
                              TextPanelChange::Colour));
  EXPECT_EQ(Texts()[0].sizePoints, 48);
  EXPECT_EQ(Texts()[0].colour, swatch);
  EXPECT_EQ(doc.History().UndoSteps(), steps + 5);

  // A drag of the box: the pointer's pixels as fractions of the card, one
  // step at the release, the cursor a move cursor over it.
  const Rect onScreen = interaction::TextBoxOnScreen(Texts()[0], h.CardRect());
  const Point from{onScreen.left + 40, onScreen.top + 10};
  w.Move(from);
  EXPECT_EQ(w.Cursor(), CursorShape::Move);
  const text::TextBox before = Texts()[0];
  w.Press(from);
  w.Move(Point{from.x - 30, from.y - 20});
  w.Move(Point{from.x - 60, from.y - 40});
  w.Release(Point{from.x - 60, from.y - 40});
  EXPECT_DOUBLE_EQ(Texts()[0].left, before.left - 60.0 / h.CardRect().Width());
  EXPECT_DOUBLE_EQ(Texts()[0].top, before.top - 40.0 / h.CardRect().Height());
  EXPECT_EQ(doc.History().UndoSteps(), steps + 6);

  // Saved at print size, the card is the export of the same state.
  TempDir dir;
  for (size_t slot = 0; slot < h.Card().slots.size(); ++slot) h.Put(slot, 40, 30, 90);
  w.saveAnswers.push_back(FileChoice{(dir.path / "card.png").string(), 1});
  ASSERT_TRUE(h.wnd->Actions().SaveCard());
  const document::DesignInfo info = document::DescribeDesign(doc.State());
  ASSERT_TRUE(info.PrintSize());
  ASSERT_TRUE(document::ExportCard(doc.State(), *info.PrintSize(), h.reader,
                                   (dir.path / "export.png").string(),
                                   imagefiles::CardFormat::Png));
  EXPECT_EQ(Bytes(dir.path / "card.png"), Bytes(dir.path / "export.png"));
  for (size_t slot = 0; slot < h.Card().slots.size(); ++slot) ASSERT_TRUE(doc.Undo());

  // Undo takes back each step in turn, and the editor shows what undo gave.
  const struct {
    const char* name;
    std::function<bool(const text::TextBox&)> holds;
  } undone[] = {
      {"the drag", [&](const text::TextBox& b) { return b.left == before.left && b.top == before.top; }},
      {"the colour", [&](const text::TextBox& b) { return b.colour == place.colour; }},
      {"the size", [&](const text::TextBox& b) { return b.sizePoints == place.sizePoints; }},
      {"the second line", [&](const text::TextBox& b) { return b.words == "Hi!"; }},
      {"the first letters", [&](const text::TextBox& b) { return b.words == "Your words here"; }},
  };
  for (const auto& step : undone) {
    SCOPED_TRACE(step.name);
    ASSERT_TRUE(doc.Undo());
    ASSERT_EQ(Texts().size(), 1u);
    EXPECT_TRUE(step.holds(Texts()[0]));
    EXPECT_EQ(w.textPanel.words, Texts()[0].words);
  }
  ASSERT_TRUE(doc.Undo());  // Add text
  EXPECT_TRUE(Texts().empty());
  EXPECT_EQ(h.wnd->Gestures().SelectedText(), -1);
  EXPECT_FALSE(w.TextPanelOpen());
}

TEST(TextWindow, KeysActOnTheSelectedBoxAndDeleteKeepsItsMeaningWithoutOne) {
  Harness h;
  ScriptedWindow& w = *h.window;
  document::CardDocument& doc = h.wnd->Document();
  h.Fill(0);
  w.Command(int(app::CommandId::AddText));
  ASSERT_EQ(doc.State().texts.size(), 1u);
  w.CloseTextPanelByHand();
  w.Focus(true);

  // Arrows nudge the box a screen pixel at a time, Shift ten; one step.
  const text::TextBox start = doc.State().texts[0];
  const size_t steps = doc.History().UndoSteps();
  EXPECT_TRUE(w.KeyPress(Key::Right));
  EXPECT_TRUE(w.KeyPress(Key::Down, kShift));
  EXPECT_DOUBLE_EQ(doc.State().texts[0].left, start.left + 1.0 / h.CardRect().Width());
  EXPECT_DOUBLE_EQ(doc.State().texts[0].top, start.top + 10.0 / h.CardRect().Height());
  EXPECT_EQ(doc.History().UndoSteps(), steps + 1);
  // Nudges stop at the margin.
  for (int i = 0; i < 40; ++i) w.KeyPress(Key::Down, kShift);
  const text::TextBox& low = doc.State().texts[0];
  EXPECT_NEAR(low.top + low.height, kSafe.bottom, 1e-12);

  // Enter opens the editor again; Delete removes the box, not the photo.
  EXPECT_TRUE(w.KeyPress(Key::Enter));
  EXPECT_TRUE(w.TextPanelOpen());
  EXPECT_TRUE(w.KeyPress(Key::Delete));
  EXPECT_TRUE(doc.State().texts.empty());
  EXPECT_FALSE(w.TextPanelOpen());
  EXPECT_TRUE(h.Slot(0).HasPhoto());

  // With no box selected Delete removes the focused region's photo, as before.
  h.TabTo(0);
  EXPECT_TRUE(w.KeyPress(Key::Delete));
  EXPECT_FALSE(h.Slot(0).HasPhoto());

  // A click on the box selects it over the photo under it; Escape lets go.
  ASSERT_TRUE(doc.Undo());  // the photo
  ASSERT_TRUE(doc.Undo());  // the box
  ASSERT_EQ(doc.State().texts.size(), 1u);
  const Rect box = interaction::TextBoxOnScreen(doc.State().texts[0], h.CardRect());
  const Point inside{(box.left + box.right) / 2, (box.top + box.bottom) / 2};
  w.Click(inside);
  EXPECT_EQ(h.wnd->Gestures().SelectedText(), 0);
  EXPECT_TRUE(w.openDialogs.empty());  // no photo was asked for
  EXPECT_TRUE(w.KeyPress(Key::Escape));
  EXPECT_EQ(h.wnd->Gestures().SelectedText(), -1);
  // A double-click on it opens the editor.
  w.DoubleClick(inside);
  EXPECT_TRUE(w.TextPanelOpen());
}

}  // namespace
