#pragma once

#include "resources/generator/Picture.h"

namespace artwork {

// The decorative overlay of built-in template 0, 1 or 2, made to fit the
// given region map: opaque outside the regions, open inside them, with the
// frame reaching a few pixels over every region edge.
Picture MakeOverlay(int index, const Picture& regionMap);

}  // namespace artwork
