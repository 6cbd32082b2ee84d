#pragma once

#include <cstdint>

#include "engine/card/CardTemplate.h"
#include "geometry/Rect.h"

namespace interaction {

// Which region the keyboard works on. Tab walks the visible regions in slot
// order; the ring around the focused region shows only when the keyboard
// put it there, as desktops do.
class RegionFocus {
 public:
  int32_t Slot() const { return slot_; }
  bool RingVisible() const { return slot_ != -1 && ringVisible_; }

  // The next visible region after the focused one (the first when none is
  // focused), or false at the end of the card, when focus goes on elsewhere.
  bool Next(const engine::Card& card);
  bool Previous(const engine::Card& card);
  void Set(int32_t slot, bool ringVisible) { slot_ = slot, ringVisible_ = ringVisible; }
  void Clear() { slot_ = -1, ringVisible_ = false; }
  // A template change can hide the focused region.
  void Validate(const engine::Card& card);

  // The slot's box on screen, for a card shown in `cardRect`; empty when the
  // slot is hidden or the card has no size.
  static geometry::Rect BoxOnScreen(const engine::Card& card, const geometry::Rect& cardRect,
                                  int32_t slot);

 private:
  int32_t slot_ = -1;
  bool ringVisible_ = false;
};

}  // namespace interaction
