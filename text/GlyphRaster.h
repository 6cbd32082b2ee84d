#pragma once

#include <cstdint>
#include <vector>

#include "text/CoverageMask.h"
#include "text/LineLayout.h"

namespace text {

// The coverage of `glyphs` (overlaps taking the larger), in a mask over the
// glyphs' ink and `margin` pixels around it, cut to the card's
// width x height. Empty when nothing lands on the card.
CoverageMask RasteriseGlyphs(FT_Library library, const std::vector<PlacedGlyph>& glyphs,
                             uint32_t cardWidth, uint32_t cardHeight, int64_t margin);

}  // namespace text
