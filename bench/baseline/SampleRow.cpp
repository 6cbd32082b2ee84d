#include "baseline/SampleRow.h"

#include "engine/resample/ResampleLimits.h"

namespace engine {
namespace baseline {

void SampleRow::Prepare(int32_t width) {
  if (width == width_) return;
  // One spare sample: vector loops store four lanes for a three-channel sample.
  samples_.reset(new LinearSample[CheckedResampleCount(int64_t(width) + 1, sizeof(LinearSample))]);
  width_ = width;
}

}  // namespace baseline
}  // namespace engine
