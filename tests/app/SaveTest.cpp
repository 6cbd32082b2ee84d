#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "engine/card/SlotEditing.h"
#include "tests/app/AppHarness.h"

using namespace apptest;
namespace fs = std::filesystem;

namespace {

std::vector<uint8_t> ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

bool IsJpeg(const std::vector<uint8_t>& b) {
  return b.size() > 3 && b[0] == 0xFF && b[1] == 0xD8 && b[2] == 0xFF;
}

bool IsPng(const std::vector<uint8_t>& b) { return b.size() > 8 && b[0] == 0x89 && b[1] == 'P'; }

// A window whose card has a photo in every region, so a save asks nothing
// about empty ones.
struct FullCard : AppHarness {
  FullCard() {
    for (size_t slot = 0; slot < Card().slots.size(); ++slot) Put(slot, 40, 30, 90);
  }
  void Answer(const fs::path& path, size_t filter) {
    window->saveAnswers.push_back(FileChoice{path.string(), filter});
  }
};

// The dialog's types: each of the design's sizes, print first, in both
// formats. The harness saves at screen size.
constexpr size_t kPrintJpeg = 0, kPrintPng = 1, kJpeg = 2, kPng = 3;
// Then each size as a PDF document.
constexpr size_t kPrintPdf = 4, kPdf = 5;

}  // namespace

TEST(Saving, ATypedExtensionDecidesTheFormatAndABareNameGetsTheChosenOne) {
  TempDir dir;
  FullCard h;
  h.Answer(dir.path / "card.png", kJpeg);
  h.Answer(dir.path / "card.JPEG", kPng);
  h.Answer(dir.path / "bare", kPng);
  h.Answer(dir.path / "card.v2", kJpeg);
  h.Answer(dir.path / "photo.jpe", kPng);
  h.window->ClearLogs();
  for (int i = 0; i < 5; ++i) EXPECT_TRUE(h.wnd->Actions().SaveCard());
  EXPECT_TRUE(IsPng(ReadBytes(dir.path / "card.png")));
  EXPECT_TRUE(IsJpeg(ReadBytes(dir.path / "card.JPEG")));
  EXPECT_TRUE(IsPng(ReadBytes(dir.path / "bare.png")));
  EXPECT_TRUE(IsJpeg(ReadBytes(dir.path / "card.v2.jpg")));
  EXPECT_TRUE(IsJpeg(ReadBytes(dir.path / "photo.jpe")));
  EXPECT_TRUE(h.window->messages.empty());
  // Nothing on screen changes but the hint line, which tells of the save.
  for (const Rect& r : h.window->invalidations) EXPECT_EQ(r, h.wnd->View().HintRect());
  EXPECT_EQ(h.window->busyStarts, 5);
  EXPECT_EQ(h.window->busyDepth, 0);

  // The whole template, 900 x 600, whatever the window's size.
  const std::vector<uint8_t> png = ReadBytes(dir.path / "card.png");
  ASSERT_GT(png.size(), 24u);
  EXPECT_EQ((png[16] << 24 | png[17] << 16 | png[18] << 8 | png[19]), 900);
  EXPECT_EQ((png[20] << 24 | png[21] << 16 | png[22] << 8 | png[23]), 600);

  const FileDialog& d = h.window->saveDialogs[0];
  EXPECT_EQ(d.title, "Save card");
  ASSERT_EQ(d.filters.size(), 6u);
  EXPECT_EQ(d.filters[kPrintJpeg].description,
            "Print: 6 x 4 in, 1800 x 1200 at 300 ppi - JPEG picture");
  EXPECT_EQ(d.filters[kPrintPng].description,
            "Print: 6 x 4 in, 1800 x 1200 at 300 ppi - PNG picture");
  EXPECT_EQ(d.filters[kJpeg].description, "Screen: 900 x 600 - JPEG picture");
  EXPECT_EQ(d.filters[kPng].description, "Screen: 900 x 600 - PNG picture");
  for (size_t i : {kPrintJpeg, kJpeg})
    EXPECT_EQ(d.filters[i].patterns, std::vector<std::string>{"*.jpg"});
  for (size_t i : {kPrintPng, kPng})
    EXPECT_EQ(d.filters[i].patterns, std::vector<std::string>{"*.png"});
  EXPECT_EQ(d.filters[kPrintPdf].description,
            "Print: 6 x 4 in, 1800 x 1200 at 300 ppi - PDF document");
  EXPECT_EQ(d.filters[kPdf].description, "Screen: 900 x 600 - PDF document");
  for (size_t i : {kPrintPdf, kPdf})
    EXPECT_EQ(d.filters[i].patterns, std::vector<std::string>{"*.pdf"});
  EXPECT_EQ(d.initialFilter, kJpeg);  // the size saved last, JPEG
  EXPECT_EQ(d.initialName, "card");
  EXPECT_EQ(d.initialFolder, "");  // nothing opened or saved yet: the desktop's choice
  EXPECT_EQ(h.window->saveDialogs[1].initialFolder, dir.path.string());
}

