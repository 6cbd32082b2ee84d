#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "interaction/RegionFocus.h"
#include "tests/interaction/InteractionHarness.h"

using namespace itest;

namespace {

constexpr ClientPoint kFrame{4, 4};
constexpr ClientPoint kToolbar{940, 100};
constexpr ClientPoint kHintLine{300, 610};

std::string LayoutFailure(const std::string& headline, const std::string& name,
                          const std::string& why) {
  return headline + "\n\"" + name + "\" " + why + ".";
}

// Every repaint asked for lies in `slot`'s outline, is the hint line or is
// the whole card: a drag over a region repaints its highlight and the hint.
void ExpectOnlyHighlightOr(Harness& h, int32_t slot, bool card) {
  const Rect outline = interaction::RegionFocus::OutlineOnScreen(h.Card(), h.CardRect(), slot);
  bool sawCard = false;
  for (const Rect& r : h.window->invalidations) {
    if (r == h.CardRect()) {
      sawCard = true;
      continue;
    }
    if (r == h.wnd->View().HintRect()) continue;
    EXPECT_TRUE(r.left >= outline.left && r.top >= outline.top && r.right <= outline.right &&
                r.bottom <= outline.bottom);
  }
  EXPECT_EQ(sawCard, card);
}

// A path of about `length` characters ending in `/name`, whose folders exist.
std::string LongPath(const std::string& base, size_t length, const std::string& name) {
  std::string path = base;
  while (path.size() + name.size() + 1 < length) path += "/" + std::string(100, 'd');
  std::filesystem::create_directories(path);
  return path + "/" + name;
}

}  // namespace

TEST(Drags, LayoutFilesAreWelcomeAnywhere) {
  Harness h;
  const std::vector<std::string> files = {"/cards/a.png", "/cards/x.jli", "/cards/b.png"};
  EXPECT_TRUE(h.Accepts(files, kToolbar));
  EXPECT_TRUE(h.Accepts(files, kHintLine));
  EXPECT_TRUE(h.Accepts(files, kFrame));
  EXPECT_TRUE(h.Accepts(files, h.In(4)));
  EXPECT_FALSE(h.Accepts({"/cards/a.png"}, kToolbar));
}

TEST(Drags, PhotosAreWelcomeOverRegionsOnly) {
  Harness h;
  h.Fill(1);
  const std::vector<std::string> photos = {"/photos/a.jpg", "/photos/b.png"};
  EXPECT_FALSE(h.Accepts(photos, kFrame));
  EXPECT_TRUE(h.Accepts(photos, h.In(0)));
  EXPECT_TRUE(h.Accepts(photos, h.In(1)));  // a filled region takes a new photo
  EXPECT_FALSE(h.Accepts(photos, kToolbar));
  EXPECT_FALSE(h.Accepts(photos, kHintLine));
  EXPECT_FALSE(h.Accepts(photos, ClientPoint{900, 300}));  // just right of the card

  // Dropping photos outside every region is refused: nothing loads.
  h.window->ClearLogs();
  EXPECT_FALSE(h.Drop({h.files.Photo("a.png", 20, 20, Rgb{9, 9, 9})}, kFrame));
  for (size_t i : {0, 2, 3, 4}) EXPECT_FALSE(h.Slot(i).HasPhoto());
  EXPECT_TRUE(h.window->invalidations.empty());
}

TEST(Drags, SomethingThatIsNotFilesIsOfferedCopyOverRegionsAndDropsNothing) {
  Harness h;
  EXPECT_TRUE(h.Accepts({}, h.In(0)));
  EXPECT_FALSE(h.Accepts({}, kFrame));
  h.window->ClearLogs();
  EXPECT_TRUE(h.Drop({}, h.In(3)));
  for (const engine::PhotoSlot& s : h.Card().slots) EXPECT_FALSE(s.HasPhoto());
  EXPECT_TRUE(h.window->messages.empty());
  ExpectOnlyHighlightOr(h, 3, false);
  EXPECT_EQ(h.window->busyStarts, 0);
}

