#include "engine/card/SlotEditing.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/card/PhotoPlacement.h"

namespace engine {

namespace {

// Floats compared as stored: a change is a change of bits (NaN included).
bool SameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

PhotoSlot* ZoomableSlot(SlotList& slots, size_t index) {
  if (index >= slots.size()) return nullptr;
  PhotoSlot& slot = slots[index];
  if (!slot.HasPhoto() || slot.BoxWidth() <= 0 || slot.BoxHeight() <= 0) return nullptr;
  return &slot;
}

// The pan along one axis that keeps the photo point at `at` box pixels from
// the box's edge in place while the crop changes from `rule` to `newRule`
// photo pixels (the cover rule's sizes, 0 standing for the one pixel shown).
// The point is followed in continuous photo coordinates, not through the
// truncated crop origin, so the notches of a long wheel gesture do not drift.
float AnchoredPan(float pan, uint32_t photoSize, uint32_t rule, uint32_t newRule, int32_t box,
                  double at, uint32_t coverSize, float newZoom) {
  const double shown = rule == 0 ? 1.0 : double(rule);
  const double newShown = newRule == 0 ? 1.0 : double(newRule);
  // Where ComputeCrop puts the crop, before truncation.
  double origin = double(pan) * photoSize - rule * 0.5;
  if (!(origin == origin)) origin = 0;  // a NaN pan shows the photo's start
  if (origin < 0) {
    origin = 0;
  } else if (origin > photoSize - shown) {
    origin = photoSize - shown;
  }
  if (!(at > 0)) at = 0;
  if (at > box) at = box;
  const double point = origin + at * shown / box;
  const double newOrigin = point - at * newShown / box;
  const float newPan = float((newOrigin + newRule * 0.5) / photoSize);
  return ClampPanToBox(newPan, box, coverSize, newZoom);
}

}  // namespace

float ZoomAfterWheel(float zoom, int32_t wheelDelta) {
  const double factor = std::pow(kZoomPerNotch, double(wheelDelta) / kWheelNotch);
  // Clamped in double: a huge delta must not reach a float conversion out of range.
  double z = double(ClampZoom(zoom)) * factor;
  if (z > kMaxZoom) z = kMaxZoom;
  // Float products of factors do not come back to 1 exactly on the way out.
  if (!(z >= kMinZoom * 1.0001)) z = kMinZoom;
  return float(z);
}

bool ZoomSlotAt(SlotList& slots, size_t index, float zoom, double templateX, double templateY) {
  PhotoSlot* slot = ZoomableSlot(slots, index);
  if (!slot) return false;
  const float oldZoom = ClampZoom(slot->zoom);
  const float newZoom = ClampZoom(zoom);
  if (SameBits(newZoom, slot->zoom)) return false;

  const uint32_t boxWidth = uint32_t(slot->BoxWidth());
  const uint32_t boxHeight = uint32_t(slot->BoxHeight());
  const CropSize before =
      ZoomedCropSize(boxWidth, boxHeight, slot->photoWidth, slot->photoHeight, oldZoom);
  const CropSize after =
      ZoomedCropSize(boxWidth, boxHeight, slot->photoWidth, slot->photoHeight, newZoom);
  const CoverSizeResult cover = CoverSize(boxWidth, boxHeight, slot->photoWidth, slot->photoHeight);
  slot->panX = AnchoredPan(slot->panX, slot->photoWidth, before.width, after.width,
                           slot->BoxWidth(), templateX - slot->left, cover.scaledWidth, newZoom);
  slot->panY = AnchoredPan(slot->panY, slot->photoHeight, before.height, after.height,
                           slot->BoxHeight(), templateY - slot->top, cover.scaledHeight, newZoom);
  slot->zoom = newZoom;
  return true;
}

bool ZoomSlotAtPoint(SlotList& slots, size_t index, float zoom, const Rect& cardRect,
                     uint32_t templateWidth, uint32_t templateHeight, int32_t x, int32_t y) {
  if (cardRect.Width() <= 0 || cardRect.Height() <= 0 || templateWidth == 0 ||
      templateHeight == 0) {
    return false;
  }
  // The centre of the pointer's screen pixel, in template pixels.
  const double templateX = (double(x) - cardRect.left + 0.5) * templateWidth / cardRect.Width();
  const double templateY = (double(y) - cardRect.top + 0.5) * templateHeight / cardRect.Height();
  return ZoomSlotAt(slots, index, zoom, templateX, templateY);
}

bool WheelZoomSlot(SlotList& slots, size_t index, int32_t wheelDelta, const Rect& cardRect,
                   uint32_t templateWidth, uint32_t templateHeight, int32_t x, int32_t y) {
  const PhotoSlot* slot = ZoomableSlot(slots, index);
  if (!slot) return false;
  return ZoomSlotAtPoint(slots, index, ZoomAfterWheel(slot->zoom, wheelDelta), cardRect,
                         templateWidth, templateHeight, x, y);
}

bool StepZoomSlot(SlotList& slots, size_t index, int32_t notches) {
  const PhotoSlot* slot = ZoomableSlot(slots, index);
  if (!slot) return false;
  // Ten notches cross the whole range; more would only overflow the delta.
  notches = std::max(-100, std::min(100, notches));
  const float zoom = ZoomAfterWheel(slot->zoom, notches * kWheelNotch);
  return ZoomSlotAt(slots, index, zoom, slot->left + slot->BoxWidth() * 0.5,
                    slot->top + slot->BoxHeight() * 0.5);
}

bool NudgePan(SlotList& slots, size_t index, const Rect& cardRect, uint32_t templateWidth,
              uint32_t templateHeight, int32_t dx, int32_t dy) {
  PhotoSlot* slot = ZoomableSlot(slots, index);
  if (!slot || index > size_t(INT32_MAX)) return false;
  const float panX = slot->panX, panY = slot->panY;
  DragState drag;
  drag.dragSlot = int32_t(index);
  drag.dragStartPanX = panX;
  drag.dragStartPanY = panY;
  DragPan(slots, drag, cardRect, templateWidth, templateHeight, dx, dy);
  return !SameBits(slot->panX, panX) || !SameBits(slot->panY, panY);
}

bool CanResetPanAndZoom(const PhotoSlot& slot) {
  return slot.HasPhoto() &&
         (!SameBits(slot.panX, 0.5f) || !SameBits(slot.panY, 0.5f) || !SameBits(slot.zoom, 1.0f));
}

bool ResetPanAndZoom(SlotList& slots, size_t index) {
  if (index >= slots.size()) return false;
  PhotoSlot& slot = slots[index];
  const bool changed =
      !SameBits(slot.panX, 0.5f) || !SameBits(slot.panY, 0.5f) || !SameBits(slot.zoom, 1.0f);
  slot.panX = slot.panY = 0.5f;
  slot.zoom = 1.0f;
  return changed;
}

bool RemovePhoto(SlotList& slots, size_t index) {
  if (index >= slots.size() || !slots[index].HasPhoto()) return false;
  PhotoSlot& slot = slots[index];
  slot.photoPixels.reset();
  slot.photoWidth = slot.photoHeight = 0;
  slot.panX = slot.panY = 0.5f;
  slot.zoom = 1.0f;
  return true;
}

}  // namespace engine
