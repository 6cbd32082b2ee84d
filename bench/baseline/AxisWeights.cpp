#include "baseline/AxisWeights.h"

namespace engine {
namespace baseline {

AxisWeights AxisWeights::Build(int32_t src, int32_t dst) {
  AxisWeights weights;
  weights.mode = ChooseAxisMode(src, dst);
  if (weights.mode == AxisMode::Interpolate)
    weights.interpolation = InterpolationTable::Build(src, dst);
  if (weights.mode == AxisMode::Box) weights.box = BoxTable::Build(src, dst);
  return weights;
}

bool AxisWeights::Fits(int32_t src, int32_t dst) const {
  switch (mode) {
    case AxisMode::Replicate:
      return src >= 1;
    case AxisMode::Copy:
      return src == dst;
    case AxisMode::Interpolate:
      return interpolation && interpolation->Fits(src, dst);
    case AxisMode::Box:
      return box && box->Fits(src, dst);
  }
  return false;
}

}  // namespace baseline
}  // namespace engine