TEST(Drags, SourcesThatDoNotAllowCopyingAreRefusedEverywhere) {
  Harness h;
  EXPECT_FALSE(h.Accepts({"/cards/x.jli"}, h.In(0), false));
  EXPECT_FALSE(h.Accepts({"/cards/x.jli"}, kFrame, false));
  EXPECT_FALSE(h.Accepts({"/photos/a.jpg"}, h.In(0), false));
}

TEST(Drags, LayoutNamesAreKnownByTheirEndingInAnyCase) {
  Harness h;
  const auto layout = [&](const std::string& name) { return h.Accepts({name}, kFrame); };
  EXPECT_TRUE(layout("/c/card.JLI"));
  EXPECT_TRUE(layout("/c/card.Jli"));
  EXPECT_TRUE(layout("/c/card.jLi"));
  EXPECT_TRUE(layout("a.jli"));  // five characters: long enough
  EXPECT_FALSE(layout(".jli"));  // four: not a file name
  EXPECT_FALSE(layout("/c/card.jlix"));
  EXPECT_FALSE(layout("/c/card.jl"));
  EXPECT_FALSE(layout("/c/card_jli"));
  EXPECT_FALSE(layout("/c/card.jpg"));
  // No length limit below the system's.
  EXPECT_TRUE(layout("/" + std::string(2000, 'n') + ".jli"));
  // The first layout name decides, wherever it stands in the list.
  EXPECT_TRUE(h.Accepts({"/a.png", ".jli", "/b.txt", "/c/z.JlI", "/d.png"}, kToolbar));
}

TEST(DropFiles, SeveralPhotosFillTheRegionThenTheEmptyOnesAsOneStepNamingWhatWasLeft) {
  Harness h;
  h.Fill(0);
  const std::string bad = h.files.Garbage("bad.png");
  const std::string missing = h.files.Folder() + "/missing.jpg";
  std::vector<std::string> good;
  for (uint32_t i = 0; i < 5; ++i)
    good.push_back(h.files.Photo("p" + std::to_string(i) + ".png", 40 + i, 30, Rgb{250, 0, 0}));
  h.window->ClearLogs();
  EXPECT_TRUE(h.Drop({bad, good[0], missing, good[1], good[2], good[3], good[4]}, h.In(2)));
  // The region dropped on, then the empty ones in slot order; a file that
  // could not be read takes no region.
  const std::pair<size_t, uint32_t> expected[] = {{2, 40}, {1, 41}, {3, 42}, {4, 43}};
  for (const auto& [slot, width] : expected) EXPECT_EQ(h.Slot(slot).photoWidth, width) << slot;
  EXPECT_EQ(h.Slot(0).photoWidth, 64u);  // was filled: left alone
  ExpectOnlyHighlightOr(h, 2, true);
  ASSERT_EQ(h.window->messages.size(), 1u);
  EXPECT_EQ(h.window->messages[0].message.text,
            "\"bad.png\" cannot be used as a photo: it is not a JPEG, PNG, HEIC, WebP or TIFF "
            "picture.\n"
            "\"missing.jpg\" cannot be used as a photo: it cannot be read (no such file or "
            "directory).\n"
            "\"p4.png\" was not opened: the card has no empty region left.");
  EXPECT_EQ(h.window->busyStarts, 1);
  EXPECT_EQ(h.window->busyDepth, 0);
  // One step of the history for the whole drop.
  EXPECT_TRUE(h.window->KeyPress(platform::Letter('Z'), platform::kControl));
  for (size_t i : {1, 2, 3, 4}) EXPECT_FALSE(h.Slot(i).HasPhoto()) << i;
  EXPECT_TRUE(h.Slot(0).HasPhoto());

  // Dropped on a filled region: replaced, and the next empty one filled.
  h.window->messages.clear();
  h.Drop({good[4], good[3]}, h.In(0));
  EXPECT_EQ(h.Slot(0).photoWidth, 44u);
  EXPECT_EQ(h.Slot(1).photoWidth, 43u);
  EXPECT_TRUE(h.window->messages.empty());
}

