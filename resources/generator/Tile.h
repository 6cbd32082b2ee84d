#pragma once

#include "resources/generator/Picture.h"

namespace artwork {

// The placeholder drawn in empty regions: 157 x 157, opaque, mostly
// (192, 176, 160), with a camera pictogram and the invitation to add a photo.
Picture MakePlaceholderTile();

}  // namespace artwork
