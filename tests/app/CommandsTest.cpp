#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/WebAddresses.h"
#include "interaction/SimpleDropTarget.h"
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

TEST(Toolbar, StylesImagesAndButtonsInOrder) {
  AppHarness h;
  ScriptedToolbar* tb = h.Toolbar();
  ASSERT_NE(tb, nullptr);
  EXPECT_EQ(tb->style, WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS |
                           TBSTYLE_TRANSPARENT | TBSTYLE_CUSTOMERASE | CCS_VERT |
                           CCS_NODIVIDER | CCS_NOPARENTALIGN | CCS_NORESIZE);
  EXPECT_EQ(tb->exStyle, TBSTYLE_EX_MIXEDBUTTONS);
  EXPECT_EQ(tb->structSize, sizeof(TBBUTTON));
  auto* images = static_cast<ScriptedImageList*>(tb->imageList);
  ASSERT_EQ(images, h.wnd->GetToolbarImages());
  EXPECT_EQ(images->cx, 48);
  EXPECT_EQ(images->flags, ILC_COLOR32 | ILC_MASK);
  ASSERT_EQ(images->Count(), 4);

  struct Expected {
    int32_t image, id;
    uint8_t state, style;
    const char* label;
  } expected[] = {{0, 100, TBSTATE_ENABLED | TBSTATE_WRAP, BTNS_BUTTON, "Save"},
                  {3, 101, TBSTATE_ENABLED | TBSTATE_WRAP, BTNS_BUTTON, "Template"},
                  {0, 0, TBSTATE_WRAP, BTNS_SEP, ""},
                  {1, 102, TBSTATE_ENABLED | TBSTATE_WRAP, BTNS_BUTTON, "Donate"},
                  {2, 103, TBSTATE_ENABLED | TBSTATE_WRAP, BTNS_BUTTON, "Help"}};
  ASSERT_EQ(tb->buttons.size(), 5u);
  for (size_t i = 0; i < 5; ++i) {
    const RecordedButton& b = tb->buttons[i];
    EXPECT_EQ(b.button.idCommand, expected[i].id) << i;
    EXPECT_EQ(b.button.fsState, expected[i].state) << i;
    EXPECT_EQ(b.button.fsStyle, expected[i].style) << i;
    EXPECT_EQ(b.label, expected[i].label) << i;
    if (expected[i].style == BTNS_BUTTON) {
      EXPECT_EQ(b.button.iBitmap, expected[i].image) << i;
    }
  }
  // Image 0 is icon 203 and image 3 icon 206, whatever their pixels.
  EXPECT_EQ(images->icons[0].width, 48);
  ASSERT_GE(tb->moves.size(), 1u);
  EXPECT_EQ(tb->moves.front().rect, (Rect{904, 0, 968, 600}));
}

TEST(Commands, TemplateCyclesThroughTheBuiltInsUnderAWaitCursor) {
  AppHarness h;
  const Cursor wait = h.platform.CursorHandle(CursorId::Wait);
  const Cursor before = h.platform.currentCursor;
  const size_t expectedSlots[] = {4, 3, 5};
  const int32_t expectedIndex[] = {1, 2, 0};
  for (int i = 0; i < 3; ++i) {
    h.window->ClearLogs();
    EXPECT_TRUE(h.Toolbar()->ClickButton(101));
    EXPECT_EQ(h.wnd->GetCard().cardTemplate.builtInTemplateIndex, expectedIndex[i]);
    EXPECT_EQ(h.wnd->GetCard().slots.size(), 5u);  // slots are never removed
    size_t visible = 0;
    for (const engine::PhotoSlot& s : h.wnd->GetCard().slots) visible += s.Hidden() ? 0 : 1;
    EXPECT_EQ(visible, expectedSlots[i]);
    EXPECT_EQ(h.platform.currentCursor, before);
    ASSERT_EQ(h.window->invalidations.size(), 1u);
    EXPECT_FALSE(h.window->invalidations[0].erase);
  }
  EXPECT_EQ(h.platform.TimesSet(wait), 3);
  // Template 2's first slot is the yellow region.
  h.Toolbar()->ClickButton(101);
  h.Toolbar()->ClickButton(101);
  EXPECT_EQ(h.wnd->GetCard().slots[0].keyColour, 0x20C0D8u);
}

