#include "engine/card/PhotoTurn.h"

#include <cstring>
#include <utility>

namespace engine {

TurnState After(TurnState state, PhotoTurn turn) {
  switch (turn) {
    case PhotoTurn::Mirror:
      state.mirrored = !state.mirrored;
      break;
    case PhotoTurn::Right:
    case PhotoTurn::Left: {
      // Under a mirror, what looks like a clockwise turn is an anticlockwise
      // one of the picture beneath it.
      const bool clockwise = (turn == PhotoTurn::Right) != state.mirrored;
      state.quarters = uint8_t((state.quarters + (clockwise ? 1 : 3)) % 4);
      break;
    }
  }
  return state;
}

Raster TurnedCopy(const RasterView& from, PhotoTurn turn) {
  const uint32_t w = uint32_t(from.width), h = uint32_t(from.height);
  const bool quarter = turn != PhotoTurn::Mirror;
  Raster to = Raster::Allocate(quarter ? h : w, quarter ? w : h, PixelFormat::Rgb24);
  for (uint32_t y = 0; y < to.height; ++y) {
    uint8_t* out = to.Row(y);
    for (uint32_t x = 0; x < to.width; ++x, out += 3) {
      // The source pixel that lands at (x, y).
      uint32_t sx = 0, sy = 0;
      switch (turn) {
        case PhotoTurn::Right:
          sx = y, sy = h - 1 - x;
          break;
        case PhotoTurn::Left:
          sx = w - 1 - y, sy = x;
          break;
        case PhotoTurn::Mirror:
          sx = w - 1 - x, sy = y;
          break;
      }
      std::memcpy(out, from.pixels + size_t(sy) * size_t(from.stride) + size_t(sx) * 3, 3);
    }
  }
  return to;
}

void ApplyTurnState(Raster& photo, TurnState state) {
  if (state.Identity() || photo.Empty() || photo.format != PixelFormat::Rgb24) return;
  Raster shown;
  auto step = [&](PhotoTurn turn) {
    const Raster& source = shown.Empty() ? photo : shown;
    const RasterView view{const_cast<uint8_t*>(source.pixels.get()), int32_t(source.width),
                          int32_t(source.height), int32_t(source.Stride())};
    Raster next = TurnedCopy(view, turn);
    shown.Swap(next);
  };
  if (state.quarters == 2) {
    step(PhotoTurn::Right);
    step(PhotoTurn::Right);
  } else if (state.quarters != 0) {
    step(state.quarters == 1 ? PhotoTurn::Right : PhotoTurn::Left);
  }
  if (state.mirrored) step(PhotoTurn::Mirror);
  photo.Swap(shown);
}

bool TurnSlotPhoto(SlotList& slots, size_t index, PhotoTurn turn) {
  if (index >= slots.size() || !slots[index].HasPhoto()) return false;
  PhotoSlot& slot = slots[index];
  Raster turned = TurnedCopy(slot.PhotoView(), turn);
  const float x = slot.panX, y = slot.panY;
  switch (turn) {
    case PhotoTurn::Right:
      slot.panX = 1.0f - y, slot.panY = x;
      break;
    case PhotoTurn::Left:
      slot.panX = y, slot.panY = 1.0f - x;
      break;
    case PhotoTurn::Mirror:
      slot.panX = 1.0f - x;
      break;
  }
  slot.TakePhoto(std::move(turned));
  return true;
}

}  // namespace engine
