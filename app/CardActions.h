#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/DesignChooser.h"
#include "app/PhotoLoads.h"
#include "app/RecentLayouts.h"
#include "document/CardDocument.h"
#include "document/DesignSizes.h"
#include "engine/raster/ImageStatus.h"
#include "platform/Platform.h"

namespace app {

class ProjectActions;

// What the window does with files and words: the open and save dialogs,
// the questions, and the messages that say what went wrong. Each works on
// the document; the window shows the result when the document tells it.
class CardActions {
 public:
  CardActions(platform::Platform& platform, document::CardDocument& document)
      : platform_(platform), document_(document) {}

  // Dialogs and messages need a window to belong to.
  void Attach(platform::Window* window) { window_ = window; }
  // Where to say what was just done ("Saved ..."): the window's hint line.
  void OnTell(std::function<void(const std::string&)> tell) { tell_ = std::move(tell); }

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
  // The Designs command: the design chooser.
  // The design chooser; with `projects`, the recent projects are offered too.
  void ChooseDesign(ProjectActions* projects = nullptr);
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

  // From now on the photos of PlacePhotos and OpenFiles are read on
  // `loads`' threads and go into the card as each is ready (null: here and
  // at once). The photos of one call are still one step of the history.
  void UseLoads(PhotoLoads* loads);
  // Until every photo being read is in the card (or failed), with the wait
  // cursor and `why` on the hint line; the window is drawn meanwhile.
  void WaitForLoads(const std::string& why);
  // Photos still being read are forgotten (the window closes).
  void CancelLoads();
  // Photos that are ready while `busy` answers true (a photo being dragged)
  // wait for DeliverHeld: the drag stays a step of its own.
  void HoldArrivalsWhile(std::function<bool()> busy) { arrivalsHeld_ = std::move(busy); }
  void DeliverHeld();

  void OpenHelp();
  void OpenDonationPage();

  // The folder of the last file opened or saved, where dialogs start.
  const std::string& LastFolder() const { return lastFolder_; }

  // What saves are for: print unless the user last saved at screen size.
  document::SizeUse PreferredUse() const { return preferredUse_; }
  // As if the user had last saved for `use` (a setting brought back).
  void SetPreferredUse(document::SizeUse use) { preferredUse_ = use; }
  // The size the next save offers first: the card's design at the
  // preferred use, or at its only size.
  document::DesignSize OutputSize() const;

  // The layout files opened lately, kept in the platform's settings folder.
  RecentLayouts& Recent();

 private:
  void ShowMessage(const std::string& text,
                   platform::MessageIcon icon = platform::MessageIcon::Warning);
  void Tell(const std::string& sentence) {
    if (tell_) tell_(sentence);
  }
  void RememberFolderOf(const std::string& path);
  // A browser could not show `what`, at `address`: says so, and where it is.
  void ReportAddressFailure(const std::string& what, const std::string& address);
  // At a print size, photos that would print soft: false when the user
  // would rather not save so.
  bool AcceptSoftPhotos(const document::DesignSize& size);

  // The photos of one action: `paths[i]` into `slots[i]` on the loads'
  // threads; `unplaced`: files with no region left for them.
  void StartLoads(const std::vector<size_t>& slots, const std::vector<std::string>& paths,
                  const std::vector<std::string>& unplaced, int32_t replacing);
  void Arrived(PhotoLoads::Finished&& finished);
  // Tells, in one message, what could not be used of the actions whose
  // photos are all in.
  void ReportFinishedBatches();
  // One message for the files of an action that were not used.
  struct Unused {
    std::string path;
    engine::ImageStatus status;  // a success: no region was left for it
  };
  void ReportUnused(const std::vector<Unused>& unused);

  struct Batch {
    uint64_t card = 0;       // the card it was for (CardDocument::CardNumber)
    uint64_t step = 0;       // the history step its photos join
    int32_t replacing = -1;  // the region whose photo it replaces
    std::vector<Unused> unused;
  };
  void GiveRegionToFileLeftOver(Batch& batch, uint64_t id, int32_t slot);

  platform::Platform& platform_;
  document::CardDocument& document_;
  PhotoLoads* loads_ = nullptr;
  std::map<uint64_t, Batch> batches_;
  uint64_t nextBatch_ = 1;
  std::function<bool()> arrivalsHeld_;
  std::vector<PhotoLoads::Finished> held_;
  platform::Window* window_ = nullptr;
  std::function<void(const std::string&)> tell_;
  std::string lastFolder_;
  // What the save dialog offers next, as last chosen while the program runs.
  bool savePng_ = false;
  bool savePdf_ = false;  // the PDF type was chosen last
  std::string saveName_ = "card";
  document::SizeUse preferredUse_ = document::SizeUse::Print;
  std::unique_ptr<RecentLayouts> recent_;  // made on first use
  std::unique_ptr<DesignChooser> chooser_;
};

}  // namespace app
