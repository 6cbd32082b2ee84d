#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "document/CardState.h"
#include "document/EditHistory.h"
#include "engine/raster/ImageReader.h"
#include "imagefiles/LayoutFile.h"

namespace document {

// What an edit changed, for the views of the document.
enum ChangeFlag : uint32_t {
  kDesignChanged = 1,   // the design's pictures: size, proportions, regions
  kCardChanged = 2,     // what the card shows: photos, their framing, the regions, its words
  kHistoryChanged = 4,  // what undo and redo would do, or whether it is saved
};

class DocumentObserver {
 public:
  virtual ~DocumentObserver() = default;
  // `what` holds ChangeFlag bits.
  virtual void DocumentChanged(uint32_t what) = 0;
};

// How an edit of the slots enters the history.
enum class Commit {
  Step,     // a step of its own
  Gesture,  // joins the open gesture of the same kind on the same slot
  Later,    // not yet (a drag in progress): CommitPending makes it a step
};

// The card the user is making: its design and, per region, the photo with
// its framing and where it came from, plus the history of its edits and
// whether it is saved. Every change goes through here, and every observer
// hears of it once it is done. The photos' pixels are a cache of their
// files, read through `reader`.
class CardDocument {
 public:
  explicit CardDocument(const engine::ImageReader& reader);
  CardDocument(const CardDocument&) = delete;
  CardDocument& operator=(const CardDocument&) = delete;

  // A new card on built-in design `builtInIndex` with every region empty;
  // the history starts here and the card counts as saved. False when the
  // design cannot be loaded (the card is then blank).
  bool Start(int builtInIndex = 0);
  // A whole card made elsewhere (a project opened, a card restored): the
  // history starts here, and the card counts as saved when `saved` says so.
  // `state` must hold one photo source per slot.
  void Open(CardState&& state, bool saved);

  const CardState& State() const { return state_; }
  // Changes when another card takes this one's place (Start, Open), so
  // that work begun for the old card is not applied to the new one.
  uint64_t CardNumber() const { return cardNumber_; }
  const engine::Card& Card() const { return state_.card; }
  const EditHistory& History() const { return history_; }
  // What reads the document's files and built-in pictures.
  const engine::ImageReader& Reader() const { return reader_; }

  void AddObserver(DocumentObserver* observer);
  void RemoveObserver(DocumentObserver* observer);

  // --- the design; photos stay with their slots -----------------------------
  // False, with nothing changed, when the design cannot be loaded.
  bool UseBuiltInDesign(int index);
  // The Template command: the built-in design after the last one chosen.
  bool NextBuiltInDesign();
  // A layout file. On failure nothing changes and the status says why
  // (`read`: how reading the file went).
  imagefiles::LayoutStatus OpenLayout(const std::string& path, engine::ImageStatus* read = nullptr);

  // --- photos -----------------------------------------------------------------
  // Reads and decodes the file into slot `slot`, centred at zoom 1 (with
  // `keepFraming`, framed and turned as the region's photo was). On
  // failure nothing changes and the status says why.
  engine::ImageStatus LoadPhoto(size_t slot, const std::string& path, bool keepFraming = false);
  // Several files at once, into `slots` in order: a file that cannot be
  // read takes no region, and files beyond the last region are not read
  // (their slot is -1). Everything that loaded is one step of the history.
  struct PhotoLoad {
    std::string path;
    int32_t slot = -1;  // where it went; -1: nowhere
    engine::ImageStatus status;
  };
  std::vector<PhotoLoad> LoadPhotos(const std::vector<size_t>& slots,
                                    const std::vector<std::string>& paths);
  // A photo already decoded, with where it came from. `keepFraming` keeps
  // the region's pan and zoom (a photo found again for a region that kept
  // them); otherwise the photo is centred at zoom 1.
  bool PutPhoto(size_t slot, engine::Raster&& photo, const PhotoSource& source,
                bool keepFraming = false);
  // PutPhoto for photos that arrive one by one from one action of the
  // user: the first makes a step and sets `*step`; the others join that
  // step while it is the last one, and start one of their own otherwise.
  bool PutPhotoJoining(size_t slot, engine::Raster&& photo, const PhotoSource& source,
                       uint64_t* step);
  bool RemovePhoto(size_t slot);
  // Every region empty again, the design kept: one step. False when none
  // had a photo.
  bool RemoveAllPhotos();
  // Turns or mirrors the slot's photo, one step of the history; false, with
  // nothing changed, for an empty slot or when memory runs out.
  bool TurnPhoto(size_t slot, engine::PhotoTurn turn);

  // Any other edit of the slots (pan, zoom, reset), made with the engine's
  // operations by `edit`, which returns whether it changed anything.
  // `gesture` and `slot` only matter for Commit::Gesture.
  bool EditSlots(const std::function<bool(engine::SlotList&)>& edit, Commit commit,
                 Gesture gesture = Gesture::WheelZoom, size_t slot = 0);
  // What Commit::Later edits changed becomes one step.
  void CommitPending();
  // The next gesture edit starts a step of its own.
  void CloseGesture() { history_.CloseGesture(); }

  // --- words on the card ---------------------------------------------------------
  // A box over everything before it, one step of the history; its index.
  // A box with numbers that make no sense (not finite, no size) is not
  // added: the result is then -1.
  int32_t AddText(const text::TextBox& box);
  // Box `index` becomes `box`: Commit::Step for a setting, Commit::Gesture
  // for typing (`gesture` Typing) and nudges (TextNudge), so that a run of
  // them on one box is one step, Commit::Later for a drag. False, with
  // nothing changed, for an index out of range, a box that makes no sense
  // or one equal to what is there.
  bool ChangeText(size_t index, const text::TextBox& box, Commit commit,
                  Gesture gesture = Gesture::Typing);
  // One step; false for an index out of range.
  bool RemoveText(size_t index);

  // --- history ----------------------------------------------------------------
  bool Undo();
  bool Redo();
  bool CanUndo() const { return history_.CanUndo(); }
  bool CanRedo() const { return history_.CanRedo(); }
  void MarkSaved();
  bool ChangedSinceSave() const { return history_.ChangedSinceSave(state_); }

 private:
  // The layout file's bytes into `design`, when they are still what was read.
  void KeepLayoutBytes(const std::string& path, DesignSource* design) const;
  // Installs two Rgba32 layers as the template; throws nothing.
  bool InstallDesign(engine::Raster&& regionMap, engine::Raster&& overlay, const DesignSource& design);
  // After a change: a step of the history, then the observers.
  void Changed(const engine::CardTemplate& before, bool commit);
  void Notify(uint32_t what);

  const engine::ImageReader& reader_;
  CardState state_;
  EditHistory history_;
  uint64_t cardNumber_ = 0;
  std::vector<DocumentObserver*> observers_;
};

}  // namespace document