TEST(Saving, APdfIsTheCardAtItsPhysicalSizeAndItsTypeIsOfferedAgain) {
  TempDir dir;
  FullCard h;
  auto contains = [](const std::vector<uint8_t>& bytes, const std::string& text) {
    return std::search(bytes.begin(), bytes.end(), text.begin(), text.end()) != bytes.end();
  };
  h.Answer(dir.path / "bare", kPdf);
  h.Answer(dir.path / "typed.PDF", kJpeg);  // the typed extension decides, as for pictures
  h.Answer(dir.path / "picture.png", kPdf);
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(h.wnd->Actions().SaveCard());
  EXPECT_TRUE(h.window->messages.empty());
  for (const char* name : {"bare.pdf", "typed.PDF"}) {
    const std::vector<uint8_t> pdf = ReadBytes(dir.path / name);
    EXPECT_TRUE(contains(pdf, "%PDF-")) << name;
    // 900 x 600 at 150 ppi: 6 x 4 in, though the JPEG inside says 100 dpi
    // as card files always have.
    EXPECT_TRUE(contains(pdf, "/MediaBox [ 0 0 432 288 ]")) << name;
  }
  EXPECT_TRUE(IsPng(ReadBytes(dir.path / "picture.png")));
  EXPECT_FALSE(fs::exists(dir.path / "picture.png.pdf"));
  EXPECT_EQ(h.window->saveDialogs[1].initialFilter, kPdf);
  EXPECT_EQ(h.window->saveDialogs[2].initialFilter, kJpeg);  // typed.PDF came from the JPEG type
  h.window->saveAnswers.clear();
  EXPECT_FALSE(h.wnd->Actions().SaveCard());  // cancelled
  EXPECT_EQ(h.window->saveDialogs.back().initialFilter, kPdf);
}

TEST(Saving, ReplacingAFileAsksFirstAndNoLetsTheUserChooseAgain) {
  TempDir dir;
  FullCard h;
  const fs::path old = dir.path / "card.png";
  { std::ofstream(old, std::ios::binary) << "old card"; }
  h.Answer(old, kPng);                   // exists: asked, and No
  h.Answer(dir.path / "other.png", kPng);  // the dialog again: a free name
  h.window->messageAnswers.push_back(MessageAnswer::No);
  EXPECT_TRUE(h.wnd->Actions().SaveCard());
  ASSERT_EQ(h.window->messages.size(), 1u);
  EXPECT_EQ(h.window->messages[0].message.text,
            "\"card.png\" already exists. Do you want to replace it?");
  EXPECT_EQ(h.window->messages[0].message.buttons, MessageButtons::YesNo);
  EXPECT_EQ(ReadBytes(old).size(), 8u);
  EXPECT_TRUE(IsPng(ReadBytes(dir.path / "other.png")));
  ASSERT_EQ(h.window->saveDialogs.size(), 2u);
  EXPECT_EQ(h.window->saveDialogs[1].initialName, "card.png");  // offered again as typed
  EXPECT_EQ(h.window->saveDialogs[1].initialFilter, kPng);

  h.Answer(old, kPng);  // Yes this time
  EXPECT_TRUE(h.wnd->Actions().SaveCard());
  EXPECT_TRUE(IsPng(ReadBytes(old)));
  // A name whose extension was appended is asked about by that name.
  h.Answer(dir.path / "other", kPng);
  h.window->messageAnswers.push_back(MessageAnswer::No);
  EXPECT_FALSE(h.wnd->Actions().SaveCard());  // No, then the dialog is cancelled
  EXPECT_EQ(h.window->messages.back().message.text,
            "\"other.png\" already exists. Do you want to replace it?");
}

