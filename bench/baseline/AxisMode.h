#pragma once

#include <cstdint>

namespace engine {
namespace baseline {

// How one axis is resampled.
enum class AxisMode {
  Replicate,    // one source position spread over the whole axis
  Copy,         // equal lengths, position for position
  Interpolate,  // enlarging: two-tap linear interpolation
  Box,          // reducing: area average
};

// Source length 1 replicates even when the destination is also 1 long; a
// longer destination interpolates, a shorter one is box-averaged.
AxisMode ChooseAxisMode(int32_t src, int32_t dst);

inline bool NeedsFiltering(AxisMode mode) {
  return mode == AxisMode::Interpolate || mode == AxisMode::Box;
}

}  // namespace baseline
}  // namespace engine
