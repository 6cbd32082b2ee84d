#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/Commands.h"
#include "app/WebAddresses.h"
#include "document/BuiltInDesigns.h"
#include "tests/app/AppHarness.h"

using namespace apptest;
namespace fs = std::filesystem;

TEST(Toolbar, ButtonsWithIconsLabelsASeparatorAndTheirKeys) {
  AppHarness h;
  const std::vector<ToolbarButton>& tb = h.window->toolbar;
  const int commands[] = {100, 128, 101, 118, 129, 114, 115, 102, 103};
  const char* labels[] = {"Save", "Print", "Template", "Designs", "Add text",
                          "Undo", "Redo",  "Donate",   "Help"};
  ASSERT_EQ(tb.size(), std::size(labels));
  for (size_t i = 0; i < tb.size(); ++i) {
    EXPECT_EQ(tb[i].command, commands[i]) << i;
    EXPECT_EQ(tb[i].label, labels[i]) << i;
    EXPECT_EQ(tb[i].icon.width, 48) << i;
    EXPECT_EQ(tb[i].icon.rgba.size(), 48u * 48 * 4) << i;
    EXPECT_EQ(tb[i].separatorBefore, i == 7) << i;  // between Redo and Donate
    // Each button's own icon: no two are alike.
    for (size_t j = 0; j < i; ++j) EXPECT_NE(tb[i].icon.rgba, tb[j].icon.rgba) << i << " " << j;
  }
  EXPECT_EQ(h.window->toolbarRect, (Rect{904, 0, 968, 600}));
  // Nothing to undo, redo or clear in a new card.
  EXPECT_EQ(h.window->disabledCommands, (std::vector<int>{114, 115, 124}));

  // Every key appears once, in one command's list; the selected text box's
  // keys stand in for the region's while a box is selected, and are apart.
  for (const bool textKeys : {false, true}) {
    std::vector<std::pair<uint32_t, uint32_t>> keys;
    for (const app::Command& command : app::AllCommands())
      if (command.textKeys == textKeys)
        for (const KeyEvent& key : command.keys)
          keys.emplace_back(uint32_t(key.key), key.modifiers);
    std::sort(keys.begin(), keys.end());
    EXPECT_EQ(std::adjacent_find(keys.begin(), keys.end()), keys.end()) << textKeys;
  }
  // The window's keys go to the desktop as shortcuts; the region's do not.
  // S, P, T, D, Shift+T, Z, Y, Shift+Z, F1, O, L, N, Shift+O, Shift+S
  EXPECT_EQ(h.window->shortcuts.size(), 14u);
}

TEST(Commands, TemplateCyclesThroughTheBuiltInsUnderTheWaitCursor) {
  AppHarness h;
  // Every built-in design in turn, then the first again.
  const size_t expectedSlots[] = {4, 3, 3, 2, 3, 3, 5, 1, 5};
  const int32_t expectedIndex[] = {1, 2, 3, 4, 5, 6, 7, 8, 0};
  for (size_t i = 0; i < std::size(expectedIndex); ++i) {
    h.window->ClearLogs();
    h.window->Command(101);
    EXPECT_EQ(h.wnd->Document().State().design.builtInIndex, expectedIndex[i]);
    EXPECT_EQ(h.Card().slots.size(), 5u);  // slots are never removed
    size_t visible = 0;
    for (const engine::PhotoSlot& s : h.Card().slots) visible += s.Hidden() ? 0 : 1;
    EXPECT_EQ(visible, expectedSlots[i]);
    EXPECT_EQ(h.window->busyStarts, 1);
    EXPECT_EQ(h.window->busyDepth, 0);
    // The whole window is repainted (twice where a portrait design reshapes it).
    ASSERT_FALSE(h.window->invalidations.empty());
    for (const Rect& r : h.window->invalidations) EXPECT_EQ(r, h.Client());
    // The title names the design.
    EXPECT_EQ(h.window->title,
              std::string(document::BuiltInDesignAt(expectedIndex[i])->name) + " \xE2\x80\x94 Tessary");
  }
  // Template 2's first slot is the yellow region.
  h.window->Command(101);
  h.window->Command(101);
  EXPECT_EQ(h.Card().slots[0].keyColour, 0x20C0D8u);
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
  EXPECT_EQ(h.wnd->Document().State().design.builtInIndex, 0);
}

TEST(Commands, WithoutABrowserHelpShowsInAWindowOfItsOwnAndNothingFailsSilently) {
  AppHarness h;
  h.platform.addressesOpen = false;
  const std::string page = app::HelpFile();
  ASSERT_FALSE(page.empty()) << "the build puts the page beside the tests";
  h.window->KeyPress(Key::F1);
  ASSERT_EQ(h.window->localPages.size(), 1u);
  EXPECT_EQ(h.window->localPages[0].path, page);
  EXPECT_EQ(h.window->localPages[0].title, "Tessary Help");
  EXPECT_TRUE(h.window->messages.empty());

  // Not even a window for it: the message says where the page is.
  h.window->localPagesShow = false;
  h.window->Command(103);
  ASSERT_EQ(h.window->messages.size(), 1u);
  EXPECT_EQ(h.window->messages[0].message.text,
            "No web browser could open the help page.\nIts address is " + app::HelpAddress() +
                ".");
  h.window->Command(102);
  ASSERT_EQ(h.window->messages.size(), 2u);
  EXPECT_EQ(h.window->messages[1].message.text,
            "No web browser could open the donation page.\nIts address is " +
                app::DonateAddress() + ".");
  // With a browser, nothing is said.
  h.platform.addressesOpen = true;
  h.window->Command(102);
  h.window->Command(103);
  EXPECT_EQ(h.window->messages.size(), 2u);
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
  EXPECT_EQ(app::InstalledHelpFile((dir.path / "bin").string()),
            fs::canonical(dir.path / "bin" / "help.html").string());
  // Windows drops "nowhere/.." before it looks: the folder is one whose
  // parent has no help page either.
  EXPECT_EQ(app::InstalledHelpFile((dir.path / "bin" / "nowhere").string()), "");
  EXPECT_EQ(app::FileAddress("/a b/c#d.html"), "file:///a%20b/c%23d.html");
}
