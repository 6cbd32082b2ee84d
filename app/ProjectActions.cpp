#include "app/ProjectActions.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "document/PhotoLocator.h"
#include "imagefiles/ExistingFile.h"
#include "imagefiles/FilePaths.h"
#include "imagefiles/ImageStatusText.h"
#include "imagefiles/PathNames.h"
#include "interaction/HintTexts.h"

namespace app {

using namespace platform;
using imagefiles::FileNameOf;

namespace {

constexpr char kCaption[] = "Tessary";

bool HasProjectExtension(const std::string& path) {
  const std::string extension = ".tessary";
  return path.size() > extension.size() &&
         imagefiles::FoldAsciiCase(path.substr(path.size() - extension.size())) == extension;
}

}  // namespace

void ProjectActions::ShowMessage(const std::string& text) {
  window_->ShowMessage(Message{text, kCaption, MessageIcon::None, MessageButtons::Ok});
}

MessageAnswer ProjectActions::Ask(const std::string& text, MessageButtons buttons) {
  return window_->ShowMessage(Message{text, kCaption, MessageIcon::Question, buttons});
}

bool ProjectActions::Unsaved() const {
  if (!HasProject()) return document_.ChangedSinceSave();
  return !savedKnown_ || !document::SameState(document_.State(), savedState_);
}

std::string ProjectActions::Title() const {
  if (!HasProject()) return std::string();
  return (Unsaved() ? "*" : "") + document::ProjectName(path_);
}

// --- saving -----------------------------------------------------------------------

bool ProjectActions::WriteTo(const std::string& path, bool withPhotos) {
  document::ProjectSaveOptions options;
  options.photos = withPhotos ? document::PhotoCopies::All : document::PhotoCopies::None;
  document::ProjectMemory memory = memory_;
  document::ProjectSaving saving;
  {
    BusyCursor busy(*window_);
    saving = document::WriteProject(document_.State(), path, options, reader_, &memory);
  }
  if (!saving.Ok()) {
    const std::string why = saving.problem.empty() ? saving.saved.Message() : saving.problem;
    ShowMessage("The project could not be saved to \"" + path + "\": " + why + ".");
    return false;
  }
  actions_.CancelLoads();
  path_ = imagefiles::AbsolutePath(path);
  memory_ = std::move(memory);
  memory_.sourcePath = path_;
  savedState_ = document_.State();
  savedKnown_ = true;
  Remember(path_);
  return true;
}

bool ProjectActions::SaveProject() {
  // A project saved before its photos are in would lack them.
  actions_.WaitForLoads(interaction::kHintWaitingForPhotos);
  document_.CommitPending();
  if (!HasProject()) return SaveProjectAs();
  const bool saved = WriteTo(path_, memory_.photosCarried);
  if (saved) document_.MarkSaved();
  return saved;
}

bool ProjectActions::SaveProjectAs() {
  actions_.WaitForLoads(interaction::kHintWaitingForPhotos);
  document_.CommitPending();
  FileDialog dialog;
  dialog.title = "Save project";
  dialog.filters = {{"Tessary projects", {"*.tessary"}},
                    {"Tessary projects with their photos", {"*.tessary"}}};
  dialog.initialFilter = memory_.photosCarried ? 1 : 0;
  dialog.initialName = HasProject() ? FileNameOf(path_) : "card.tessary";
  dialog.initialFolder = HasProject() ? imagefiles::FolderOf(path_)
                                      : (lastFolder_.empty() ? actions_.LastFolder() : lastFolder_);
  std::string path;
  bool withPhotos = false;
  for (;;) {
    const std::optional<FileChoice> choice = window_->ChooseFileToSave(dialog);
    if (!choice || choice->filter > 1) return false;
    path = choice->path;
    if (!HasProjectExtension(path)) path += ".tessary";
    withPhotos = choice->filter == 1;
    dialog.initialFilter = choice->filter;
    dialog.initialName = FileNameOf(path);
    dialog.initialFolder = imagefiles::FolderOf(path);
    if (imagefiles::AbsolutePath(path) == path_ || !imagefiles::IsExistingRegularFile(path)) break;
    if (Ask("\"" + FileNameOf(path) + "\" already exists. Do you want to replace it?",
            MessageButtons::YesNo) == MessageAnswer::Yes)
      break;
  }
  const bool saved = WriteTo(path, withPhotos);
  if (saved) {
    lastFolder_ = imagefiles::FolderOf(path);
    document_.MarkSaved();
  }
  return saved;
}

// --- opening ------------------------------------------------------------------------

void ProjectActions::ChooseProject() {
  FileDialog dialog;
  dialog.title = "Open project";
  dialog.filters = {{"Tessary projects", {"*.tessary"}}};
  dialog.initialFolder = HasProject() ? imagefiles::FolderOf(path_)
                                      : (lastFolder_.empty() ? actions_.LastFolder() : lastFolder_);
  const std::optional<FileChoice> choice = window_->ChooseFileToOpen(dialog);
  if (!choice) return;
  lastFolder_ = imagefiles::FolderOf(choice->path);
  OpenProject(choice->path);
}

bool ProjectActions::OpenProject(const std::string& path) {
  document_.CommitPending();
  // The card in the window is not given up unasked.
  if (Unsaved()) {
    const std::string question =
        HasProject() ? "Save changes to \"" + document::ProjectName(path_) +
                           "\" before opening another project?"
                     : "Save your card as a project before opening another?";
    switch (Ask(question, MessageButtons::SaveDiscardCancel)) {
      case MessageAnswer::Save:
        if (!SaveProject()) return false;
        break;
      case MessageAnswer::Discard:
        break;
      default:
        return false;
    }
  }
  document::CardState state;
  document::ProjectMemory memory;
  document::ProjectOpening opening;
  {
    BusyCursor busy(*window_);
    opening = document::ReadProject(path, reader_, &state, &memory);
  }
  if (!opening.Ok()) {
    ShowMessage("The project \"" + FileNameOf(path) + "\" could not be opened: it " +
                opening.reason + ".");
    return false;
  }
  path_ = imagefiles::AbsolutePath(path);
  memory_ = std::move(memory);
  // What the file holds, known before the window hears of the new card.
  // Pictures are shared, so this copy costs little and compares by identity.
  savedState_ = state;
  savedKnown_ = true;
  document_.Open(std::move(state), true);
  Remember(path_);
  TellMissingPhotos("\"" + document::ProjectName(path_) + "\"", opening.missingPhotos);
  return true;
}

void ProjectActions::TellMissingPhotos(const std::string& whose,
                                       const std::vector<size_t>& missing) {
  if (missing.empty()) return;
  std::string names;
  for (size_t i = 0; i < missing.size() && i < 5; ++i) {
    names += (i ? ", \"" : "\"") + FileNameOf(document_.State().photos.at(missing[i]).path) + "\"";
  }
  if (missing.size() > 5) names += " and " + std::to_string(missing.size() - 5) + " more";
  const std::string count = missing.size() == 1 ? "1 photo" : std::to_string(missing.size()) + " photos";
  ShowMessage(count + " of " + whose + " could not be found: " + names +
              ". Their regions stay empty until you right-click one and choose Locate photo...; "
              "saving the project keeps them.");
}

void ProjectActions::Restored(document::CardState&& state, const document::ProjectMemory& memory,
                              const std::string& projectPath) {
  path_ = projectPath.empty() ? std::string() : imagefiles::AbsolutePath(projectPath);
  memory_ = memory;
  savedKnown_ = false;
  document_.Open(std::move(state), false);
}

// --- recent projects ----------------------------------------------------------------

std::vector<std::string> ProjectActions::RecentProjects() const {
  std::vector<std::string> recent = platform_.ReadSetting(kRecentKey);
  if (recent.size() > kMaxRecent) recent.resize(kMaxRecent);
  return recent;
}

void ProjectActions::Remember(const std::string& path) {
  std::vector<std::string> recent = platform_.ReadSetting(kRecentKey);
  recent.erase(std::remove(recent.begin(), recent.end(), path), recent.end());
  recent.insert(recent.begin(), path);
  if (recent.size() > kMaxRecent) recent.resize(kMaxRecent);
  platform_.WriteSetting(kRecentKey, recent);
}

void ProjectActions::OpenRecent(size_t index) {
  const std::vector<std::string> recent = RecentProjects();
  if (index < recent.size()) OpenProject(recent[index]);
}

// --- photos found again ---------------------------------------------------------------

bool ProjectActions::PhotoMissing(int32_t slot) const {
  const document::CardState& state = document_.State();
  return slot >= 0 && size_t(slot) < state.photos.size() && size_t(slot) < state.card.slots.size() &&
         !state.photos[size_t(slot)].Empty() && !state.card.slots[size_t(slot)].HasPhoto();
}

void ProjectActions::LocatePhoto(int32_t slot) {
  if (!PhotoMissing(slot)) return;
  const std::string missingPath = document_.State().photos[size_t(slot)].path;
  FileDialog dialog;
  dialog.title = "Locate \"" + FileNameOf(missingPath) + "\"";
  dialog.filters = {{"Picture files", {"*.jpg", "*.jpeg", "*.jpe", "*.jfif", "*.png"}}};
  dialog.initialFolder = HasProject() ? imagefiles::FolderOf(path_) : actions_.LastFolder();
  dialog.initialName = FileNameOf(missingPath);
  const std::optional<FileChoice> choice = window_->ChooseFileToOpen(dialog);
  if (!choice) return;
  engine::ImageStatus status;
  {
    BusyCursor busy(*window_);
    status = document_.LoadPhoto(size_t(slot), choice->path, true);
  }
  if (!status) {
    actions_.ReportPhotoFailure(choice->path, status);
    return;
  }
  // The others may well have moved to the same folder.
  const std::vector<size_t> others = document::MissingPhotos(document_.State());
  if (others.empty()) return;
  const std::vector<std::string> found =
      document::FindMissingInFolder(document_.State(), others, imagefiles::FolderOf(choice->path));
  const size_t count = size_t(std::count_if(found.begin(), found.end(),
                                            [](const std::string& p) { return !p.empty(); }));
  if (count == 0) return;
  const std::string question =
      (count == 1 ? std::string("Another missing photo is")
                  : std::to_string(count) + " other missing photos are") +
      " in the same folder. Use " + (count == 1 ? "it" : "them") + " too?";
  if (Ask(question, MessageButtons::YesNo) != MessageAnswer::Yes) return;
  BusyCursor busy(*window_);
  for (size_t k = 0; k < others.size(); ++k)
    if (!found[k].empty()) document_.LoadPhoto(others[k], found[k], true);
}

// --- closing ------------------------------------------------------------------------

bool ProjectActions::AskBeforeClosing() {
  if (!HasProject()) return !document_.ChangedSinceSave() || actions_.AskToSave();
  if (!Unsaved()) return true;
  switch (Ask("Save changes to \"" + document::ProjectName(path_) + "\" before closing?",
              MessageButtons::SaveDiscardCancel)) {
    case MessageAnswer::Save:
      return SaveProject();  // a cancelled or failed save keeps the window
    case MessageAnswer::Discard:
      return true;
    default:
      return false;
  }
}

}  // namespace app