TEST(Commands, SaveWritesTheFormatOfTheChosenFilter) {
  TempDir dir;
  AppHarness h;
  const fs::path asJpeg = dir.path / "card.png";  // JPEG filter, PNG name
  const fs::path asPng = dir.path / "card.jpg";   // PNG filter, JPEG name
  h.platform.QueueSaveFile(asJpeg.string(), 1);
  h.platform.QueueSaveFile(asPng.string(), 2);
  h.platform.QueueSaveFile((dir.path / "other").string(), 3);
  h.window->ClearLogs();
  const Cursor before = h.platform.currentCursor;
  h.window->Command(100);
  h.window->Command(100);
  h.window->Command(100);
  EXPECT_TRUE(IsJpeg(ReadBytes(asJpeg)));
  EXPECT_TRUE(IsPng(ReadBytes(asPng)));
  EXPECT_FALSE(fs::exists(dir.path / "other"));
  EXPECT_TRUE(h.platform.messageBoxes.empty());
  EXPECT_TRUE(h.window->invalidations.empty());  // a save changes nothing on screen
  EXPECT_EQ(h.platform.TimesSet(h.platform.CursorHandle(CursorId::Wait)), 3);
  EXPECT_EQ(h.platform.currentCursor, before);

  // The PNG is the whole template, 900 x 600, whatever the window's size.
  const std::vector<uint8_t> png = ReadBytes(asPng);
  ASSERT_GT(png.size(), 24u);
  EXPECT_EQ((png[16] << 24 | png[17] << 16 | png[18] << 8 | png[19]), 900);
  EXPECT_EQ((png[20] << 24 | png[21] << 16 | png[22] << 8 | png[23]), 600);

  ASSERT_EQ(h.platform.saveDialogs.size(), 3u);
  const OPENFILENAME& ofn = h.platform.saveDialogs[0];
  EXPECT_EQ(ofn.owner, h.window);
  ASSERT_EQ(ofn.filters.size(), 2u);
  EXPECT_EQ(ofn.filters[0].description, "JPEG picture files");
  EXPECT_EQ(ofn.filters[0].pattern, "*.jpg");
  EXPECT_EQ(ofn.filters[1].description, "PNG picture files");
  EXPECT_EQ(ofn.filters[1].pattern, "*.png");
  EXPECT_EQ(ofn.filterIndex, 0u);
  EXPECT_EQ(ofn.file, "card");
  EXPECT_EQ(ofn.maxFile, 260u);
  EXPECT_EQ(ofn.title, "Save card");
  EXPECT_EQ(ofn.defaultExtension, "jpg");
  EXPECT_EQ(ofn.flags, OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_EXPLORER | OFN_ENABLESIZING);
}

TEST(Commands, CancelledSaveDoesNothing) {
  TempDir dir;
  AppHarness h;
  h.platform.QueueSaveCancel();
  h.window->Command(100);
  EXPECT_EQ(h.platform.saveDialogs.size(), 1u);
  EXPECT_EQ(h.platform.TimesSet(h.platform.CursorHandle(CursorId::Wait)), 0);
  EXPECT_TRUE(fs::is_empty(dir.path));
  EXPECT_TRUE(h.platform.messageBoxes.empty());
}

