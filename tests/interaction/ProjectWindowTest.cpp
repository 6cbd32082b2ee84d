// Projects in the window: saved and opened through the commands, the title
// and the close question, photos found again, and the autosave that brings
// the card back after a crash.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "app/Commands.h"
#include "document/BuiltInDesigns.h"
#include "document/ProjectFile.h"
#include "imagefiles/ProcessTag.h"
#include "interaction/InteractionHarness.h"

using namespace itest;
namespace fs = std::filesystem;

namespace {

// Paths as the system compares them: "C:/a" and "C:\\a" are the same file.
std::vector<fs::path> Paths(const std::vector<std::string>& paths) {
  return std::vector<fs::path>(paths.begin(), paths.end());
}

// A window whose card has a photo in each of its first regions, one of them
// dragged and one zoomed, as a user would leave it.
struct ProjectHarness : Harness {
  ProjectHarness() { platform.stateFolder = files.Folder() + "/state"; }

  void MakeCard(const std::string& folder) {
    fs::create_directories(folder);
    const Rgb colours[] = {{220, 40, 40}, {40, 220, 40}, {40, 40, 220}};
    for (size_t i = 0; i < 3; ++i) {
      const std::string path = folder + "/photo" + std::to_string(i) + ".png";
      fs::rename(files.Photo("made" + std::to_string(serial++) + ".png", 120 + 30 * uint32_t(i), 90,
                             colours[i], false, Rgb{5, 5, 5}, true),
                 path);
      ASSERT_TRUE(wnd->Document().LoadPhoto(i, path));
    }
    // A drag and a wheel notch, as the hands make them.
    const ClientPoint p = In(0);
    Press(p);
    Move(ClientPoint{p.x + 9, p.y + 4});
    Release(ClientPoint{p.x + 9, p.y + 4});
    window->Wheel(At(In(1)), 120);
    window->Leave();
  }

  void SaveProjectAs(const std::string& path, size_t filter = 0) {
    window->saveAnswers.push_back(FileChoice{path, filter});
    window->KeyPress(Letter('S'), kControl | kShift);
  }

  // The card saved as a picture, as Save writes it.
  std::vector<uint8_t> SavedCard(const std::string& path) {
    window->messageAnswers.push_back(MessageAnswer::Yes);  // empty regions: save anyway
    window->saveAnswers.push_back(FileChoice{path, 1});
    window->KeyPress(Letter('S'), kControl);
    return testimages::ReadBytes(path);
  }

  std::string LastMessage() const {
    return window->messages.empty() ? std::string() : window->messages.back().message.text;
  }
};

}  // namespace

TEST(ProjectWindow, SavedClosedAndOpenedAgainTheCardSavesTheSameBytes) {
  ProjectHarness h;
  const std::string folder = h.files.Folder() + "/party";
  h.MakeCard(folder + "/photos");
  ASSERT_TRUE(h.Slot(0).panX != 0.5f || h.Slot(0).panY != 0.5f);
  ASSERT_NE(h.Slot(1).zoom, 1.0f);
  EXPECT_EQ(h.window->title, "Frost \xE2\x80\x94 Tessary");

  h.SaveProjectAs(folder + "/Anna's birthday");  // the extension is added
  const std::string project = folder + "/Anna's birthday.tessary";
  ASSERT_TRUE(fs::exists(project)) << h.LastMessage();
  EXPECT_EQ(h.window->saveDialogs.back().filters.size(), 2u);  // with or without the photos
  EXPECT_EQ(h.window->title, "Anna's birthday \xE2\x80\x94 Tessary");
  EXPECT_EQ(Paths(h.platform.settings["recentProjects"]), Paths({project}));
  const std::vector<uint8_t> card = h.SavedCard(h.files.Folder() + "/first.png");

  // A change marks the title, and closing asks about the project by name.
  h.Edit(2, [](engine::PhotoSlot& s) { s.panX = 0.3f; });
  EXPECT_EQ(h.window->title, "*Anna's birthday \xE2\x80\x94 Tessary");
  h.window->messageAnswers.push_back(MessageAnswer::Cancel);
  EXPECT_FALSE(h.window->RequestClose());
  EXPECT_EQ(h.LastMessage(), "Save changes to \"Anna's birthday\" before closing?");
  EXPECT_EQ(h.window->messages.back().message.buttons, MessageButtons::SaveDiscardCancel);
  // Undone, the card is the project's again: nothing to ask.
  h.window->KeyPress(Letter('Z'), kControl);
  EXPECT_EQ(h.window->title, "Anna's birthday \xE2\x80\x94 Tessary");
  const size_t asked = h.window->messages.size();
  EXPECT_TRUE(h.window->RequestClose());
  EXPECT_EQ(h.window->messages.size(), asked);

  // Opened by the command line in a new window: the same card, saved.
  ProjectHarness again;
  again.wnd->OpenFiles({project});
  EXPECT_EQ(again.window->title, "Anna's birthday \xE2\x80\x94 Tessary");
  EXPECT_EQ(again.SavedCard(again.files.Folder() + "/second.png"), card);
  EXPECT_FALSE(again.wnd->Projects().Unsaved());
}

