#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/card/PhotoSlot.h"
#include "geometry/Rect.h"

namespace engine {

using geometry::Point;
using geometry::Rect;

// Edits of one slot beyond loading and dragging. Each takes the slot by index
// into the SlotList (an index that is not a slot changes nothing) and returns
// true when the slot changed, which is when the caller repaints and commits
// the change to the edit history.

// One notch of a wheel (the desktop's unit, in eighths of a degree) zooms by
// kZoomPerNotch; smooth-scrolling devices send parts of a notch and zoom in
// proportion.
constexpr int32_t kWheelNotch = 120;
constexpr double kZoomPerNotch = 1.25;

// `zoom` after a wheel turn of `wheelDelta` (positive: away from the user,
// zooming in), clamped to [kMinZoom, kMaxZoom]. A result within a hair of 1
// is exactly 1, so zooming back out always reaches the plain cover crop.
float ZoomAfterWheel(float zoom, int32_t wheelDelta);

// Sets the zoom of a filled slot (clamped) so that the photo point under
// (templateX, templateY) stays where it is, to within one photo pixel; the
// point is taken inside the box. The new pan is clamped as a drag clamps it,
// so zooming out by an edge of the photo pulls the photo in.
bool ZoomSlotAt(SlotList& slots, size_t index, float zoom, double templateX, double templateY);

// The same about the pointer at client (x, y) over the card shown in
// `cardRect`, for a template of templateWidth x templateHeight.
bool ZoomSlotAtPoint(SlotList& slots, size_t index, float zoom, const Rect& cardRect,
                     uint32_t templateWidth, uint32_t templateHeight, int32_t x, int32_t y);

// The wheel over a photo: ZoomAfterWheel about the pointer.
bool WheelZoomSlot(SlotList& slots, size_t index, int32_t wheelDelta, const Rect& cardRect,
                   uint32_t templateWidth, uint32_t templateHeight, int32_t x, int32_t y);

// The keys: `notches` wheel notches (+1 in, -1 out) about the box's centre.
bool StepZoomSlot(SlotList& slots, size_t index, int32_t notches);

// Moves a filled slot's photo as a drag by (dx, dy) client pixels would.
bool NudgePan(SlotList& slots, size_t index, const Rect& cardRect, uint32_t templateWidth,
              uint32_t templateHeight, int32_t dx, int32_t dy);

// True when the slot holds a photo whose pan or zoom is not the centred,
// unzoomed one: when "reset position and zoom" applies.
bool CanResetPanAndZoom(const PhotoSlot& slot);

// Pan 0.5, 0.5 and zoom 1.
bool ResetPanAndZoom(SlotList& slots, size_t index);

// Empties a filled slot: it shows the placeholder again, with pan and zoom
// reset. The photo itself lives on while the edit history holds it.
bool RemovePhoto(SlotList& slots, size_t index);

}  // namespace engine
