#pragma once

#include <cstdint>
#include <memory>

#include "engine/resample/AxisMode.h"
#include "engine/resample/BoxTable.h"
#include "engine/resample/InterpolationTable.h"

namespace engine {

// The mode of one axis with the weight table it runs on (none for Replicate
// and Copy). Copies share the table.
struct AxisWeights {
  AxisMode mode = AxisMode::Copy;
  std::shared_ptr<const InterpolationTable> interpolation;
  std::shared_ptr<const BoxTable> box;

  static AxisWeights Build(int32_t src, int32_t dst);

  // True when running this axis from `src` to `dst` positions stays inside the
  // source and reads and writes exactly what the mode implies.
  bool Fits(int32_t src, int32_t dst) const;
};

}  // namespace engine
