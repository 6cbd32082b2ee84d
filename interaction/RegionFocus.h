#pragma once

#include <cstdint>
#include <vector>

#include "engine/card/CardTemplate.h"
#include "geometry/Rect.h"

namespace interaction {

// Which region the keyboard works on. Tab walks the visible regions in
// reading order; the ring around the focused region shows only when the
// keyboard put it there, as desktops do.
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

  // The visible slots as a reader meets them: line by line from the top,
  // each line from the left, by the centres of their boxes. A region whose
  // centre lies less than a quarter of its height (or the line's first
  // region's, if that is shorter) below the first one's joins that line.
  static std::vector<int32_t> ReadingOrder(const engine::Card& card);

  // The slot's box on screen, for a card shown in `cardRect`; empty when the
  // slot is hidden or the card has no size.
  static geometry::Rect BoxOnScreen(const engine::Card& card, const geometry::Rect& cardRect,
                                  int32_t slot);
  // Where the slot's outline is drawn: its box on screen and the pixel
  // around it that the scaling may give the region's edge; what a ring's
  // move repaints.
  static geometry::Rect OutlineOnScreen(const engine::Card& card, const geometry::Rect& cardRect,
                                        int32_t slot);

 private:
  int32_t slot_ = -1;
  bool ringVisible_ = false;
};

}  // namespace interaction
