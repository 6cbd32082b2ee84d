#pragma once

#include "engine/Raster.h"

namespace engine {

// Turns an Rgb24 photo stored as a camera recorded it upright, following
// the Exif orientation values: 1 upright, 2 mirrored left to right, 3 turned
// half round, 4 mirrored top to bottom, 5 mirrored along the main diagonal,
// 6 stored a quarter turn anticlockwise (shown turned clockwise), 7 mirrored
// along the other diagonal, 8 stored a quarter turn clockwise. Values 2 to
// 4 keep the size and are done in place; 5 to 8 swap width and height and
// need a second buffer for the duration of the turn. Any other value,
// or a raster that is not Rgb24, leaves the photo as it is.
//
// Throws std::bad_alloc, with `photo` unchanged, when the second buffer
// cannot be had.
void TurnUpright(Raster& photo, int orientation);

}  // namespace engine
