#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "engine/RasterView.h"

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
  float zoom = 1.0f;       // kept for layout compatibility; nothing reads it
  uint32_t photoWidth = 0;
  uint32_t photoHeight = 0;
  std::unique_ptr<uint8_t[]> photoPixels;  // Rgb24, packed; null when empty

  int32_t BoxWidth() const { return right - left; }
  int32_t BoxHeight() const { return bottom - top; }
  bool Hidden() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
  bool HasPhoto() const { return photoPixels != nullptr; }
  // The whole photo as a read-only view (the resampler never writes its source).
  RasterView PhotoView() const {
    return RasterView{photoPixels.get(), int32_t(photoWidth), int32_t(photoHeight),
                      int32_t(photoWidth * 3)};
  }
};

using SlotList = std::vector<PhotoSlot>;

}  // namespace engine