TEST(ProjectWindow, OpenedByDialogRecentMenuAndDropAfterTheUserKeptTheirChanges) {
  ProjectHarness h;
  const std::string folder = h.files.Folder() + "/p";
  h.MakeCard(folder);
  h.SaveProjectAs(folder + "/one.tessary");
  h.Edit(0, [](engine::PhotoSlot& s) { s.zoom = 2.0f; });
  h.window->menuAnswers.push_back(int(app::CommandId::SaveProjectAs));
  h.window->saveAnswers.push_back(FileChoice{folder + "/two.tessary", 0});
  h.window->ContextMenu(Point{4, 4});
  EXPECT_EQ(Paths(h.platform.settings["recentProjects"]),
            Paths({folder + "/two.tessary", folder + "/one.tessary"}));

  // The recent projects, newest first, in the menu's list.
  h.window->ContextMenu(Point{4, 4});
  const MenuItem& recent = h.window->menus.back().back();
  EXPECT_EQ(recent.label, "Recent projects");
  ASSERT_EQ(recent.submenu.size(), 2u);
  EXPECT_EQ(recent.submenu[0].label, "two");
  EXPECT_EQ(recent.submenu[1].label, "one");

  // An unsaved change is not given up unasked: Cancel keeps it.
  h.Edit(2, [](engine::PhotoSlot& s) { s.panY = 0.9f; });
  h.window->messageAnswers.push_back(MessageAnswer::Cancel);
  h.window->menuAnswers.push_back(recent.submenu[1].command);
  h.window->ContextMenu(Point{4, 4});
  EXPECT_EQ(h.LastMessage(), "Save changes to \"two\" before opening another project?");
  EXPECT_EQ(h.Slot(2).panY, 0.9f);
  // Discarded, "one" opens: its zoom is the first.
  h.window->messageAnswers.push_back(MessageAnswer::Discard);
  h.window->menuAnswers.push_back(recent.submenu[1].command);
  h.window->ContextMenu(Point{4, 4});
  EXPECT_EQ(h.window->title, "one \xE2\x80\x94 Tessary");
  EXPECT_NE(h.Slot(0).zoom, 2.0f);

  // Ctrl+Shift+O, and a project dropped anywhere on the window.
  h.window->openAnswers.push_back(FileChoice{folder + "/two.tessary", 0});
  h.window->KeyPress(Letter('O'), kControl | kShift);
  EXPECT_EQ(h.window->openDialogs.back().title, "Open project");
  EXPECT_EQ(h.Slot(0).zoom, 2.0f);
  // The design chooser offers them too, after the designs, with their pictures.
  const size_t designs = size_t(document::BuiltInDesignCount());
  h.window->designAnswers.push_back(designs + 1);
  h.window->KeyPress(Letter('D'), kControl);
  ASSERT_FALSE(h.window->designChoosers.empty());
  const platform::DesignChoices& offered = h.window->designChoosers.back();
  ASSERT_EQ(offered.choices.size(), designs + 2);
  EXPECT_EQ(offered.choices[designs].name, "two");
  EXPECT_EQ(offered.choices[designs + 1].detail, "Project");
  EXPECT_TRUE(offered.choices[designs + 1].width > 0 && offered.choices[designs + 1].width <= 160);
  EXPECT_EQ(offered.choices[designs + 1].rgb.size(),
            size_t(offered.choices[designs + 1].width) * offered.choices[designs + 1].height * 3);
  EXPECT_EQ(h.window->title, "one \xE2\x80\x94 Tessary");
  EXPECT_TRUE(h.Accepts({folder + "/one.TESSARY"}, ClientPoint{2, 2}));
  // The same file where names ignore case.
  if (!fs::exists(folder + "/one.TESSARY"))
    fs::copy_file(folder + "/one.tessary", folder + "/one.TESSARY");
  EXPECT_TRUE(h.Drop({folder + "/one.TESSARY"}, ClientPoint{2, 2}));
  EXPECT_EQ(h.window->title, "one \xE2\x80\x94 Tessary");

  // A project that cannot be opened is told, and the card stays.
  testimages::WriteBytes(folder + "/bad.tessary", {'P', 'K', 3, 4});
  h.window->openAnswers.push_back(FileChoice{folder + "/bad.tessary", 0});
  h.window->KeyPress(Letter('O'), kControl | kShift);
  EXPECT_EQ(h.LastMessage(),
            "The project \"bad.tessary\" could not be opened: it is not a project file (not a "
            "zip container).");
  EXPECT_EQ(h.window->title, "one \xE2\x80\x94 Tessary");
}

