#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/card/PhotoSlot.h"
#include "geometry/Rect.h"

namespace engine {

using geometry::Point;
using geometry::Rect;

// The press that may turn into a drag of a slot's photo.
struct DragState {
  int32_t dragSlot = -1;  // slot pressed with the left button, -1 when none
  int32_t dragStartX = 0;  // client coordinates of the press
  int32_t dragStartY = 0;
  float dragStartPanX = 0.0f;  // the slot's pan at the press
  float dragStartPanY = 0.0f;
};

struct CoverSizeResult {
  uint32_t scaledWidth;
  uint32_t scaledHeight;
};

struct Crop {
  int32_t cropX;
  int32_t cropY;
  uint32_t cropWidth;
  uint32_t cropHeight;
};

struct CropSize {
  uint32_t width;
  uint32_t height;
};

// A photo's magnification over the cover rule: 1 shows the whole cover crop,
// 8 an eighth of it each way.
constexpr float kMinZoom = 1.0f;
constexpr float kMaxZoom = 8.0f;

// The zoom the crop and the drag use for a stored value: within
// [kMinZoom, kMaxZoom], kMinZoom for NaN.
float ClampZoom(float zoom);

// Makes a decoded Rgb24 picture the photo of slot `index`, shown centred
// at zoom 1 as any new photo. False, with the slot and the picture
// unchanged, when the index is not a slot or the picture is empty or not
// Rgb24.
bool PutPhoto(SlotList& slots, size_t index, Raster&& photo);

// Size of the whole photo scaled to cover the box, in template pixels.
CoverSizeResult CoverSize(uint32_t boxWidth, uint32_t boxHeight, uint32_t photoWidth,
                          uint32_t photoHeight);

// The cover rule's crop at `zoom` (clamped with ClampZoom): the crop that
// keeps the whole photo along one axis with the box's proportions, divided by
// the zoom and truncated. May be 0 along an axis for a box far narrower than
// the photo; ComputeCrop then shows one pixel.
CropSize ZoomedCropSize(uint32_t boxWidth, uint32_t boxHeight, uint32_t photoWidth,
                        uint32_t photoHeight, float zoom);

// The part of the photo, in photo pixels, that fills the slot's box: the
// zoomed cover crop centred on the pan and kept inside the photo. Only for a
// filled slot with a non-empty box. Never narrower or lower than 1 pixel.
Crop ComputeCrop(const PhotoSlot& slot);

// Keeps a pan where a drag keeps it: within [half, 1 - half], half being half
// the box over the photo's cover size (CoverSize) times the zoom along that
// axis.
float ClampPanToBox(float pan, int32_t boxSize, uint32_t coverSize, float zoom);

// Recomputes the pan of slot `drag.dragSlot` from the pointer's offset since
// the press; never accumulates, so the photo follows the pointer one to one
// at any zoom.
void DragPan(SlotList& slots, const DragState& drag, const Rect& cardRect,
             uint32_t templateWidth, uint32_t templateHeight, int32_t x, int32_t y);

}  // namespace engine
