#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/WebAddresses.h"
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

bool IsPng(const std::vector<uint8_t>& b) {
  static const uint8_t kMagic[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  return b.size() > 8 && std::equal(kMagic, kMagic + 8, b.begin());
}

struct TempDir {
  TempDir() {
    path = fs::temp_directory_path() /
           ("tessary-app-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
            "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(path);
    fs::create_directories(path);
  }
  ~TempDir() {
    std::error_code e;
    fs::remove_all(path, e);
  }
  fs::path path;
};

}  // namespace

TEST(Toolbar, FourButtonsWithIconsLabelsAndASeparator) {
  AppHarness h;
  const std::vector<ToolbarButton>& tb = h.window->toolbar;
  ASSERT_EQ(tb.size(), 4u);
  const int commands[] = {100, 101, 102, 103};
  const char* labels[] = {"Save", "Template", "Donate", "Help"};
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(tb[i].command, commands[i]) << i;
    EXPECT_EQ(tb[i].label, labels[i]) << i;
    EXPECT_EQ(tb[i].icon.width, 48) << i;
    EXPECT_EQ(tb[i].icon.rgba.size(), 48u * 48 * 4) << i;
    EXPECT_EQ(tb[i].separatorBefore, i == 2) << i;  // between Template and Donate
  }
  // Each button's own icon: no two are alike.
  EXPECT_NE(tb[0].icon.rgba, tb[1].icon.rgba);
  EXPECT_NE(tb[2].icon.rgba, tb[3].icon.rgba);
  EXPECT_EQ(h.window->toolbarRect, (Rect{904, 0, 968, 600}));
}

TEST(Commands, TemplateCyclesThroughTheBuiltInsUnderTheWaitCursor) {
  AppHarness h;
  const size_t expectedSlots[] = {4, 3, 5};
  const int32_t expectedIndex[] = {1, 2, 0};
  for (int i = 0; i < 3; ++i) {
    h.window->ClearLogs();
    h.window->Command(101);
    EXPECT_EQ(h.Card().cardTemplate.builtInTemplateIndex, expectedIndex[i]);
    EXPECT_EQ(h.Card().slots.size(), 5u);  // slots are never removed
    size_t visible = 0;
    for (const engine::PhotoSlot& s : h.Card().slots) visible += s.Hidden() ? 0 : 1;
    EXPECT_EQ(visible, expectedSlots[i]);
    EXPECT_EQ(h.window->busyStarts, 1);
    EXPECT_EQ(h.window->busyDepth, 0);
    EXPECT_EQ(h.window->invalidations, std::vector<Rect>{h.Client()});
  }
  // Template 2's first slot is the yellow region.
  h.window->Command(101);
  h.window->Command(101);
  EXPECT_EQ(h.Card().slots[0].keyColour, 0x20C0D8u);
}

TEST(Commands, SaveWritesTheFormatOfTheChosenFilter) {
  TempDir dir;
  AppHarness h;
  const fs::path asJpeg = dir.path / "card.png";  // JPEG filter, PNG name
  const fs::path asPng = dir.path / "card.jpg";   // PNG filter, JPEG name
  h.window->saveAnswers.push_back(FileChoice{asJpeg.string(), 0});
  h.window->saveAnswers.push_back(FileChoice{asPng.string(), 1});
  h.window->saveAnswers.push_back(FileChoice{(dir.path / "bare").string(), 1});
  h.window->ClearLogs();
  for (int i = 0; i < 3; ++i) h.window->Command(100);
  EXPECT_TRUE(IsJpeg(ReadBytes(asJpeg)));
  EXPECT_TRUE(IsPng(ReadBytes(asPng)));
  EXPECT_TRUE(IsPng(ReadBytes(dir.path / "bare.png")));  // the chosen type's extension
  EXPECT_TRUE(h.window->messages.empty());
  EXPECT_TRUE(h.window->invalidations.empty());  // a save changes nothing on screen
  EXPECT_EQ(h.window->busyStarts, 3);
  EXPECT_EQ(h.window->busyDepth, 0);

  // The PNG is the whole template, 900 x 600, whatever the window's size.
  const std::vector<uint8_t> png = ReadBytes(asPng);
  ASSERT_GT(png.size(), 24u);
  EXPECT_EQ((png[16] << 24 | png[17] << 16 | png[18] << 8 | png[19]), 900);
  EXPECT_EQ((png[20] << 24 | png[21] << 16 | png[22] << 8 | png[23]), 600);

  ASSERT_EQ(h.window->saveDialogs.size(), 3u);
  const FileDialog& d = h.window->saveDialogs[0];
  EXPECT_EQ(d.title, "Save card");
  ASSERT_EQ(d.filters.size(), 2u);
  EXPECT_EQ(d.filters[0].description, "JPEG picture files");
  EXPECT_EQ(d.filters[0].patterns, std::vector<std::string>{"*.jpg"});
  EXPECT_EQ(d.filters[1].description, "PNG picture files");
  EXPECT_EQ(d.filters[1].patterns, std::vector<std::string>{"*.png"});
  EXPECT_EQ(d.initialFilter, 0u);
  EXPECT_EQ(d.initialName, "card");
}

