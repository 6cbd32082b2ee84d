#pragma once

#include <cstdint>

#include "text/CoverageMask.h"

namespace text {

// The mask softened: three box blurs of `radius` pixels each way, close to
// a Gaussian, in whole numbers so that every system gets the same values.
CoverageMask Blurred(const CoverageMask& mask, int radius);

// The mask grown by a disc of `radius` pixels: each value the largest
// within that distance.
CoverageMask Dilated(const CoverageMask& mask, int radius);

}  // namespace text
