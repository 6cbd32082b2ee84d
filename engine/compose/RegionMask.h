#pragma once

#include "engine/card/CardTemplate.h"
#include "engine/card/PhotoSlot.h"
#include "engine/raster/RasterView.h"

namespace engine {

// Copies the slot's scaled picture (`slotPixels`, box-sized, packed) into the
// card wherever the region map carries the slot's key. Partly transparent
// region pixels blend the picture toward white: ((s * (a + 1)) >> 8) + 255 - a.
void MaskSlotIntoCard(const CardTemplate& cardTemplate, const PhotoSlot& slot,
                      const uint8_t* slotPixels, const RasterView& card);

}  // namespace engine
