#pragma once

#include "engine/raster/Raster.h"
#include "engine/raster/RasterView.h"

namespace engine {

// Colour of empty regions when there is no tile to draw.
constexpr uint8_t kPlaceholderFallback[3] = {192, 176, 160};

// Draws the placeholder for an empty slot into the whole of `box`: the tile
// centred at its own size, or shrunk to fit (never enlarged), and the rest in
// the colour of the tile's top-left pixel.
void DrawPlaceholder(const Raster& tile, const RasterView& box);

}  // namespace engine
