#pragma once

#include <cstdint>
#include <vector>

#include "engine/card/CardTemplate.h"
#include "geometry/Point.h"

namespace engine {

// Where a mark about a region's photo can sit on the card, one point per
// slot in template pixels: inside the region, at least `clearance` pixels
// from its edge where the region is wide enough, below its middle (under
// the photo's subject, most often in its middle) and as far from the edges
// sideways as the region allows. A hidden slot gets (-1, -1); a region too
// small for the coarse grid this works on gets its box's centre.
std::vector<geometry::Point> RegionMarkPoints(const CardTemplate& cardTemplate,
                                              const SlotList& slots, int32_t clearance);

}  // namespace engine
