#include "engine/compose/OverlayBlend.h"

namespace engine {

void BlendOverlay(const CardTemplate& cardTemplate, const RasterView& card) {
  if (!cardTemplate.overlay) return;
  const size_t overlayStride = size_t(cardTemplate.width) * 4;
  for (uint32_t y = 0; y < cardTemplate.height; ++y) {
    const uint8_t* o = cardTemplate.overlay.get() + size_t(y) * overlayStride;
    uint8_t* c = card.Row(int32_t(y));
    for (uint32_t x = 0; x < cardTemplate.width; ++x, o += 4, c += 3) {
      const uint32_t a = o[3];
      if (a == 0) continue;
      if (a == 255) {  // the opaque frame: the blend gives the overlay exactly
        c[0] = o[0];
        c[1] = o[1];
        c[2] = o[2];
        continue;
      }
      const uint32_t keep = 255 - a;
      c[0] = uint8_t((o[0] * (a + 1) + c[0] * keep) >> 8);
      c[1] = uint8_t((o[1] * (a + 1) + c[1] * keep) >> 8);
      c[2] = uint8_t((o[2] * (a + 1) + c[2] * keep) >> 8);
    }
  }
}

}  // namespace engine