TEST(DropFiles, SeveralFilesChosenInTheOpenDialogFillThreeRegions) {
  Harness h;
  std::vector<std::string> paths;
  for (uint32_t i = 0; i < 3; ++i)
    paths.push_back(h.files.Photo("c" + std::to_string(i) + ".png", 20 + i, 20, Rgb{1, 2, 3}));
  h.window->openAnswers.push_back(FileChoice{paths[0], 0, paths});
  h.window->menuAnswers.push_back(int(app::CommandId::ChoosePhoto));
  h.window->ContextMenu(Harness::At(h.In(3)));
  ASSERT_EQ(h.window->openDialogs.size(), 1u);
  EXPECT_TRUE(h.window->openDialogs[0].several);
  EXPECT_EQ(h.Slot(3).photoWidth, 20u);
  EXPECT_EQ(h.Slot(0).photoWidth, 21u);
  EXPECT_EQ(h.Slot(1).photoWidth, 22u);
  EXPECT_FALSE(h.Slot(2).HasPhoto());
  EXPECT_TRUE(h.window->messages.empty());
}

TEST(DropFiles, OutsideEveryRegionPhotosArePassedOverAndTheLayoutLoads) {
  Harness h;
  const std::string photo = h.files.Photo("p.png", 20, 20, Rgb{1, 1, 1});
  const std::string layout = h.files.SimpleLayout("wide.jli", 600, 400);
  EXPECT_TRUE(h.Drop({photo, layout}, kFrame));
  EXPECT_EQ(h.Card().cardTemplate.width, 600u);
  EXPECT_EQ(h.Card().cardTemplate.height, 400u);
  EXPECT_EQ(h.wnd->Document().State().design.layoutPath, layout);
  EXPECT_EQ(h.wnd->Document().State().design.cycleIndex, 0);
  for (const engine::PhotoSlot& s : h.Card().slots) EXPECT_FALSE(s.HasPhoto());
  EXPECT_TRUE(h.window->messages.empty());
  EXPECT_EQ(h.CardRect(), (Rect{0, 0, 900, 600}));  // the same proportions: the same room

  // The next Template click goes on with the built-in cycle.
  h.window->Command(int(app::CommandId::Template));
  EXPECT_EQ(h.wnd->Document().State().design.builtInIndex, 1);
  EXPECT_EQ(h.Card().cardTemplate.width, 900u);
}

TEST(DropFiles, ABadLayoutShowsOneMessageAndTheNextLayoutLoads) {
  Harness h;
  const std::string bad = h.files.Garbage("broken.jli");
  const std::string good = h.files.SimpleLayout("good.jli", 640, 480);
  const std::string later = h.files.SimpleLayout("later.jli", 300, 300);
  h.Drop({bad, good, later}, h.In(0));
  ASSERT_EQ(h.window->messages.size(), 1u);
  const Message& box = h.window->messages[0].message;
  EXPECT_EQ(box.caption, "Tessary");
  EXPECT_EQ(box.buttons, MessageButtons::Ok);
  EXPECT_EQ(box.text, LayoutFailure("This file is not a Tessary layout.", "broken.jli",
                                     "is not a layout file (no \"JQLayeredImage_1\" header)"));
  EXPECT_EQ(h.Card().cardTemplate.width, 640u);
  for (const engine::PhotoSlot& s : h.Card().slots) EXPECT_FALSE(s.HasPhoto());

  // Two failures, two messages, each with its reason.
  h.Drop({bad, h.files.Folder() + "/gone.jli"}, kFrame);
  ASSERT_EQ(h.window->messages.size(), 3u);
  EXPECT_EQ(h.window->messages[2].message.text, LayoutFailure("The file cannot be read.", "gone.jli",
                          "cannot be read (no such file or directory)"));
  EXPECT_EQ(h.Card().cardTemplate.width, 640u);
  EXPECT_EQ(h.window->busyDepth, 0);
}

