#pragma once

#include <vector>

#include "document/DesignSource.h"
#include "document/PhotoSource.h"
#include "engine/card/CardTemplate.h"
#include "text/TextBox.h"

namespace document {

// Everything a card is made of at one moment: its design and, per region,
// the photo with its framing and where it came from; and its words. The edit history keeps
// whole states; pictures are shared, immutable arrays, so a copy costs a
// few dozen bytes per region.
struct CardState {
  engine::Card card;                // the design's pictures, the slots, the placeholder tile
  DesignSource design;
  std::vector<PhotoSource> photos;  // one per slot, hidden slots included
  std::vector<text::TextBox> texts;  // drawn over everything, in this order
};

// Equal down to the bits of every float and the identity of every picture:
// what undo must give back.
bool SameState(const CardState& a, const CardState& b);

}  // namespace document