TEST(ProjectWindow, AMissingPhotoIsNamedInItsRegionAndLocatedWithItsFraming) {
  ProjectHarness h;
  const std::string folder = h.files.Folder() + "/p";
  h.MakeCard(folder + "/photos");
  const float panX = h.Slot(0).panX, panY = h.Slot(0).panY;
  h.SaveProjectAs(folder + "/card.tessary");
  // Two photos go elsewhere.
  const std::string away = h.files.Folder() + "/away";
  fs::create_directories(away);
  fs::rename(folder + "/photos/photo0.png", away + "/photo0.png");
  fs::rename(folder + "/photos/photo2.png", away + "/photo2.png");

  ProjectHarness h2;
  h2.wnd->OpenFiles({folder + "/card.tessary"});
  EXPECT_EQ(h2.LastMessage(),
            "2 photos of \"card\" could not be found: \"photo0.png\", \"photo2.png\". Their "
            "regions stay empty until you right-click one and choose Locate photo...; saving the "
            "project keeps them.");
  EXPECT_FALSE(h2.Slot(0).HasPhoto());
  EXPECT_TRUE(h2.Slot(1).HasPhoto());
  // The pointer over the region names the photo.
  h2.Move(h2.In(0));
  EXPECT_EQ(h2.wnd->View().HintText(), hints::kHintPhotoMissing);
  EXPECT_EQ(h2.wnd->View().HintDetail(), "photo0.png");
  h2.Move(h2.In(1));
  EXPECT_EQ(h2.wnd->View().HintText(), hints::kHintDragPicture);

  // Its menu offers to locate it; the other one in that folder comes too.
  h2.window->menuAnswers.push_back(int(app::CommandId::LocatePhoto));
  h2.QueueOpen(away + "/photo0.png");
  h2.window->messageAnswers.push_back(MessageAnswer::Yes);
  h2.window->ContextMenu(Harness::At(h2.In(0)));
  EXPECT_EQ(h2.window->menus.back().front().label, "Locate photo...");
  EXPECT_EQ(h2.window->openDialogs.back().title, "Locate \"photo0.png\"");
  EXPECT_EQ(h2.LastMessage(), "Another missing photo is in the same folder. Use it too?");
  EXPECT_TRUE(h2.Slot(0).HasPhoto());
  EXPECT_TRUE(h2.Slot(2).HasPhoto());
  EXPECT_EQ(h2.Slot(0).panX, panX);  // as it was framed
  EXPECT_EQ(h2.Slot(0).panY, panY);
  // A region with its photo has no such item.
  h2.window->ContextMenu(Harness::At(h2.In(0)));
  EXPECT_EQ(h2.window->menus.back().front().label, "Choose photo...");
}

