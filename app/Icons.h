#pragma once

#include "engine/raster/ImageReader.h"
#include "engine/raster/Raster.h"

namespace app {

// The RGBA image of an icon group nearest to `size`: that size if the group
// has it, else the smallest larger one, else the largest. Empty when the
// group is missing or does not decode.
engine::Raster LoadIconImage(const engine::ImageReader& reader, int groupId, int size);

}  // namespace app
