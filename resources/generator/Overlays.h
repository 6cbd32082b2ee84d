#pragma once

#include "resources/generator/Picture.h"

namespace artwork {

// The decorative overlay of built-in design `index`, made to fit the given
// region map drawn at `scale` pixels per design unit: opaque outside the
// regions, open inside them, with the frame reaching a few design units over
// every region edge.
Picture MakeOverlay(int index, const Picture& regionMap, int scale = 1);

}  // namespace artwork