TEST(DropFiles, OneDropChangesAtMostOneThing) {
  Harness h;
  const std::string photo = h.files.Photo("p.png", 20, 20, Rgb{1, 1, 1});
  const std::string layout = h.files.SimpleLayout("l.jli", 600, 400);
  h.Drop({photo, layout}, h.In(1));
  EXPECT_TRUE(h.Slot(1).HasPhoto());
  EXPECT_EQ(h.Card().cardTemplate.width, 900u);

  h.Drop({layout, photo}, h.In(3));
  EXPECT_EQ(h.Card().cardTemplate.width, 600u);
  EXPECT_FALSE(h.Slot(3).HasPhoto());
  EXPECT_FALSE(h.Slot(0).HasPhoto());
  EXPECT_TRUE(h.window->messages.empty());
}

TEST(DropFiles, LayoutEndingsInAnyCaseLoadAndJlixIsTriedAsAPhoto) {
  Harness h;
  h.Drop({h.files.SimpleLayout("upper.JLI", 500, 300)}, kFrame);
  EXPECT_EQ(h.Card().cardTemplate.width, 500u);
  h.Drop({h.files.SimpleLayout("mixed.Jli", 400, 300)}, kFrame);
  EXPECT_EQ(h.Card().cardTemplate.width, 400u);
  EXPECT_TRUE(h.window->messages.empty());

  // A photo under a name ending in .jlix: no layout, but a photo.
  const std::string jlix = h.files.Photo("photo.jlix", 33, 22, Rgb{5, 6, 7});
  EXPECT_FALSE(h.Accepts({jlix}, kToolbar));
  h.Drop({jlix}, h.In(0));
  ASSERT_TRUE(h.Slot(0).HasPhoto());
  EXPECT_EQ(h.Slot(0).photoWidth, 33u);
  EXPECT_EQ(h.Card().cardTemplate.width, 400u);
  EXPECT_TRUE(h.window->messages.empty());
}

TEST(DropFiles, PathsLongerThanTheOldLimitOpen) {
  Harness h;
  const std::string deep = LongPath(h.files.Folder(), 400, "l.jli");
  ASSERT_GE(deep.size(), 300u);
  std::filesystem::copy_file(h.files.SimpleLayout("source.jli", 500, 300), deep);
  h.Drop({deep}, kFrame);
  EXPECT_EQ(h.Card().cardTemplate.width, 500u);
  const std::string photo = LongPath(h.files.Folder(), 420, "p.png");
  std::filesystem::copy_file(h.files.Photo("p.png", 21, 21, Rgb{1, 2, 3}), photo);
  h.Drop({photo}, h.In(0));
  EXPECT_EQ(h.Slot(0).photoWidth, 21u);
  EXPECT_TRUE(h.window->messages.empty());
}

TEST(OpenFiles, TheLayoutFirstThenPhotosIntoTheEmptyRegionsInOrder) {
  Harness h;
  h.Fill(0);
  const std::string a = h.files.Photo("a.png", 11, 11, Rgb{1, 1, 1});
  const std::string b = h.files.Photo("b.jpg", 12, 12, Rgb{2, 2, 2}, true);
  const std::string bad = h.files.Garbage("c.png");
  const std::string d = h.files.Photo("d.png", 14, 14, Rgb{4, 4, 4});
  Rgba map(600, 400), overlay(600, 400);
  map.Fill(10, 10, 290, 390, 255, 0, 0);   // slot 0
  map.Fill(310, 10, 590, 190, 0, 255, 0);  // slot 1
  map.Fill(310, 210, 590, 390, 0, 0, 255);  // slot 2
  const std::string layout = h.files.Layout("three.jli", map, overlay);

  h.wnd->Actions().OpenFiles({a, bad, layout, b, d, d});
  EXPECT_EQ(h.Card().cardTemplate.width, 600u);
  // Slot 0 keeps the photo it had; a and b fill slots 1 and 2; the bad file
  // is passed over and the region it would have had goes to the next one.
  EXPECT_EQ(h.Slot(0).photoWidth, 64u);
  EXPECT_EQ(h.Slot(1).photoWidth, 11u);
  EXPECT_EQ(h.Slot(2).photoWidth, 12u);
  EXPECT_FALSE(h.Slot(3).HasPhoto());  // hidden now: no photo goes there
  // The bad file is reported as a dropped one would be; d found no empty
  // region, twice.
  ASSERT_EQ(h.window->messages.size(), 3u);
  EXPECT_EQ(h.window->messages[0].message.text,
            "This file is not a picture.\n\"c.png\" is not a JPEG, PNG, HEIC, WebP or TIFF picture.");
  EXPECT_EQ(h.window->messages[1].message.text,
            "\"d.png\" was not opened: the card has no empty region left.");
  EXPECT_EQ(h.window->busyDepth, 0);
  EXPECT_TRUE(h.wnd->Document().History().CanUndo());  // what was opened is a change to the card
}

