#include "engine/SampleRow.h"

#include "engine/ResampleLimits.h"

namespace engine {

void SampleRow::Prepare(int32_t width) {
  if (width == width_) return;
  samples_.reset(new LinearSample[CheckedResampleCount(width, sizeof(LinearSample))]);
  width_ = width;
}

}  // namespace engine
