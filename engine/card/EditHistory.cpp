#include "engine/card/EditHistory.h"

#include <cstring>
#include <new>
#include <unordered_set>
#include <utility>

namespace engine {

namespace {

// Floats compared as stored: undo must give back the very bits.
bool SameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

bool SameSlot(const PhotoSlot& a, const PhotoSlot& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom &&
         a.keyColour == b.keyColour && SameBits(a.panX, b.panX) && SameBits(a.panY, b.panY) &&
         SameBits(a.zoom, b.zoom) && a.photoWidth == b.photoWidth &&
         a.photoHeight == b.photoHeight && a.photoPixels == b.photoPixels;
}

bool SameLayers(const CardTemplate& a, const CardTemplate& b) {
  return a.width == b.width && a.height == b.height && a.regionMap == b.regionMap &&
         a.overlay == b.overlay;
}

}  // namespace

EditHistory::EditHistory(size_t maxSteps, size_t maxHeldBytes)
    : maxSteps_(maxSteps), maxHeldBytes_(maxHeldBytes) {}

void EditHistory::Start(const Card& card) {
  State state;
  state.cardTemplate = card.cardTemplate;
  state.slots = card.slots;
  state.id = nextId_++;
  states_.clear();
  states_.push_back(std::move(state));
  current_ = 0;
  savedId_ = states_.front().id;
}

bool EditHistory::Commit(const Card& card) {
  if (states_.empty()) {
    // Without a start there is no earlier card to go back to; nothing says
    // this one was saved either.
    Start(card);
    savedId_ = 0;
    return false;
  }
  CloseGesture();
  if (Matches(card, states_[current_])) return false;
  return Push(card, false, Gesture::WheelZoom, 0);
}

bool EditHistory::CommitGesture(const Card& card, Gesture gesture, size_t slot) {
  if (states_.empty()) {
    Start(card);
    savedId_ = 0;
    return false;
  }
  State& last = states_[current_];
  if (Matches(card, last)) return false;
  const bool joins = last.open && last.gesture == gesture && last.slot == slot && current_ > 0 &&
                     current_ + 1 == states_.size();
  if (!joins) {
    CloseGesture();
    return Push(card, true, gesture, slot);
  }
  if (Matches(card, states_[current_ - 1])) {
    // Zoomed in and back out again: the gesture changed nothing.
    states_.pop_back();
    --current_;
    return true;
  }
  try {
    SlotList slots(card.slots);
    last.cardTemplate = card.cardTemplate;
    last.slots.swap(slots);
    last.id = nextId_++;
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

void EditHistory::CloseGesture() {
  if (!states_.empty()) states_[current_].open = false;
}

bool EditHistory::Undo(Card& card) {
  if (states_.empty()) return false;
  if (!Matches(card, states_[current_])) Commit(card);
  CloseGesture();
  if (current_ == 0) return false;
  try {
    Apply(states_[current_ - 1], card);
  } catch (const std::bad_alloc&) {
    return false;
  }
  --current_;
  return true;
}

bool EditHistory::Redo(Card& card) {
  if (states_.empty()) return false;
  if (!Matches(card, states_[current_])) {
    Commit(card);
    return false;
  }
  CloseGesture();
  if (current_ + 1 >= states_.size()) return false;
  try {
    Apply(states_[current_ + 1], card);
  } catch (const std::bad_alloc&) {
    return false;
  }
  ++current_;
  return true;
}

void EditHistory::MarkSaved(const Card& card) {
  if (states_.empty()) {
    Start(card);
    return;
  }
  Commit(card);
  savedId_ = Matches(card, states_[current_]) ? states_[current_].id : 0;
}

bool EditHistory::ChangedSinceSave(const Card& card) const {
  if (states_.empty() || savedId_ == 0) return true;
  return states_[current_].id != savedId_ || !Matches(card, states_[current_]);
}

size_t EditHistory::HeldBytes(const Card& card) const {
  std::unordered_set<const void*> counted;
  const CardTemplate& t = card.cardTemplate;
  counted.insert(t.regionMap.get());
  counted.insert(t.overlay.get());
  for (const PhotoSlot& slot : card.slots) counted.insert(slot.photoPixels.get());

  size_t bytes = 0;
  for (const State& state : states_) {
    const CardTemplate& st = state.cardTemplate;
    const size_t layerBytes = size_t(st.width) * st.height * 4;
    if (st.regionMap && counted.insert(st.regionMap.get()).second) bytes += layerBytes;
    if (st.overlay && counted.insert(st.overlay.get()).second) bytes += layerBytes;
    for (const PhotoSlot& slot : state.slots) {
      if (slot.photoPixels && counted.insert(slot.photoPixels.get()).second) {
        bytes += size_t(slot.photoWidth) * slot.photoHeight * 3;
      }
    }
  }
  return bytes;
}

bool EditHistory::Push(const Card& card, bool open, Gesture gesture, size_t slot) {
  try {
    State state;
    state.cardTemplate = card.cardTemplate;
    state.slots = card.slots;
    state.id = nextId_++;
    state.open = open;
    state.gesture = gesture;
    state.slot = slot;
    states_.erase(states_.begin() + std::ptrdiff_t(current_) + 1, states_.end());
    states_.push_back(std::move(state));
  } catch (const std::bad_alloc&) {
    return false;
  }
  current_ = states_.size() - 1;
  Trim(card);
  return true;
}

bool EditHistory::Matches(const Card& card, const State& state) const {
  const CardTemplate& t = card.cardTemplate;
  if (!SameLayers(t, state.cardTemplate) ||
      t.builtInTemplateIndex != state.cardTemplate.builtInTemplateIndex ||
      card.slots.size() != state.slots.size()) {
    return false;
  }
  for (size_t i = 0; i < card.slots.size(); ++i) {
    if (!SameSlot(card.slots[i], state.slots[i])) return false;
  }
  return true;
}

void EditHistory::Apply(const State& state, Card& card) const {
  SlotList slots(state.slots);  // the only step that can fail, before anything changes
  const bool newLayers = !SameLayers(card.cardTemplate, state.cardTemplate);
  card.cardTemplate = state.cardTemplate;
  card.slots.swap(slots);
  // The window lays itself out for the template's proportions, as after SetTemplate.
  if (newLayers && card.onTemplateInstalled) card.onTemplateInstalled();
}

void EditHistory::Trim(const Card& card) {
  while (current_ > 0 && (current_ > maxSteps_ || HeldBytes(card) > maxHeldBytes_)) {
    if (states_.front().id == savedId_) savedId_ = 0;
    states_.pop_front();
    --current_;
  }
}

}  // namespace engine
