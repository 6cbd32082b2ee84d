#pragma once

#include "document/CardState.h"
#include "text/TextBox.h"

namespace document {

// Where a greeting goes on the card's design, as a box with no words yet:
// a built-in design's own place for it (box, font, size, colour,
// alignment), or a centred box in the lower part of any other card.
text::TextBox DesignTextPlace(const CardState& state);

}  // namespace document
