#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace engine {
namespace baseline {

// Reducing weights for one axis, one entry per destination position, packed:
//   short: 0, w                        shares w and 256 - w of two neighbours
//   long:  n, wFirst, wLast, total     a partial position, n whole ones (256
//                                      each), a partial one; total = the sum
// Each entry starts in the source position where the previous one ended.
// Immutable once built and shared between holders.
class BoxTable {
 public:
  // For dst < src, as the resampler uses it; any other pair gives a table that
  // Fits() may reject.
  static std::shared_ptr<const BoxTable> Build(int32_t src, int32_t dst);

  const std::vector<uint64_t>& Values() const { return values_; }

  // True when running the table reads at most `src` source positions, writes
  // exactly `dst` destination positions, and every weight and total is
  // consistent (weights 0..256, n >= 1, total = wFirst + wLast + 256 n).
  bool Fits(int32_t src, int32_t dst) const;

 private:
  std::vector<uint64_t> values_;
};

}  // namespace baseline
}  // namespace engine
