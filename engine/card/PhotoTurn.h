#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/card/PhotoSlot.h"
#include "engine/raster/Raster.h"
#include "engine/raster/RasterView.h"

namespace engine {

// What the user can do to a photo that came in the wrong way round.
enum class PhotoTurn : uint8_t {
  Right,   // a quarter turn clockwise
  Left,    // a quarter turn anticlockwise
  Mirror,  // left and right exchanged
};

// How a photo is shown, on top of the orientation its file records: turned
// clockwise by `quarters` quarter turns, then mirrored left to right when
// `mirrored`. The identity is {0, false}.
struct TurnState {
  uint8_t quarters = 0;  // 0 to 3
  bool mirrored = false;

  bool operator==(const TurnState& o) const { return quarters == o.quarters && mirrored == o.mirrored; }
  bool operator!=(const TurnState& o) const { return !(*this == o); }
  bool Identity() const { return quarters == 0 && !mirrored; }
};

// The state after `turn` as the user sees it: a turn to the right of a
// mirrored photo is a turn to the left of the photo under the mirror.
TurnState After(TurnState state, PhotoTurn turn);

// An Rgb24 copy of `from` turned or mirrored. Throws std::bad_alloc.
Raster TurnedCopy(const RasterView& from, PhotoTurn turn);

// The Rgb24 `photo` as `state` shows it, in place of the one given.
// Throws std::bad_alloc with `photo` unchanged.
void ApplyTurnState(Raster& photo, TurnState state);

// Replaces a filled slot's photo by a turned or mirrored copy; the history
// keeps the photo it had. The pan follows the part of the picture it was
// on and the zoom stays, so the region shows the same part, turned. Throws
// std::bad_alloc with the slot unchanged.
bool TurnSlotPhoto(SlotList& slots, size_t index, PhotoTurn turn);

}  // namespace engine
