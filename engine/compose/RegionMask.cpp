#include "engine/compose/RegionMask.h"

namespace engine {

void MaskSlotIntoCard(const CardTemplate& cardTemplate, const PhotoSlot& slot,
                      const uint8_t* slotPixels, const RasterView& card) {
  const int32_t boxWidth = slot.BoxWidth();
  const size_t slotStride = size_t(boxWidth) * 3;
  const size_t mapStride = size_t(cardTemplate.width) * 4;
  for (int32_t y = slot.top; y < slot.bottom; ++y) {
    const uint8_t* s = slotPixels + size_t(y - slot.top) * slotStride;
    const uint8_t* m = cardTemplate.regionMap.get() + size_t(y) * mapStride + size_t(slot.left) * 4;
    uint8_t* w = card.Row(y) + size_t(slot.left) * 3;
    for (int32_t x = 0; x < boxWidth; ++x, s += 3, m += 4, w += 3) {
      const uint32_t a = m[3];
      if (a == 0 || (PixelWord(m) & KeyColourMask) != slot.keyColour) continue;
      if (a == 255) {
        w[0] = s[0];
        w[1] = s[1];
        w[2] = s[2];
      } else {
        const uint32_t white = 255 - a;
        w[0] = uint8_t(((s[0] * (a + 1)) >> 8) + white);
        w[1] = uint8_t(((s[1] * (a + 1)) >> 8) + white);
        w[2] = uint8_t(((s[2] * (a + 1)) >> 8) + white);
      }
    }
  }
}

}  // namespace engine
