#pragma once

#include <cstdint>
#include <string>

#include "app/ProjectActions.h"
#include "document/Autosave.h"
#include "document/CardDocument.h"
#include "engine/raster/ImageReader.h"
#include "platform/Platform.h"

namespace app {

// Keeps the card in the user's state folder while it has unsaved changes:
// at each of the user's first three edits and then every 30 seconds, so
// that a crash loses little; removed once the card is saved or the window
// closes normally. At the next start after a crash it offers the card back.
class AutosaveKeeper {
 public:
  static constexpr int kTimer = 1;
  static constexpr int32_t kIntervalMs = 30000;
  static constexpr int kEditsWrittenAtOnce = 3;

  AutosaveKeeper(platform::Platform& platform, document::CardDocument& document,
                 const engine::ImageReader& reader, ProjectActions& projects);

  void Attach(platform::Window* window) { window_ = window; }
  // The file, in the platform's state folder as it is when first asked.
  const document::Autosave& File();

  // After every change of the document; `busy`: a drag is going on, whose
  // end is the edit.
  void DocumentChanged(bool busy);
  void OnTimer(int timer);
  // The window closes normally: the card is either saved or given up.
  void Closed();

  // At start: a card left by a copy of the program that ended without
  // closing is offered back. True when it was restored.
  bool OfferRestore();

  // How many times the card was written, for tests.
  int Writes() const { return writes_; }

 private:
  void Write();
  void Discard();
  document::Autosave& Place();

  platform::Platform& platform_;
  document::CardDocument& document_;
  const engine::ImageReader& reader_;
  ProjectActions& projects_;
  platform::Window* window_ = nullptr;
  document::Autosave autosave_{""};
  bool placed_ = false;
  document::CardState written_;  // the card as last written
  bool fileExists_ = false;
  bool restoring_ = false;  // the restored card arriving is no edit
  bool timerRunning_ = false;
  int editsWritten_ = 0;
  int writes_ = 0;
};

}  // namespace app
