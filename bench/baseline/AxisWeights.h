#pragma once

#include <cstdint>
#include <memory>

#include "baseline/AxisMode.h"
#include "baseline/BoxTable.h"
#include "baseline/InterpolationTable.h"

namespace engine {
namespace baseline {

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

}  // namespace baseline
}  // namespace engine
