#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "app/CardActions.h"
#include "document/CardDocument.h"
#include "document/ProjectFile.h"
#include "engine/raster/ImageReader.h"
#include "platform/Platform.h"

namespace app {

// The card as a project the user keeps: saving and opening project files,
// the recent ones, what the title and the close question say, and photos
// that moved found again. The card itself stays the document's; this holds
// which file it belongs to and what that file holds.
class ProjectActions {
 public:
  static constexpr size_t kMaxRecent = 8;
  static constexpr char kRecentKey[] = "recentProjects";

  ProjectActions(platform::Platform& platform, document::CardDocument& document,
                 const engine::ImageReader& reader, CardActions& actions)
      : platform_(platform), document_(document), reader_(reader), actions_(actions) {}

  void Attach(platform::Window* window) { window_ = window; }

  // --- the project the card belongs to ----------------------------------------
  bool HasProject() const { return !path_.empty(); }
  const std::string& Path() const { return path_; }
  const document::ProjectMemory& Memory() const { return memory_; }
  // The card differs from its project file; without one, from the card
  // last saved as a picture.
  bool Unsaved() const;
  // The project's name, "*Anna's birthday" while it has unsaved changes;
  // empty without a project.
  std::string Title() const;

  // --- commands -----------------------------------------------------------------
  // To the project's own file, else as SaveProjectAs. True when saved.
  bool SaveProject();
  // The save dialog (with or without the photos), then the file.
  bool SaveProjectAs();
  // The open dialog, then OpenProject.
  void ChooseProject();
  // Opens the project at `path` in place of the card, once the user had
  // the chance to keep unsaved changes. A failure is told to the user;
  // missing photos too. True when it opened.
  bool OpenProject(const std::string& path);
  // The recent projects, newest first, as the setting keeps them.
  std::vector<std::string> RecentProjects() const;
  void OpenRecent(size_t index);

  // The open dialog for a region whose photo was not found; then the other
  // missing photos in the folder chosen, if the user wants them.
  void LocatePhoto(int32_t slot);
  bool PhotoMissing(int32_t slot) const;

  // The close question: about the project when there is one. True when the
  // window may close.
  bool AskBeforeClosing();

  // --- for the window's start and the autosave ------------------------------------
  // A card restored from an autosave: unsaved, belonging to `projectPath`
  // (or to no project).
  void Restored(document::CardState&& state, const document::ProjectMemory& memory,
                const std::string& projectPath);
  // Tells the user which photos of a card just opened were not found;
  // `whose` names it: "\"Anna's birthday\"", "your card".
  void TellMissingPhotos(const std::string& whose, const std::vector<size_t>& missing);

 private:
  bool WriteTo(const std::string& path, bool withPhotos);
  void Remember(const std::string& path);
  void ShowMessage(const std::string& text);
  platform::MessageAnswer Ask(const std::string& text, platform::MessageButtons buttons);

  platform::Platform& platform_;
  document::CardDocument& document_;
  const engine::ImageReader& reader_;
  CardActions& actions_;
  platform::Window* window_ = nullptr;
  std::string path_;              // the project's file; empty: none
  document::ProjectMemory memory_;
  document::CardState savedState_;  // what the project's file holds
  bool savedKnown_ = false;         // savedState_ is the file's (false after a restore)
  std::string lastFolder_;
};

}  // namespace app
