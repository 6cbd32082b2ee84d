#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>

#include "document/CardState.h"

namespace document {

// Runs of small changes that undo takes back as one while the gesture lasts:
// the notches of one wheel gesture on one slot, a burst of zoom or pan keys,
// the letters typed into one text box without a pause, a burst of arrow keys
// nudging one text box. For the text gestures the slot is the box's index.
enum class Gesture : uint8_t { WheelZoom, KeyZoom, KeyPan, Typing, TextNudge };

// Undo and redo of every change to the card, and whether the card changed
// since it was last saved.
//
// The history keeps whole states of the card (CardState): its design and
// template, its slot list (boxes, keys, pans, zooms, photos, hidden slots
// included) and where each photo came from. Photos and template pictures are
// immutable shared arrays, so a state costs a few dozen bytes per slot and
// undo gives back exactly the arrays and floats the card had.
//
// The document changes its state and then commits: Commit after a photo is
// put, replaced or removed, after a drag's release, a reset, a design change;
// CommitGesture after each wheel notch (or key) so that the notches of one
// gesture become one step, and CloseGesture when the gesture ends (the
// pointer leaves the slot, other input, a pause). A commit that finds the
// card as it was adds no step.
//
// Bounded: at most kMaxSteps undo steps, and at most kMaxHeldBytes of photos
// and template pictures that only the history holds (a photo replaced or
// removed, a template left). The oldest steps go first, releasing what only
// they held.
class EditHistory {
 public:
  static constexpr size_t kMaxSteps = 100;
  static constexpr size_t kMaxHeldBytes = size_t(512) << 20;

  explicit EditHistory(size_t maxSteps = kMaxSteps, size_t maxHeldBytes = kMaxHeldBytes);

  // Forgets every step: the card as it is now is where undo stops, and it
  // counts as saved (a card never changed since start-up closes without a
  // question). The window calls it once the start-up template is in place.
  void Start(const CardState& card);

  // Makes the card's changes since the last step one step of their own and
  // ends any open gesture. Steps that were undone can no longer be redone.
  // False when the card is as it was (no step) or memory ran out (the
  // change then goes with the next commit).
  bool Commit(const CardState& card);

  // Like Commit, but while the last step is the open gesture of the same
  // kind on the same slot, the change joins that step. A gesture that brings
  // the card back to where it began leaves no step.
  bool CommitGesture(const CardState& card, Gesture gesture, size_t slot);

  // The next change starts a step of its own.
  void CloseGesture();

  // Names the step the card is at (0 before Start), so that a change made
  // later can join it if nothing came between (Join).
  uint64_t CurrentStep() const { return states_.empty() ? 0 : states_[current_].id; }
  // The card's changes join the step named `step` when it is still the
  // last step and the one the card is at: what one action began (photos
  // arriving one by one) stays one step. False, with nothing changed,
  // otherwise; the caller then commits a step of its own.
  bool Join(const CardState& card, uint64_t step);

  size_t UndoSteps() const { return current_; }
  size_t RedoSteps() const { return states_.empty() ? 0 : states_.size() - 1 - current_; }
  bool CanUndo() const { return UndoSteps() != 0; }
  bool CanRedo() const { return RedoSteps() != 0; }

  // Puts the card back as it was before the last step; a change the window
  // had not committed yet (a drag in progress) is committed first, so that
  // it is what undo takes back and redo can give again. False when there is
  // nothing to undo.
  bool Undo(CardState& card);

  // Gives back the last step undone. False when there is none, or when the
  // card has changed since (that change is committed and ends the redo).
  bool Redo(CardState& card);

  // The card as it is now was saved.
  void MarkSaved(const CardState& card);
  // No state is the saved one: a card restored after a crash.
  void MarkUnsaved() { savedId_ = 0; }

  // True when the card differs from the state last saved (or from the
  // start-up state when never saved): undoing back to the saved state makes
  // it false again. True before Start.
  bool ChangedSinceSave(const CardState& card) const;

  // Bytes of photos and template pictures that the history holds and the
  // card does not.
  size_t HeldBytes(const CardState& card) const;

 private:
  struct State {
    CardState card;
    uint64_t id = 0;
    bool open = false;  // the step into this state is a gesture still going on
    Gesture gesture = Gesture::WheelZoom;
    size_t slot = 0;
  };

  bool Push(const CardState& card, bool open, Gesture gesture, size_t slot);
  void Apply(const State& state, CardState& card) const;
  void Trim(const CardState& card);

  size_t maxSteps_;
  size_t maxHeldBytes_;
  std::deque<State> states_;  // oldest first; states_[current_] is the card's
  size_t current_ = 0;
  uint64_t nextId_ = 1;
  uint64_t savedId_ = 0;  // 0: no state is the saved one
};

}  // namespace document
