#pragma once

#include <cstdint>

#include "engine/CardTemplate.h"

namespace engine {

// Renders the card (photos cropped into their regions, the placeholder tile
// in empty ones, white elsewhere, the overlay on top) into the caller's Rgb24
// buffer of width x height with `stride` bytes per row. At the template's own
// size the card is composed straight into that buffer; at any other size it
// is composed at template size and scaled once. `draft` picks nearest-
// neighbour scaling (the screen); otherwise photos and the final scaling are
// resampled in linear light (saving).
void RenderCard(const Card& card, int32_t width, int32_t height, uint8_t* pixels, int32_t stride,
                bool draft);

}  // namespace engine
