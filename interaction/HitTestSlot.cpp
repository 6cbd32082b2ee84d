#include "interaction/HitTestSlot.h"

namespace interaction {

int32_t HitTestSlot(const engine::Card& card, const geometry::Rect& cardRect, int32_t x, int32_t y) {
  const engine::CardTemplate& t = card.cardTemplate;
  if (t.width == 0 || t.height == 0 || !t.regionMap) return -1;
  if (x < cardRect.left || x >= cardRect.right || y < cardRect.top || y >= cardRect.bottom) {
    return -1;
  }
  // 64-bit products: a custom template wider than 65,536 pixels would wrap
  // the 32-bit ones and hit the wrong region.
  const uint64_t tx = uint64_t(int64_t(x) - cardRect.left) * t.width / uint32_t(cardRect.Width());
  const uint64_t ty = uint64_t(int64_t(y) - cardRect.top) * t.height / uint32_t(cardRect.Height());

  for (size_t i = 0; i < card.slots.size(); ++i) {
    const engine::PhotoSlot& slot = card.slots[i];
    if (int64_t(tx) < slot.left || int64_t(tx) >= slot.right || int64_t(ty) < slot.top ||
        int64_t(ty) >= slot.bottom) {
      continue;
    }
    const uint8_t* pixel = t.regionMap.get() + (size_t(ty) * t.width + size_t(tx)) * 4;
    if ((engine::PixelWord(pixel) & engine::KeyColourMask) == slot.keyColour) return int32_t(i);
  }
  return -1;
}

}  // namespace interaction
