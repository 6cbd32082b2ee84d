#include "document/EditHistory.h"

#include <new>
#include <unordered_set>
#include <utility>

namespace document {

EditHistory::EditHistory(size_t maxSteps, size_t maxHeldBytes)
    : maxSteps_(maxSteps), maxHeldBytes_(maxHeldBytes) {}

void EditHistory::Start(const CardState& card) {
  State state;
  state.card = card;
  state.id = nextId_++;
  states_.clear();
  states_.push_back(std::move(state));
  current_ = 0;
  savedId_ = states_.front().id;
}

bool EditHistory::Commit(const CardState& card) {
  if (states_.empty()) {
    // Without a start there is no earlier card to go back to; nothing says
    // this one was saved either.
    Start(card);
    savedId_ = 0;
    return false;
  }
  CloseGesture();
  if (SameState(card, states_[current_].card)) return false;
  return Push(card, false, Gesture::WheelZoom, 0);
}

bool EditHistory::CommitGesture(const CardState& card, Gesture gesture, size_t slot) {
  if (states_.empty()) {
    Start(card);
    savedId_ = 0;
    return false;
  }
  State& last = states_[current_];
  if (SameState(card, last.card)) return false;
  const bool joins = last.open && last.gesture == gesture && last.slot == slot && current_ > 0 &&
                     current_ + 1 == states_.size();
  if (!joins) {
    CloseGesture();
    return Push(card, true, gesture, slot);
  }
  if (SameState(card, states_[current_ - 1].card)) {
    // Zoomed in and back out again: the gesture changed nothing.
    states_.pop_back();
    --current_;
    return true;
  }
  try {
    last.card = card;
    last.id = nextId_++;
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

bool EditHistory::Join(const CardState& card, uint64_t step) {
  if (states_.empty() || step == 0 || current_ == 0 || current_ + 1 != states_.size()) return false;
  State& last = states_[current_];
  if (last.id != step || last.open) return false;
  try {
    last.card = card;
  } catch (const std::bad_alloc&) {
    return false;
  }
  // A new name: the step joined may have been the saved one.
  last.id = nextId_++;
  Trim(card);
  return true;
}

void EditHistory::CloseGesture() {
  if (!states_.empty()) states_[current_].open = false;
}

bool EditHistory::Undo(CardState& card) {
  if (states_.empty()) return false;
  if (!SameState(card, states_[current_].card)) Commit(card);
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

bool EditHistory::Redo(CardState& card) {
  if (states_.empty()) return false;
  if (!SameState(card, states_[current_].card)) {
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

void EditHistory::MarkSaved(const CardState& card) {
  if (states_.empty()) {
    Start(card);
    return;
  }
  Commit(card);
  savedId_ = SameState(card, states_[current_].card) ? states_[current_].id : 0;
}

bool EditHistory::ChangedSinceSave(const CardState& card) const {
  if (states_.empty() || savedId_ == 0) return true;
  return states_[current_].id != savedId_ || !SameState(card, states_[current_].card);
}

size_t EditHistory::HeldBytes(const CardState& card) const {
  std::unordered_set<const void*> counted;
  const engine::CardTemplate& t = card.card.cardTemplate;
  counted.insert(t.regionMap.get());
  counted.insert(t.overlay.get());
  for (const engine::PhotoSlot& slot : card.card.slots) counted.insert(slot.photoPixels.get());

  size_t bytes = 0;
  for (const State& state : states_) {
    const engine::CardTemplate& st = state.card.card.cardTemplate;
    const size_t layerBytes = size_t(st.width) * st.height * 4;
    if (st.regionMap && counted.insert(st.regionMap.get()).second) bytes += layerBytes;
    if (st.overlay && counted.insert(st.overlay.get()).second) bytes += layerBytes;
    for (const engine::PhotoSlot& slot : state.card.card.slots) {
      if (slot.photoPixels && counted.insert(slot.photoPixels.get()).second) {
        bytes += size_t(slot.photoWidth) * slot.photoHeight * 3;
      }
    }
  }
  return bytes;
}

bool EditHistory::Push(const CardState& card, bool open, Gesture gesture, size_t slot) {
  try {
    State state;
    state.card = card;
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

void EditHistory::Apply(const State& state, CardState& card) const {
  CardState copy(state.card);  // the only step that can fail, before anything changes
  card = std::move(copy);
}

void EditHistory::Trim(const CardState& card) {
  while (current_ > 0 && (current_ > maxSteps_ || HeldBytes(card) > maxHeldBytes_)) {
    if (states_.front().id == savedId_) savedId_ = 0;
    states_.pop_front();
    --current_;
  }
}

}  // namespace document
