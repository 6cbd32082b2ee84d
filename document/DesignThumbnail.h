#pragma once

#include <cstdint>
#include <string>

#include "engine/card/CardTemplate.h"
#include "engine/raster/ImageReader.h"
#include "engine/raster/Raster.h"
#include "imagefiles/LayoutFile.h"

namespace document {

// A small picture of a card, made from the card itself: the whole card,
// proportions kept, as large as fits in maxWidth x maxHeight, in the saved
// quality. Rgb24; empty when the card has no design.
engine::Raster RenderThumbnail(const engine::Card& card, uint32_t maxWidth, uint32_t maxHeight);

// A new card on the layout file at `path`, with the placeholder tile in
// every region: what the design chooser shows of a layout. On failure the
// card is untouched and the status says why.
// `ppi`, when given, gets the resolution the layers record (0: none).
imagefiles::LayoutStatus MakeLayoutCard(const std::string& path, const engine::ImageReader& reader,
                                        engine::Card* card, uint32_t* ppi = nullptr);

}  // namespace document
