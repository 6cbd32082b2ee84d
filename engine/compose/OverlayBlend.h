#pragma once

#include "engine/card/CardTemplate.h"
#include "engine/raster/RasterView.h"

namespace engine {

// Blends the template's overlay over the template-sized card:
// c = (o * (a + 1) + c * (255 - a)) >> 8 for every pixel with alpha a != 0.
void BlendOverlay(const CardTemplate& cardTemplate, const RasterView& card);

}  // namespace engine
