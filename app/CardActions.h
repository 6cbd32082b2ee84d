#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "document/CardDocument.h"
#include "engine/raster/ImageStatus.h"
#include "platform/Platform.h"

namespace app {

// What the window does with files and words: the open and save dialogs,
// the questions, and the messages that say what went wrong. Each works on
// the document; the window shows the result when the document tells it.
class CardActions {
 public:
  CardActions(platform::Platform& platform, document::CardDocument& document)
      : platform_(platform), document_(document) {}

  // Dialogs and messages need a window to belong to.
  void Attach(platform::Window* window) { window_ = window; }

  // The Save command: the question about empty regions, the save dialog and
  // the replace question; true when the card was saved.
  bool SaveCard();
  // The close question; true when the window may close.
  bool AskToSave();
  // The open dialog for a photo in region `slot`.
  void ChoosePhoto(int32_t slot);
  // The open dialog for a layout file.
  void ChooseLayout();
  // The Template command: the next built-in design.
  void NextDesign();
  // The files the program was started with: the first layout file becomes
  // the design, then the photos go into the empty regions in slot order.
  void OpenFiles(const std::vector<std::string>& paths);

  // A layout file into the document; a failure is told to the user.
  bool OpenLayout(const std::string& path);
  // A photo into the document; the caller decides whether to tell about a
  // failure with ReportPhotoFailure.
  engine::ImageStatus LoadPhoto(int32_t slot, const std::string& path);
  void ReportPhotoFailure(const std::string& path, const engine::ImageStatus& status);
  // Photos into region `slot` and then the empty regions in slot order, as
  // one step of the history; what did not fit or load is told in one
  // message.
  void PlacePhotos(int32_t slot, const std::vector<std::string>& paths);

  void OpenHelp();
  void OpenDonationPage();

  // The folder of the last file opened or saved, where dialogs start.
  const std::string& LastFolder() const { return lastFolder_; }

 private:
  void ShowMessage(const std::string& text);
  void RememberFolderOf(const std::string& path);

  platform::Platform& platform_;
  document::CardDocument& document_;
  platform::Window* window_ = nullptr;
  std::string lastFolder_;
};

}  // namespace app
