#pragma once

#include <cstdint>
#include <memory>

namespace engine {
namespace baseline {

// Linear light of one pixel, per channel. Inside the resampler it is scaled by
// 256 (at most 65535 x 256), except a freshly converted source pixel.
struct LinearSample {
  uint32_t channel[3];
};

// One source row after conversion to linear light and horizontal resampling.
// The array is allocated on first fill and reused on every refill.
class SampleRow {
 public:
  // Makes room for `width` samples; allocates only when the width changes.
  void Prepare(int32_t width);

  LinearSample* Samples() { return samples_.get(); }
  const LinearSample* Samples() const { return samples_.get(); }
  int32_t Width() const { return width_; }

 private:
  std::unique_ptr<LinearSample[]> samples_;
  int32_t width_ = -1;
};

}  // namespace baseline
}  // namespace engine