TEST(ProjectWindow, TheCardIsAutosavedWhileUnsavedAndGoneOnceSavedOrClosed) {
  ProjectHarness h;
  app::AutosaveKeeper& keeper = h.wnd->Autosave();
  const std::string file = keeper.File().Path();
  ASSERT_FALSE(file.empty());
  EXPECT_FALSE(fs::exists(file));  // a new card is no work yet
  h.Fill(0);  // first edit
  EXPECT_TRUE(fs::exists(file));
  EXPECT_EQ(h.window->timers[app::AutosaveKeeper::kTimer], 30000);
  h.Fill(1);
  h.Edit(0, [](engine::PhotoSlot& s) { s.panX = 0.2f; });
  EXPECT_EQ(keeper.Writes(), 3);
  h.Edit(0, [](engine::PhotoSlot& s) { s.panX = 0.25f; });  // the fourth waits for the timer
  EXPECT_EQ(keeper.Writes(), 3);
  EXPECT_TRUE(h.window->FireTimer(app::AutosaveKeeper::kTimer));
  EXPECT_EQ(keeper.Writes(), 4);
  EXPECT_TRUE(h.window->FireTimer(app::AutosaveKeeper::kTimer));
  EXPECT_EQ(keeper.Writes(), 4);  // nothing new to write

  // Saved as a project, there is nothing to keep; a change starts again.
  h.SaveProjectAs(h.files.Folder() + "/kept.tessary");
  EXPECT_FALSE(fs::exists(file));
  EXPECT_EQ(h.window->timers.count(app::AutosaveKeeper::kTimer), 0u);
  h.Edit(1, [](engine::PhotoSlot& s) { s.panY = 0.3f; });
  EXPECT_TRUE(fs::exists(file));
  // A normal close removes it, whatever the answer to the question.
  h.window->messageAnswers.push_back(MessageAnswer::Discard);
  EXPECT_TRUE(h.window->RequestClose());
  EXPECT_FALSE(fs::exists(file));
}

TEST(ProjectWindow, AfterACrashTheNextStartOffersTheCardBack) {
  const std::string host = imagefiles::ThisHostForTags();
  ProjectHarness lost;
  const std::string state = lost.platform.stateFolder;
  const std::string folder = lost.files.Folder() + "/p";
  lost.MakeCard(folder);
  lost.SaveProjectAs(folder + "/party.tessary");
  lost.Edit(2, [](engine::PhotoSlot& s) { s.zoom = 4.0f; });
  lost.window->FireTimer(app::AutosaveKeeper::kTimer);
  const std::vector<uint8_t> card = lost.SavedCard(lost.files.Folder() + "/lost.png");
  // The process dies: its file stays, under a process that no longer runs.
  const std::string left = state + "/autosave-" + host + "-2147483000.tessary";
  fs::rename(lost.wnd->Autosave().File().Path(), left);

  {  // Declined: the card is not offered again.
    ProjectHarness next;
    next.platform.stateFolder = state;
    app::AutosaveKeeper& keeper = next.wnd->Autosave();
    const std::string copy = state + "/autosave-" + host + "-2147483001.tessary";
    fs::copy_file(left, copy);
    // The newest is offered first; a copy may keep its original's time.
    fs::last_write_time(copy, fs::last_write_time(left) + std::chrono::seconds(5));
    next.window->messageAnswers.push_back(MessageAnswer::No);
    EXPECT_FALSE(keeper.OfferRestore());
    EXPECT_EQ(next.LastMessage(),
              "Tessary closed unexpectedly. Restore the card you were working on?");
    EXPECT_FALSE(fs::exists(state + "/autosave-" + host + "-2147483001.tessary"));
  }

  ProjectHarness next;
  next.platform.stateFolder = state;
  app::AutosaveKeeper& keeper = next.wnd->Autosave();
  next.window->messageAnswers.push_back(MessageAnswer::Yes);
  ASSERT_TRUE(keeper.OfferRestore()) << next.LastMessage();
  EXPECT_FALSE(fs::exists(left));
  EXPECT_TRUE(fs::exists(keeper.File().Path()));  // kept up to date from here on
  EXPECT_EQ(next.window->title, "*party \xE2\x80\x94 Tessary");  // the project's, not saved
  EXPECT_EQ(next.SavedCard(next.files.Folder() + "/restored.png"), card);
  EXPECT_TRUE(next.wnd->Projects().Unsaved());
}
