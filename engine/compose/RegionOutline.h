#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/card/CardTemplate.h"
#include "geometry/Rect.h"

namespace engine {

// The inner edge of slot `index`'s region on the card shown at width x
// height pixels, each pixel read from the template pixel the draft's
// nearest-neighbour scaling reads for it: the pixels of the region with a
// pixel outside it (or the card's border) within `thickness` pixels along
// both axes. Returned as rectangles in those pixels, one per run of a row,
// with equal runs of consecutive rows joined; they never overlap. Empty for
// a hidden slot, a card without a region map or a picture of no size.
std::vector<geometry::Rect> RegionOutline(const Card& card, size_t index, int32_t width,
                                          int32_t height, int32_t thickness);

}  // namespace engine