TEST(Commands, CancelledSaveDoesNothing) {
  TempDir dir;
  AppHarness h;
  h.window->Command(100);  // no answer queued: cancelled
  EXPECT_EQ(h.window->saveDialogs.size(), 1u);
  EXPECT_EQ(h.window->busyStarts, 0);
  EXPECT_TRUE(fs::is_empty(dir.path));
  EXPECT_TRUE(h.window->messages.empty());
}

TEST(Commands, FailedSaveTellsTheUserAndKeepsTheOldFile) {
  TempDir dir;
  AppHarness h;
  const fs::path missing = dir.path / "no-such-folder" / "card.jpg";
  h.window->saveAnswers.push_back(FileChoice{missing.string(), 0});
  h.window->Command(100);
  ASSERT_EQ(h.window->messages.size(), 1u);
  const Message& box = h.window->messages[0].message;
  EXPECT_EQ(box.caption, "Tessary");
  EXPECT_EQ(box.buttons, MessageButtons::Ok);
  EXPECT_EQ(box.text, "The card could not be saved to \"" + missing.string() + "\".");
  // The wait cursor was gone before the message came up.
  EXPECT_EQ(h.window->messages[0].busyDepth, 0);

  // A target that cannot be replaced is left as it was: a folder of that
  // name (refused even to root), and a file in a read-only folder.
  const fs::path folder = dir.path / "taken.jpg";
  fs::create_directories(folder);
  { std::ofstream(folder / "inside") << "kept"; }
  h.window->saveAnswers.push_back(FileChoice{folder.string(), 0});
  h.window->Command(100);
  EXPECT_EQ(h.window->messages.size(), 2u);
  EXPECT_TRUE(fs::is_directory(folder));
  EXPECT_EQ(ReadBytes(folder / "inside").size(), 4u);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path), fs::directory_iterator()), 1);

  const fs::path locked = dir.path / "locked";
  fs::create_directories(locked);
  const fs::path old = locked / "card.png";
  { std::ofstream(old, std::ios::binary) << "old card"; }
  fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec);
  const bool enforced = !std::ofstream(locked / "probe").good();  // root ignores permissions
  h.window->saveAnswers.push_back(FileChoice{old.string(), 1});
  h.window->Command(100);
  fs::permissions(locked, fs::perms::owner_all);
  if (enforced) {
    EXPECT_EQ(h.window->messages.size(), 3u);
    const std::vector<uint8_t> bytes = ReadBytes(old);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "old card");
  }
}

TEST(Commands, AVeryLongPathIsSavedAndNotRefused) {
  TempDir dir;
  AppHarness h;
  // Well past the 260 characters some desktops once limited paths to.
  fs::path deep = dir.path;
  for (int i = 0; i < 12; ++i) deep /= std::string(30, char('a' + i));
  fs::create_directories(deep);
  const fs::path target = deep / "card.png";
  ASSERT_GT(target.string().size(), 300u);
  h.window->saveAnswers.push_back(FileChoice{target.string(), 1});
  h.window->Command(100);
  EXPECT_TRUE(IsPng(ReadBytes(target)));
  EXPECT_TRUE(h.window->messages.empty());
}

TEST(Commands, HelpAndDonateOpenTheirPagesAndChangeNothing) {
  AppHarness h;
  h.window->ClearLogs();
  const Rect card = h.CardRect();
  h.window->Command(103);
  h.window->Command(102);
  ASSERT_EQ(h.platform.openedAddresses.size(), 2u);
  EXPECT_EQ(h.platform.openedAddresses[0], app::HelpAddress());
  EXPECT_EQ(h.platform.openedAddresses[1], app::DonateAddress());
  EXPECT_NE(app::DonateAddress().find("paypal"), std::string::npos);
  EXPECT_EQ(app::GuidelineAddress(), app::HelpAddress() + "#custom-layouts");
  EXPECT_TRUE(h.window->invalidations.empty());
  EXPECT_EQ(h.CardRect(), card);
  EXPECT_EQ(h.Card().cardTemplate.builtInTemplateIndex, 0);
}

TEST(WebAddresses, InstalledHelpPageIsFoundBesideOrUnderTheProgram) {
  TempDir dir;
  fs::create_directories(dir.path / "bin");
  fs::create_directories(dir.path / "share" / "tessary");
  { std::ofstream(dir.path / "share" / "tessary" / "help.html") << "<html>"; }
  const std::string installed = app::InstalledHelpPage((dir.path / "bin").string());
  EXPECT_EQ(installed, app::FileAddress(
                           fs::canonical(dir.path / "share" / "tessary" / "help.html").string()));
  { std::ofstream(dir.path / "bin" / "help.html") << "<html>"; }
  EXPECT_EQ(app::InstalledHelpPage((dir.path / "bin").string()),
            app::FileAddress(fs::canonical(dir.path / "bin" / "help.html").string()));
  EXPECT_EQ(app::FileAddress("/a b/c#d.html"), "file:///a%20b/c%23d.html");
}