TEST(Saving, EmptyRegionsAreAskedAboutBeforeTheDialog) {
  TempDir dir;
  AppHarness h;
  h.window->messageAnswers.push_back(MessageAnswer::No);
  EXPECT_FALSE(h.wnd->Actions().SaveCard());
  ASSERT_EQ(h.window->messages.size(), 1u);
  EXPECT_EQ(h.window->messages[0].message.text,
            "5 regions are still empty: the card would show the placeholder there. Save anyway?");
  EXPECT_EQ(h.window->messages[0].message.labels,
            (std::vector<std::string>{"Save Anyway", "Go Back"}));
  EXPECT_TRUE(h.window->saveDialogs.empty());

  for (size_t i = 0; i < 4; ++i) h.Put(i, 8, 8, 7);
  h.window->saveAnswers.push_back(FileChoice{(dir.path / "card.jpg").string(), kJpeg});
  EXPECT_TRUE(h.wnd->Actions().SaveCard());  // Yes, the scripted first answer
  EXPECT_EQ(h.window->messages.back().message.text,
            "1 region is still empty: the card would show the placeholder there. Save anyway?");
  EXPECT_TRUE(IsJpeg(ReadBytes(dir.path / "card.jpg")));
}

TEST(Saving, AFailedSaveSaysWhyAndKeepsWhatWasThere) {
  TempDir dir;
  FullCard h;
  const fs::path missing = dir.path / "no-such-folder" / "card.jpg";
  h.Answer(missing, kJpeg);
  EXPECT_FALSE(h.wnd->Actions().SaveCard());
  ASSERT_EQ(h.window->messages.size(), 1u);
  const Message& box = h.window->messages[0].message;
  EXPECT_EQ(box.caption, "Tessary");
  EXPECT_EQ(box.buttons, MessageButtons::Ok);
  EXPECT_EQ(box.text.rfind("The card could not be saved to \"" + missing.string() + "\": ", 0), 0u)
      << box.text;
  EXPECT_NE(box.text.find("No such file or directory"), std::string::npos) << box.text;
  EXPECT_EQ(h.window->messages[0].busyDepth, 0);  // the wait cursor was gone first

  // A folder of that name is refused, and left as it was.
  const fs::path folder = dir.path / "taken.jpg";
  fs::create_directories(folder);
  { std::ofstream(folder / "inside") << "kept"; }
  h.Answer(folder, kJpeg);
  EXPECT_FALSE(h.wnd->Actions().SaveCard());
  EXPECT_EQ(h.window->messages.size(), 2u);
  EXPECT_TRUE(fs::is_directory(folder));
  EXPECT_EQ(ReadBytes(folder / "inside").size(), 4u);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path), fs::directory_iterator()), 1);

