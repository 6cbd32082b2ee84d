#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "document/CardDocument.h"
#include "document/DesignColours.h"
#include "imagefiles/ImageFiles.h"

namespace {

using document::Commit;
using document::Gesture;

struct Listener : document::DocumentObserver {
  std::vector<uint32_t> told;
  void DocumentChanged(uint32_t what) override { told.push_back(what); }
};

text::TextBox Box(const std::string& words, double left = 0.2) {
  text::TextBox box;
  box.words = words;
  box.left = left;
  return box;
}

text::TextBox Typed(const document::CardDocument& doc, size_t index, const std::string& more) {
  text::TextBox box = doc.State().texts[index];
  box.words += more;
  return box;
}

// Each run of edits on a card that already has two boxes, the undo steps
// it must make, and every step undone must give back the very state before it.
struct Case {
  const char* name;
  std::function<void(document::CardDocument&)> edits;
  size_t steps;
};

TEST(TextEdits, EachRunOfEditsIsTheStepsAUserExpectsAndUndoGivesEveryStateBack) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const Case cases[] = {
      {"letters typed without a pause are one step",
       [](document::CardDocument& d) {
         for (const char* letter : {"a", "b", "c"})
           d.ChangeText(0, Typed(d, 0, letter), Commit::Gesture, Gesture::Typing);
       },
       1},
      {"a pause starts a new step",
       [](document::CardDocument& d) {
         d.ChangeText(0, Typed(d, 0, "a"), Commit::Gesture, Gesture::Typing);
         d.CloseGesture();
         d.ChangeText(0, Typed(d, 0, "b"), Commit::Gesture, Gesture::Typing);
       },
       2},
      {"typing in another box starts a new step",
       [](document::CardDocument& d) {
         d.ChangeText(0, Typed(d, 0, "a"), Commit::Gesture, Gesture::Typing);
         d.ChangeText(1, Typed(d, 1, "b"), Commit::Gesture, Gesture::Typing);
         d.ChangeText(1, Typed(d, 1, "c"), Commit::Gesture, Gesture::Typing);
       },
       2},
      {"each setting is a step, and ends the typing",
       [](document::CardDocument& d) {
         d.ChangeText(0, Typed(d, 0, "a"), Commit::Gesture, Gesture::Typing);
         text::TextBox box = d.State().texts[0];
         box.sizePoints = 48;
         d.ChangeText(0, box, Commit::Step);
         box.colour = 0xffcc2200;
         d.ChangeText(0, box, Commit::Step);
         d.ChangeText(0, Typed(d, 0, "b"), Commit::Gesture, Gesture::Typing);
       },
       4},
      {"a drag is one step at its end",
       [](document::CardDocument& d) {
         for (double left : {0.25, 0.3, 0.35}) {
           text::TextBox box = d.State().texts[1];
           box.left = left;
           d.ChangeText(1, box, Commit::Later);
         }
         d.CommitPending();
       },
       1},
      {"nudges in a burst are one step",
       [](document::CardDocument& d) {
         for (int i = 0; i < 4; ++i) {
           text::TextBox box = d.State().texts[0];
           box.top += 0.01;
           d.ChangeText(0, box, Commit::Gesture, Gesture::TextNudge);
         }
       },
       1},
      {"added and removed boxes are a step each",
       [](document::CardDocument& d) {
         EXPECT_EQ(d.AddText(Box("third")), 2);
         EXPECT_TRUE(d.RemoveText(0));
       },
       2},
      {"what makes no sense changes nothing",
       [nan](document::CardDocument& d) {
         text::TextBox bad = Box("x", nan);
         EXPECT_EQ(d.AddText(bad), -1);
         EXPECT_FALSE(d.ChangeText(0, bad, Commit::Step));
         bad = Box("x");
         bad.width = 0;
         EXPECT_FALSE(d.ChangeText(0, bad, Commit::Step));
         bad = Box("x");
         bad.sizePoints = std::numeric_limits<double>::infinity();
         EXPECT_FALSE(d.ChangeText(0, bad, Commit::Step));
         EXPECT_FALSE(d.ChangeText(2, Box("x"), Commit::Step));
         EXPECT_FALSE(d.ChangeText(0, d.State().texts[0], Commit::Step));  // no change
         EXPECT_FALSE(d.RemoveText(2));
       },
       0},
  };
  imagefiles::ImageFiles reader;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    document::CardDocument doc(reader);
    ASSERT_TRUE(doc.Start(0));
    ASSERT_EQ(doc.AddText(Box("first")), 0);
    ASSERT_EQ(doc.AddText(Box("second", 0.5)), 1);
    doc.CloseGesture();
    const document::CardState start = doc.State();
    const size_t before = doc.History().UndoSteps();
    Listener listener;
    doc.AddObserver(&listener);
    c.edits(doc);
    EXPECT_EQ(doc.History().UndoSteps() - before, c.steps);
    // The views hear of every change the card shows, and of nothing else.
    const bool shown = std::any_of(listener.told.begin(), listener.told.end(),
                                   [](uint32_t what) { return what & document::kCardChanged; });
    EXPECT_EQ(shown, c.steps != 0);
    const document::CardState after = doc.State();
    for (size_t i = 0; i < c.steps; ++i) ASSERT_TRUE(doc.Undo());
    EXPECT_TRUE(document::SameState(doc.State(), start));
    for (size_t i = 0; i < c.steps; ++i) ASSERT_TRUE(doc.Redo());
    EXPECT_TRUE(document::SameState(doc.State(), after));
    doc.RemoveObserver(&listener);
  }
}

TEST(TextEdits, TheDesignsPaletteHoldsItsMainColoursApartAndEndsInBlackAndWhite) {
  // A design of two thirds red, one third dark blue, with a see-through hole.
  engine::Card card;
  const uint32_t w = 60, h = 30;
  auto map = std::make_unique<uint8_t[]>(size_t(w) * h * 4);
  auto overlay = std::make_unique<uint8_t[]>(size_t(w) * h * 4);
  for (uint32_t y = 0; y < h; ++y)
    for (uint32_t x = 0; x < w; ++x) {
      uint8_t* p = &overlay[(size_t(y) * w + x) * 4];
      const bool hole = x >= 40 && y < 10;
      const bool red = x < 40;
      p[0] = red ? 200 : 20, p[1] = red ? 30 : 30, p[2] = red ? 40 : 120;
      p[3] = hole ? 0 : 255;
    }
  engine::SetTemplate(card, w, h, map.get(), overlay.get());
  const std::vector<uint32_t> colours = document::DesignColours(card.cardTemplate);
  EXPECT_EQ(colours, (std::vector<uint32_t>{0xffc81e28, 0xff141e78, 0xff000000, 0xffffffff}));
  // Without a design there are still colours to choose.
  EXPECT_EQ(document::DesignColours(engine::CardTemplate{}),
            (std::vector<uint32_t>{0xff000000, 0xffffffff}));
}

}  // namespace
