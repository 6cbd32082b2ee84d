#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace engine {
namespace baseline {

// Enlarging weights for one axis: groups of (count n, n weights), ended by a 0
// where the next count would be. Group k holds the destination positions that
// lie between source positions k and k + 1; each weight (0..256) is the share
// of position k + 1 in 256ths. Immutable once built and shared between holders.
class InterpolationTable {
 public:
  // For src >= 2 and dst > src, as the resampler uses it; any other pair gives
  // a table that Fits() may reject.
  static std::shared_ptr<const InterpolationTable> Build(int32_t src, int32_t dst);

  const std::vector<uint64_t>& Values() const { return values_; }

  // True when running the table reads at most `src` source positions, writes
  // exactly `dst` destination positions and every weight lies in 0..256, which
  // keeps every read inside the source and every sum inside its scale.
  bool Fits(int32_t src, int32_t dst) const;

 private:
  std::vector<uint64_t> values_;
};

}  // namespace baseline
}  // namespace engine