#ifndef _WIN32
  // A FIFO no program reads: the window says so at once instead of waiting.
  const fs::path fifo = dir.path / "pipe.jpg";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  h.Answer(fifo, kJpeg);
  EXPECT_FALSE(h.wnd->Actions().SaveCard());
  EXPECT_NE(h.window->messages.back().message.text.find("no program is reading it"),
            std::string::npos)
      << h.window->messages.back().message.text;
  EXPECT_TRUE(h.wnd->Document().ChangedSinceSave());  // not saved
#endif

  // Cancelled: no file, no wait cursor, no message.
  h.window->ClearLogs();
  const size_t messages = h.window->messages.size();
  EXPECT_FALSE(h.wnd->Actions().SaveCard());
  EXPECT_EQ(h.window->busyStarts, 0);
  EXPECT_EQ(h.window->messages.size(), messages);
}

TEST(Saving, AfterAFailureTheDialogComesBackAndASaveIsToldUntilTheNextChange) {
  TempDir dir;
  FullCard h;
  // Fails, then the dialog is there again with the message, where the user
  // was; cancelled there, the next save starts in no folder that failed.
  h.Answer(dir.path / "no-such-folder" / "first.png", kPng);
  EXPECT_FALSE(h.wnd->Actions().SaveCard());
  ASSERT_EQ(h.window->messages.size(), 1u);
  EXPECT_EQ(h.window->messages[0].message.icon, MessageIcon::Error);
  ASSERT_EQ(h.window->saveDialogs.size(), 2u);
  EXPECT_EQ(h.window->saveDialogs[1].initialName, "first.png");
  EXPECT_EQ(h.window->saveDialogs[1].initialFilter, kPng);
  EXPECT_EQ(h.window->saveDialogs[1].initialFolder, (dir.path / "no-such-folder").string());
  EXPECT_TRUE(h.wnd->Document().ChangedSinceSave());

  h.Answer(dir.path / "no-such-folder" / "first.png", kPng);  // fails again
  h.Answer(dir.path / "mine", kPng);                          // then works
  EXPECT_TRUE(h.wnd->Actions().SaveCard());
  EXPECT_EQ(h.window->saveDialogs[2].initialFolder, "");  // the failed folder is not kept
  EXPECT_EQ(h.window->messages.size(), 2u);
  EXPECT_TRUE(IsPng(ReadBytes(dir.path / "mine.png")));
  EXPECT_EQ(std::string(h.wnd->View().HintText()), "Saved \"mine.png\" (900 x 600).");
  // The pointer going over the card does not take the news away.
  h.window->Move(Point{h.CardRect().left + 100, h.CardRect().top + 100});
  h.window->Move(Point{h.CardRect().left + 450, h.CardRect().top + 300});
  EXPECT_EQ(std::string(h.wnd->View().HintText()), "Saved \"mine.png\" (900 x 600).");

  // Next time: the same type and name, in the folder that worked.
  EXPECT_FALSE(h.wnd->Actions().SaveCard());
  EXPECT_EQ(h.window->saveDialogs.back().initialName, "mine.png");
  EXPECT_EQ(h.window->saveDialogs.back().initialFilter, kPng);
  EXPECT_EQ(h.window->saveDialogs.back().initialFolder, dir.path.string());

  // A change to the card ends the news.
  h.Put(0, 10, 10, 5);
  EXPECT_EQ(std::string(h.wnd->View().HintText()).rfind("Saved", 0), std::string::npos);
}

TEST(Saving, AVeryLongPathIsSavedAndNotRefused) {
  TempDir dir;
  FullCard h;
  // Well past the 260 characters some desktops once limited paths to.
  fs::path deep = dir.path;
  for (int i = 0; i < 12; ++i) deep /= std::string(30, char('a' + i));
  fs::create_directories(deep);
  const fs::path target = deep / "card.png";
  ASSERT_GT(target.string().size(), 300u);
  h.Answer(target, kPng);
  EXPECT_TRUE(h.wnd->Actions().SaveCard());
  EXPECT_TRUE(IsPng(ReadBytes(target)));
  EXPECT_TRUE(h.window->messages.empty());
}
