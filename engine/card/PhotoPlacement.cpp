#include "engine/card/PhotoPlacement.h"

#include <cmath>
#include <limits>

namespace engine {

namespace {

// Products and quotients of the cover rule are taken in 64 bits: a large
// photo in a large box overflows 32 bits (4000 x 1200000 and so on).
uint32_t Quotient(uint64_t numerator, uint64_t denominator) {
  const uint64_t q = numerator / denominator;
  return q > std::numeric_limits<uint32_t>::max() ? std::numeric_limits<uint32_t>::max()
                                                  : uint32_t(q);
}

// Truncation toward zero into 32 bits, defined for every input: a stored pan
// can be anything a layout or a command line put there.
int32_t TruncateToInt32(double v) {
  if (!(v == v)) return 0;  // NaN
  if (v <= double(std::numeric_limits<int32_t>::min())) return std::numeric_limits<int32_t>::min();
  if (v >= double(std::numeric_limits<int32_t>::max())) return std::numeric_limits<int32_t>::max();
  return int32_t(v);
}

// `cropSize` is the cover rule's size, `shownSize` the one actually scaled
// (at least 1): the origin follows the rule, the clamp keeps the pixels
// scaled inside the photo.
int32_t CropOrigin(float pan, uint32_t photoSize, uint32_t cropSize, uint32_t shownSize) {
  int64_t origin = TruncateToInt32(double(pan) * photoSize - cropSize * 0.5);
  const int64_t limit = int64_t(photoSize) - int64_t(shownSize);
  if (origin < 0) {
    origin = 0;
  } else if (origin > limit) {
    origin = limit;
  }
  return int32_t(origin);
}

}  // namespace

bool PutPhoto(SlotList& slots, size_t index, Raster&& photo) {
  if (index >= slots.size() || photo.Empty() || photo.format != PixelFormat::Rgb24) return false;
  PhotoSlot& slot = slots[index];
  slot.TakePhoto(std::move(photo));
  // The old photo's pan and zoom meant a part of a different picture.
  slot.panX = 0.5f;
  slot.panY = 0.5f;
  slot.zoom = 1.0f;
  return true;
}

CoverSizeResult CoverSize(uint32_t boxWidth, uint32_t boxHeight, uint32_t photoWidth,
                          uint32_t photoHeight) {
  CoverSizeResult r{boxWidth, boxHeight};
  if (photoWidth == 0 || photoHeight == 0) return r;
  if (uint64_t(boxWidth) * photoHeight < uint64_t(boxHeight) * photoWidth) {
    r.scaledWidth = Quotient(uint64_t(boxHeight) * photoWidth, photoHeight);
  } else {
    r.scaledHeight = Quotient(uint64_t(boxWidth) * photoHeight, photoWidth);
  }
  return r;
}

float ClampZoom(float zoom) {
  if (!(zoom >= kMinZoom)) return kMinZoom;  // also NaN
  if (zoom > kMaxZoom) return kMaxZoom;
  return zoom;
}

CropSize ZoomedCropSize(uint32_t boxWidth, uint32_t boxHeight, uint32_t photoWidth,
                        uint32_t photoHeight, float zoom) {
  CropSize size{photoWidth, photoHeight};
  if (boxWidth == 0 || boxHeight == 0 || photoWidth == 0 || photoHeight == 0) return size;
  if (uint64_t(boxWidth) * photoHeight < uint64_t(boxHeight) * photoWidth) {
    size.width = Quotient(uint64_t(boxWidth) * photoHeight, boxHeight);
  } else {
    size.height = Quotient(uint64_t(boxHeight) * photoWidth, boxWidth);
  }
  const float z = ClampZoom(zoom);
  if (z != 1.0f) {
    size.width = uint32_t(double(size.width) / double(z));
    size.height = uint32_t(double(size.height) / double(z));
  }
  return size;
}

Crop ComputeCrop(const PhotoSlot& slot) {
  const uint32_t boxWidth = uint32_t(slot.BoxWidth());
  const uint32_t boxHeight = uint32_t(slot.BoxHeight());
  const uint32_t photoWidth = slot.photoWidth;
  const uint32_t photoHeight = slot.photoHeight;
  Crop crop{0, 0, photoWidth, photoHeight};
  if (boxWidth == 0 || boxHeight == 0 || photoWidth == 0 || photoHeight == 0) return crop;

  const CropSize rule = ZoomedCropSize(boxWidth, boxHeight, photoWidth, photoHeight, slot.zoom);
  // A box far narrower than the photo's proportions (or a deep zoom into a
  // thin one) would give an empty crop, which scaling would read as the
  // column at cropX anyway (and past the photo at the far edge); one pixel
  // of photo is what is shown.
  crop.cropWidth = rule.width == 0 ? 1 : rule.width;
  crop.cropHeight = rule.height == 0 ? 1 : rule.height;

  crop.cropX = CropOrigin(slot.panX, photoWidth, rule.width, crop.cropWidth);
  crop.cropY = CropOrigin(slot.panY, photoHeight, rule.height, crop.cropHeight);
  return crop;
}

float ClampPanToBox(float pan, int32_t boxSize, uint32_t coverSize, float zoom) {
  // At zoom 1 these are the cover rule's own limits, bit for bit.
  const double half = boxSize * 0.5 / (double(coverSize) * double(zoom));
  if (pan < half) return float(half);
  if (pan > 1 - half) return float(1 - half);
  return pan;
}

void DragPan(SlotList& slots, const DragState& drag, const Rect& cardRect, uint32_t templateWidth,
             uint32_t templateHeight, int32_t x, int32_t y) {
  if (drag.dragSlot < 0 || size_t(drag.dragSlot) >= slots.size()) return;
  PhotoSlot& slot = slots[size_t(drag.dragSlot)];
  // Without a card on screen, a photo or a box there is nothing to follow;
  // going on would divide by zero and store NaN as the pan.
  if (cardRect.Width() <= 0 || cardRect.Height() <= 0 || templateWidth == 0 ||
      templateHeight == 0 || !slot.HasPhoto() || slot.BoxWidth() <= 0 || slot.BoxHeight() <= 0) {
    return;
  }

  const int32_t dx = x - drag.dragStartX;
  const int32_t dy = y - drag.dragStartY;
  const float scaleX = float(double(cardRect.Width()) / templateWidth);
  const float scaleY = float(double(cardRect.Height()) / templateHeight);
  const CoverSizeResult cover = CoverSize(uint32_t(slot.BoxWidth()), uint32_t(slot.BoxHeight()),
                                          slot.photoWidth, slot.photoHeight);
  // The zoomed photo is the cover size times the zoom; one template pixel of
  // pointer movement is one template pixel of that picture.
  const float zoom = ClampZoom(slot.zoom);
  const double scaledWidth = double(cover.scaledWidth) * double(zoom);
  const double scaledHeight = double(cover.scaledHeight) * double(zoom);

  // Evaluated in double and stored as float, like the scale above.
  const float panX =
      float(double(drag.dragStartPanX) - (double(dx) / double(scaleX)) / scaledWidth);
  slot.panX = ClampPanToBox(panX, slot.BoxWidth(), cover.scaledWidth, zoom);

  const float panY =
      float(double(drag.dragStartPanY) - (double(dy) / double(scaleY)) / scaledHeight);
  slot.panY = ClampPanToBox(panY, slot.BoxHeight(), cover.scaledHeight, zoom);
}

}  // namespace engine
