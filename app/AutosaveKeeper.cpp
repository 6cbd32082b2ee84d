#include "app/AutosaveKeeper.h"

#include <utility>
#include <vector>

#include "document/ProjectFile.h"
#include "imagefiles/FilePaths.h"

namespace app {

using namespace platform;

AutosaveKeeper::AutosaveKeeper(Platform& platform, document::CardDocument& document,
                               const engine::ImageReader& reader, ProjectActions& projects)
    : platform_(platform),
      document_(document),
      reader_(reader),
      projects_(projects) {}

document::Autosave& AutosaveKeeper::Place() {
  if (!placed_) {
    autosave_ = document::Autosave(platform_.StateFolder());
    placed_ = true;
  }
  return autosave_;
}

const document::Autosave& AutosaveKeeper::File() { return Place(); }

void AutosaveKeeper::DocumentChanged(bool busy) {
  if (!window_ || restoring_) return;
  if (!projects_.Unsaved()) {
    Discard();
    return;
  }
  if (!timerRunning_) {
    window_->StartTimer(kTimer, kIntervalMs);
    timerRunning_ = true;
  }
  // A drag is one edit, written when it ends.
  if (busy || (fileExists_ && document::SameState(document_.State(), written_))) return;
  if (editsWritten_ < kEditsWrittenAtOnce) {
    ++editsWritten_;
    Write();
  }
}

void AutosaveKeeper::OnTimer(int timer) {
  if (timer != kTimer) return;
  if (!projects_.Unsaved()) {
    Discard();
    return;
  }
  if (!fileExists_ || !document::SameState(document_.State(), written_)) Write();
}

void AutosaveKeeper::Write() {
  // A failure here has no one to tell: the next round tries again.
  const document::ProjectSaving saving = Place().Write(
      document_.State(), &projects_.Memory(), projects_.Path(), reader_);
  if (!saving.Ok()) return;
  written_ = document_.State();
  fileExists_ = true;
  ++writes_;
}

void AutosaveKeeper::Discard() {
  if (timerRunning_ && window_) window_->StopTimer(kTimer);
  timerRunning_ = false;
  if (fileExists_) autosave_.Remove();
  fileExists_ = false;
  written_ = document::CardState();
  editsWritten_ = 0;  // the next change is a first edit again
}

void AutosaveKeeper::Closed() {
  if (timerRunning_ && window_) window_->StopTimer(kTimer);
  timerRunning_ = false;
  autosave_.Remove();
  fileExists_ = false;
}

bool AutosaveKeeper::OfferRestore() {
  if (!window_ || Place().Folder().empty()) return false;
  const std::vector<std::string> abandoned = document::Autosave::FindAbandoned(autosave_.Folder());
  if (abandoned.empty()) return false;
  const Message question{"Tessary closed unexpectedly. Restore the card you were working on?",
                         "Tessary", MessageIcon::Question, MessageButtons::YesNo};
  if (window_->ShowMessage(question) != MessageAnswer::Yes) {
    imagefiles::RemoveFile(abandoned.front());
    return false;
  }
  // The file becomes this copy's own: what it carries (photos whose files
  // are gone) stays at hand for the next autosave.
  const std::string from = autosave_.TakeOver(abandoned.front()) ? autosave_.Path()
                                                                 : abandoned.front();
  document::CardState state;
  document::ProjectMemory memory;
  document::ProjectOpening opening;
  {
    BusyCursor busy(*window_);
    opening = document::ReadProject(from, reader_, &state, &memory);
  }
  if (!opening.Ok()) {
    window_->ShowMessage(Message{"The card could not be restored: the saved copy " +
                                     opening.reason + ".",
                                 "Tessary", MessageIcon::None, MessageButtons::Ok});
    imagefiles::RemoveFile(from);
    return false;
  }
  const std::string project = memory.autosaveOf;
  restoring_ = true;
  projects_.Restored(std::move(state), memory, project);
  restoring_ = false;
  fileExists_ = from == autosave_.Path();
  written_ = document_.State();
  if (!fileExists_) {
    Write();
    imagefiles::RemoveFile(from);
  }
  window_->StartTimer(kTimer, kIntervalMs);
  timerRunning_ = true;
  projects_.TellMissingPhotos(
      project.empty() ? "your card" : "\"" + document::ProjectName(project) + "\"",
      opening.missingPhotos);
  return true;
}

}  // namespace app