TEST(Drags, TheRegionUnderTheFilesIsHighlightedAndTheHintSaysWhatADropWouldDo) {
  Harness h;
  const std::string photo = h.files.Photo("a.png", 20, 20, Rgb{9, 9, 9});
  const std::string layout = h.files.SimpleLayout("l.jli", 600, 400);
  const char* before = h.wnd->View().HintText();

  EXPECT_TRUE(h.window->DragFiles({photo}, Harness::At(h.In(2))));
  EXPECT_EQ(h.wnd->Gestures().DropSlot(), 2);
  EXPECT_EQ(h.wnd->View().HintText(), hints::kHintDropPhoto);
  h.window->ClearLogs();
  h.window->Paint();
  // The region's own edge, wider than the keyboard's ring, in the selection
  // colour; no ring, as the keyboard is not on the card.
  ASSERT_EQ(h.window->outlines.size(), 1u);
  const platform::scripted::DrawnOutline& edge = h.window->outlines[0];
  ASSERT_FALSE(edge.pieces.empty());
  // Across the middle of the region, its left edge is four pixels wide.
  const Rect box = interaction::RegionFocus::BoxOnScreen(h.Card(), h.CardRect(), 2);
  const int32_t middle = (box.top + box.bottom) / 2 - edge.target.top;
  const Rect* left = nullptr;
  for (const Rect& piece : edge.pieces)
    if (piece.top <= middle && middle < piece.bottom && (!left || piece.left < left->left))
      left = &piece;
  ASSERT_NE(left, nullptr);
  EXPECT_EQ(left->Width(), 4);
  EXPECT_EQ(h.window->PixelAt(edge.target.left + left->left, edge.target.top + middle),
            platform::scripted::kScriptedSelection);
  EXPECT_NE(h.window->PixelAt(edge.target.left + left->right, edge.target.top + middle),
            platform::scripted::kScriptedSelection);

  // The highlight follows the pointer; a layout names no region.
  EXPECT_TRUE(h.window->DragFiles({photo}, Harness::At(h.In(4))));
  EXPECT_EQ(h.wnd->Gestures().DropSlot(), 4);
  EXPECT_TRUE(h.window->DragFiles({layout, photo}, Harness::At(h.In(0))));
  EXPECT_EQ(h.wnd->Gestures().DropSlot(), -1);
  EXPECT_EQ(h.wnd->View().HintText(), hints::kHintDropLayout);
  // Photos where no region takes them: nothing highlighted, nothing promised.
  EXPECT_FALSE(h.window->DragFiles({photo}, Harness::At(kFrame)));
  EXPECT_EQ(h.wnd->Gestures().DropSlot(), -1);
  EXPECT_NE(h.wnd->View().HintText(), hints::kHintDropPhoto);

  // Gone without a drop, or dropped: the card is as it was before the drag.
  EXPECT_TRUE(h.window->DragFiles({photo}, Harness::At(h.In(1))));
  h.window->DragLeave();
  EXPECT_EQ(h.wnd->Gestures().DropSlot(), -1);
  EXPECT_EQ(h.wnd->View().HintText(), before);
  h.window->ClearLogs();
  h.window->Paint();
  EXPECT_TRUE(h.window->outlines.empty());
  EXPECT_TRUE(h.Drop({photo}, h.In(1)));
  EXPECT_EQ(h.wnd->Gestures().DropSlot(), -1);
  EXPECT_TRUE(h.Slot(1).HasPhoto());
}
