#pragma once

#include <cstdint>
#include <vector>

#include "engine/card/CardTemplate.h"

namespace document {

// The colours a design's decoration is mostly made of, most used first, as
// 0xAARRGGBB (opaque), at most `most` of them and none too close to
// another: the palette words on the card are offered in. Black and white
// close the list when the design has neither.
std::vector<uint32_t> DesignColours(const engine::CardTemplate& cardTemplate, size_t most = 6);

}  // namespace document