TEST(Commands, FailedSaveTellsTheUserAndKeepsTheOldFile) {
  TempDir dir;
  AppHarness h;
  const fs::path missing = dir.path / "no-such-folder" / "card.jpg";
  h.platform.QueueSaveFile(missing.string(), 1);
  h.window->Command(100);
  ASSERT_EQ(h.platform.messageBoxes.size(), 1u);
  const MessageBoxRecord& box = h.platform.messageBoxes[0];
  EXPECT_EQ(box.owner, h.window);
  EXPECT_EQ(box.caption, "Tessary");
  EXPECT_EQ(box.type, MB_OK);
  EXPECT_EQ(box.text, "The card could not be saved to \"" + missing.string() + "\".");
  // The wait cursor was gone before the message came up.
  EXPECT_EQ(h.platform.currentCursor, h.platform.CursorHandle(CursorId::Arrow));

  // A target that cannot be replaced is left as it was: a folder of that name
  // (refused even to root), and a file in a read-only folder.
  const fs::path folder = dir.path / "taken.jpg";
  fs::create_directories(folder);
  { std::ofstream(folder / "inside") << "kept"; }
  h.platform.QueueSaveFile(folder.string(), 1);
  h.window->Command(100);
  EXPECT_EQ(h.platform.messageBoxes.size(), 2u);
  EXPECT_TRUE(fs::is_directory(folder));
  EXPECT_EQ(ReadBytes(folder / "inside").size(), 4u);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path), fs::directory_iterator()), 1);

  const fs::path locked = dir.path / "locked";
  fs::create_directories(locked);
  const fs::path old = locked / "card.png";
  { std::ofstream(old, std::ios::binary) << "old card"; }
  fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec);
  const bool enforced = !std::ofstream(locked / "probe").good();  // root ignores permissions
  h.platform.QueueSaveFile(old.string(), 2);
  h.window->Command(100);
  fs::permissions(locked, fs::perms::owner_all);
  if (enforced) {
    EXPECT_EQ(h.platform.messageBoxes.size(), 3u);
    const std::vector<uint8_t> bytes = ReadBytes(old);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "old card");
  }
}

TEST(Commands, HelpAndDonateOpenTheirPagesAndChangeNothing) {
  AppHarness h;
  h.window->UpdateWindow();
  h.window->ClearLogs();
  const Rect card = h.CardRect();
  h.Toolbar()->ClickButton(103);
  h.Toolbar()->ClickButton(102);
  ASSERT_EQ(h.platform.shellExecutes.size(), 2u);
  const ShellExecuteRecord& help = h.platform.shellExecutes[0];
  EXPECT_EQ(help.owner, nullptr);
  EXPECT_EQ(help.verb, "open");
  EXPECT_EQ(help.file, app::HelpAddress());
  EXPECT_EQ(help.showCommand, SW_SHOWNORMAL);
  EXPECT_EQ(h.platform.shellExecutes[1].file, app::DonateAddress());
  EXPECT_NE(app::DonateAddress().find("paypal"), std::string::npos);
  EXPECT_EQ(app::GuidelineAddress(), app::HelpAddress() + "#custom-layouts");
  EXPECT_TRUE(h.window->invalidations.empty());
  EXPECT_EQ(h.CardRect(), card);
  EXPECT_EQ(h.wnd->GetCard().cardTemplate.builtInTemplateIndex, 0);
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

TEST(Lifetime, DestructionReleasesWhatTheWindowHeld) {
  ScriptedPlatform platform;
  imagefiles::ImageFiles reader;
  auto wnd = std::make_unique<app::CTessaryWnd>(platform, 96, reader);
  auto* window = static_cast<ScriptedWindow*>(
      platform.CreateWindowEx(wnd.get(), Rect{0, 0, 976, 651}, "Tessary 1.0", WS_VISIBLE));
  ASSERT_NE(window, nullptr);
  app::CTessaryWnd::CSimpleDropTarget* target = wnd->GetDropTarget();
  ASSERT_NE(target, nullptr);
  EXPECT_EQ(window->RegisteredDropTarget(), target);
  EXPECT_EQ(target->RefCount(), 2u);
  ASSERT_NE(platform.dropHelper, nullptr);
  EXPECT_EQ(platform.dropHelper->RefCount(), 2u);  // the target's and the platform's
  window->Close();
  EXPECT_EQ(window->revocations, 1);
  EXPECT_EQ(target->RefCount(), 1u);
  EXPECT_EQ(platform.liveImageLists.size(), 1u);
  wnd.reset();
  EXPECT_TRUE(platform.liveImageLists.empty());
  EXPECT_EQ(platform.dropHelper->RefCount(), 1u);  // the target is gone
}
