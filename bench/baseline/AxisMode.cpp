#include "baseline/AxisMode.h"

namespace engine {
namespace baseline {

AxisMode ChooseAxisMode(int32_t src, int32_t dst) {
  if (src == 1) return AxisMode::Replicate;
  if (dst == src) return AxisMode::Copy;
  if (dst > src) return AxisMode::Interpolate;
  return AxisMode::Box;
}

}  // namespace baseline
}  // namespace engine
