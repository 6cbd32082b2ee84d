#pragma once

#include <cstdint>

#include "engine/card/CardTemplate.h"
#include "imagefiles/CardWriter.h"

namespace document {

// Renders the card at width x height (draft: nearest-neighbour, as on
// screen; otherwise the saved quality) and writes it with WriteCard: what
// Save does at the design's size, and what the command-line renderer does.
// The card is rendered before the target is opened, so a FIFO's reader
// never waits for the render.
imagefiles::SaveResult ExportCard(const engine::Card& card, uint32_t width, uint32_t height,
                                  bool draft, const imagefiles::OutputTarget& target,
                                  imagefiles::CardFormat format);

}  // namespace document
