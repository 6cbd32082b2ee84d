#include "document/CardDocument.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <memory>
#include <new>
#include <utility>

#include "document/BuiltInDesigns.h"
#include "document/PhotoFile.h"
#include "engine/card/PhotoPlacement.h"
#include "engine/card/PhotoTurn.h"
#include "engine/card/SlotEditing.h"
#include "imagefiles/ContentHash.h"

namespace document {

namespace {

bool SameLayers(const engine::CardTemplate& a, const engine::CardTemplate& b) {
  return a.width == b.width && a.height == b.height && a.regionMap == b.regionMap &&
         a.overlay == b.overlay;
}

}  // namespace

CardDocument::CardDocument(const engine::ImageReader& reader) : reader_(reader) {}

bool CardDocument::Start(int builtInIndex) {
  ++cardNumber_;
  CardState fresh;
  engine::Raster tile = LoadPlaceholderTile(reader_);
  if (!tile.Empty())
    fresh.card.placeholderTile = std::make_shared<const engine::Raster>(std::move(tile));
  state_ = std::move(fresh);
  engine::Raster map, overlay;
  DesignSource design;
  design.builtInIndex = design.cycleIndex = builtInIndex;
  const bool loaded = LoadBuiltInDesign(builtInIndex, reader_, &map, &overlay) &&
                      InstallDesign(std::move(map), std::move(overlay), design);
  if (!loaded) state_.design.cycleIndex = builtInIndex;
  history_.Start(state_);  // a card never changed since it started closes at once
  Notify(kDesignChanged | kCardChanged | kHistoryChanged);
  return loaded;
}

void CardDocument::Open(CardState&& state, bool saved) {
  ++cardNumber_;
  state_ = std::move(state);
  state_.photos.resize(state_.card.slots.size());
  history_.Start(state_);
  if (!saved) history_.MarkUnsaved();
  Notify(kDesignChanged | kCardChanged | kHistoryChanged);
}

void CardDocument::AddObserver(DocumentObserver* observer) { observers_.push_back(observer); }

void CardDocument::RemoveObserver(DocumentObserver* observer) {
  observers_.erase(std::remove(observers_.begin(), observers_.end(), observer), observers_.end());
}

bool CardDocument::InstallDesign(engine::Raster&& regionMap, engine::Raster&& overlay,
                                 const DesignSource& design) {
  try {
    // The copies that can fail come first, so the card stays whole if
    // memory runs out.
    std::vector<PhotoSource> photos = state_.photos;
    DesignSource source = design;
    engine::Card card = state_.card;
    if (!engine::SetTemplate(card, std::move(regionMap), std::move(overlay))) return false;
    photos.resize(card.slots.size());
    state_.card = std::move(card);
    state_.photos = std::move(photos);
    state_.design = std::move(source);
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

bool CardDocument::UseBuiltInDesign(int index) {
  engine::Raster map, overlay;
  if (!LoadBuiltInDesign(index, reader_, &map, &overlay)) return false;
  const engine::CardTemplate before = state_.card.cardTemplate;
  DesignSource design;
  design.builtInIndex = design.cycleIndex = index;
  if (!InstallDesign(std::move(map), std::move(overlay), design)) return false;
  Changed(before, true);
  return true;
}

bool CardDocument::NextBuiltInDesign() {
  return UseBuiltInDesign(document::NextBuiltInDesign(state_.design.cycleIndex));
}

imagefiles::LayoutStatus CardDocument::OpenLayout(const std::string& path,
                                                  engine::ImageStatus* read) {
  imagefiles::LayoutLayers layers;
  DesignSource design;
  imagefiles::LayoutStatus status;
  try {
    status = imagefiles::ReadLayoutFile(path, reader_, &layers, &design.layoutHash, read);
  } catch (const std::bad_alloc&) {
    // A huge user-made template is a refused file, not the end of the program.
    status = imagefiles::LayoutStatus::TooLarge;
  }
  if (status != imagefiles::LayoutStatus::Ok) return status;
  design.layoutPath = path;
  KeepLayoutBytes(path, &design);
  design.cycleIndex = state_.design.cycleIndex;
  design.layoutPpi = layers.ppi;
  const engine::CardTemplate before = state_.card.cardTemplate;
  if (!InstallDesign(std::move(layers.regionMap), std::move(layers.overlay), design))
    return imagefiles::LayoutStatus::TooLarge;
  Changed(before, true);
  return status;
}

void CardDocument::KeepLayoutBytes(const std::string& path, DesignSource* design) const {
  // A project carries the layout as it was read; read again, the file must
  // still be those bytes.
  try {
    auto bytes = std::make_shared<std::vector<uint8_t>>();
    if (reader_.ReadFile(path, bytes.get()) &&
        imagefiles::ContentHash(bytes->data(), bytes->size()) == design->layoutHash)
      design->layoutFile = std::move(bytes);
  } catch (const std::bad_alloc&) {
    design->layoutFile.reset();
  }
}

engine::ImageStatus CardDocument::LoadPhoto(size_t slot, const std::string& path,
                                            bool keepFraming) {
  if (slot >= state_.card.slots.size()) return engine::ImageStatus::Unreadable(EINVAL);
  engine::Raster photo;
  PhotoSource source;
  const engine::ImageStatus status = ReadPhotoFile(path, reader_, &photo, &source);
  if (!status) return status;
  try {
    // A photo found again is turned as the region's was.
    if (keepFraming) {
      source.turn = state_.photos[slot].turn;
      engine::ApplyTurnState(photo, source.turn);
    }
  } catch (const std::bad_alloc&) {
    return engine::ImageStatus::Failed(engine::ImageFailure::OutOfMemory);
  }
  if (!PutPhoto(slot, std::move(photo), source, keepFraming))
    return engine::ImageStatus::Failed(engine::ImageFailure::OutOfMemory);
  return status;
}

std::vector<CardDocument::PhotoLoad> CardDocument::LoadPhotos(
    const std::vector<size_t>& slots, const std::vector<std::string>& paths) {
  std::vector<PhotoLoad> loads;
  size_t next = 0;
  bool changed = false;
  for (const std::string& path : paths) {
    PhotoLoad load;
    load.path = path;
    if (next < slots.size() && slots[next] < state_.card.slots.size()) {
      try {
        engine::Raster photo;
        PhotoSource source;
        load.status = ReadPhotoFile(path, reader_, &photo, &source);
        PhotoSource copy = source;
        if (load.status && engine::PutPhoto(state_.card.slots, slots[next], std::move(photo))) {
          state_.photos[slots[next]] = std::move(copy);
          load.slot = int32_t(slots[next++]);
          changed = true;
        }
      } catch (const std::bad_alloc&) {
        load.status = engine::ImageStatus::Failed(engine::ImageFailure::OutOfMemory);
      }
    }
    loads.push_back(std::move(load));
  }
  if (changed) Changed(state_.card.cardTemplate, true);
  return loads;
}

bool CardDocument::PutPhotoJoining(size_t slot, engine::Raster&& photo,
                                   const PhotoSource& source, uint64_t* step) {
  if (slot >= state_.card.slots.size()) return false;
  try {
    PhotoSource copy = source;
    if (!engine::PutPhoto(state_.card.slots, slot, std::move(photo))) return false;
    state_.photos[slot] = std::move(copy);
  } catch (const std::bad_alloc&) {
    return false;
  }
  const bool joined = history_.Join(state_, *step);
  Changed(state_.card.cardTemplate, !joined);
  *step = history_.CurrentStep();
  return true;
}

bool CardDocument::PutPhoto(size_t slot, engine::Raster&& photo, const PhotoSource& source,
                            bool keepFraming) {
  if (slot >= state_.card.slots.size()) return false;
  try {
    PhotoSource copy = source;
    const engine::PhotoSlot before = state_.card.slots[slot];
    if (!engine::PutPhoto(state_.card.slots, slot, std::move(photo))) return false;
    if (keepFraming) {
      engine::PhotoSlot& now = state_.card.slots[slot];
      now.panX = before.panX;
      now.panY = before.panY;
      now.zoom = before.zoom;
    }
    state_.photos[slot] = std::move(copy);
  } catch (const std::bad_alloc&) {
    return false;
  }
  Changed(state_.card.cardTemplate, true);
  return true;
}

bool CardDocument::RemovePhoto(size_t slot) {
  if (!engine::RemovePhoto(state_.card.slots, slot)) return false;
  state_.photos[slot] = PhotoSource{};
  Changed(state_.card.cardTemplate, true);
  return true;
}

bool CardDocument::TurnPhoto(size_t slot, engine::PhotoTurn turn) {
  if (slot >= state_.card.slots.size()) return false;
  try {
    if (!engine::TurnSlotPhoto(state_.card.slots, slot, turn)) return false;
  } catch (const std::bad_alloc&) {
    return false;
  }
  state_.photos[slot].turn = engine::After(state_.photos[slot].turn, turn);
  Changed(state_.card.cardTemplate, true);
  return true;
}

bool CardDocument::EditSlots(const std::function<bool(engine::SlotList&)>& edit, Commit commit,
                             Gesture gesture, size_t slot) {
  if (!edit(state_.card.slots)) return false;
  if (commit == Commit::Gesture) {
    history_.CommitGesture(state_, gesture, slot);
    Notify(kCardChanged | kHistoryChanged);
  } else {
    Changed(state_.card.cardTemplate, commit == Commit::Step);
  }
  return true;
}

void CardDocument::CommitPending() {
  if (history_.Commit(state_)) Notify(kHistoryChanged);
}

namespace {

bool Finite(double v) { return std::isfinite(v); }

// What the window, a project or a script hands in is checked once here, so
// that no view or export ever meets a box it cannot lay out.
bool SensibleBox(const text::TextBox& box) {
  return Finite(box.left) && Finite(box.top) && Finite(box.width) && Finite(box.height) &&
         Finite(box.sizePoints) && box.width > 0 && box.height > 0 && box.sizePoints > 0;
}

}  // namespace

int32_t CardDocument::AddText(const text::TextBox& box) {
  if (!SensibleBox(box)) return -1;
  try {
    state_.texts.push_back(box);
  } catch (const std::bad_alloc&) {
    return -1;
  }
  Changed(state_.card.cardTemplate, true);
  return int32_t(state_.texts.size() - 1);
}

bool CardDocument::ChangeText(size_t index, const text::TextBox& box, Commit commit,
                              Gesture gesture) {
  if (index >= state_.texts.size() || !SensibleBox(box) || state_.texts[index] == box)
    return false;
  try {
    state_.texts[index] = box;
  } catch (const std::bad_alloc&) {
    return false;
  }
  if (commit == Commit::Gesture) {
    history_.CommitGesture(state_, gesture, index);
    Notify(kCardChanged | kHistoryChanged);
  } else {
    Changed(state_.card.cardTemplate, commit == Commit::Step);
  }
  return true;
}

bool CardDocument::RemoveText(size_t index) {
  if (index >= state_.texts.size()) return false;
  state_.texts.erase(state_.texts.begin() + std::ptrdiff_t(index));
  Changed(state_.card.cardTemplate, true);
  return true;
}

bool CardDocument::Undo() {
  const engine::CardTemplate before = state_.card.cardTemplate;
  if (!history_.Undo(state_)) return false;
  Changed(before, false);
  return true;
}

bool CardDocument::Redo() {
  const engine::CardTemplate before = state_.card.cardTemplate;
  if (!history_.Redo(state_)) return false;
  Changed(before, false);
  return true;
}

void CardDocument::MarkSaved() {
  history_.MarkSaved(state_);
  Notify(kHistoryChanged);
}

bool CardDocument::RemoveAllPhotos() {
  bool removed = false;
  for (size_t slot = 0; slot < state_.card.slots.size(); ++slot)
    if (engine::RemovePhoto(state_.card.slots, slot)) {
      state_.photos[slot] = PhotoSource{};
      removed = true;
    }
  if (removed) Changed(state_.card.cardTemplate, true);
  return removed;
}

void CardDocument::Changed(const engine::CardTemplate& before, bool commit) {
  if (commit) history_.Commit(state_);
  uint32_t what = kCardChanged | kHistoryChanged;
  if (!SameLayers(before, state_.card.cardTemplate)) what |= kDesignChanged;
  Notify(what);
}

void CardDocument::Notify(uint32_t what) {
  // An observer may add or remove observers while it is told.
  const std::vector<DocumentObserver*> observers = observers_;
  for (DocumentObserver* observer : observers)
    if (std::find(observers_.begin(), observers_.end(), observer) != observers_.end())
      observer->DocumentChanged(what);
}

}  // namespace document
