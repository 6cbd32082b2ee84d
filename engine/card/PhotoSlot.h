#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "engine/raster/Raster.h"
#include "engine/raster/RasterView.h"

namespace engine {

// One photo region of the card. A slot's index in the SlotList is its
// identity everywhere; slots are never removed while the window lives.
struct PhotoSlot {
  int32_t left = 0;  // bounding box in template pixels, half-open
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
  uint32_t keyColour = 0;  // already masked with KeyColourMask
  float panX = 0.5f;       // centre of the visible part, fraction of photo width
  float panY = 0.5f;
  float zoom = 1.0f;       // magnification over the cover crop, 1 to 8
  uint32_t photoWidth = 0;
  uint32_t photoHeight = 0;
  // Rgb24, packed; null when empty. Never written once loaded, so the edit
  // history shares a photo with the card instead of copying it.
  std::shared_ptr<const uint8_t[]> photoPixels;

  int32_t BoxWidth() const { return right - left; }
  int32_t BoxHeight() const { return bottom - top; }
  bool Hidden() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
  bool HasPhoto() const { return photoPixels != nullptr; }
  // Makes an Rgb24 raster the slot's photo without copying it; the previous
  // photo goes unless the history still holds it. An empty raster empties
  // the slot.
  void TakePhoto(Raster&& photo) {
    std::shared_ptr<const uint8_t[]> pixels(std::move(photo.pixels));
    photoWidth = pixels ? photo.width : 0;
    photoHeight = pixels ? photo.height : 0;
    photoPixels = std::move(pixels);
    photo.Reset();
  }
  // The whole photo as a read-only view (the resampler never writes its source).
  RasterView PhotoView() const {
    return RasterView{const_cast<uint8_t*>(photoPixels.get()), int32_t(photoWidth),
                      int32_t(photoHeight),
                      int32_t(photoWidth * 3)};
  }
};

using SlotList = std::vector<PhotoSlot>;

}  // namespace engine
