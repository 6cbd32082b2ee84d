#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace engine {

// 8-bit channel value -> linear light on a 0..65535 scale.
struct ToLinearTable {
  static constexpr size_t kSize = 256;
  uint16_t entries[kSize];
};

// Linear light 0..65535 -> 8-bit channel value. The 16 entries past 65535 hold
// 255 so that an index rounded a little high still lands on white.
struct FromLinearTable {
  static constexpr size_t kLinearSize = 65536;
  static constexpr size_t kSize = kLinearSize + 16;
  uint8_t entries[kSize];
};

std::unique_ptr<ToLinearTable> BuildToLinearTable(float gamma);
std::unique_ptr<FromLinearTable> BuildFromLinearTable(float gamma);

struct GammaTablePair {
  ToLinearTable toLinear;
  FromLinearTable fromLinear;
};

// Both tables for `gamma`, built on the first request and kept for the life
// of the process (building them takes 65,792 calls to pow, about a
// millisecond, far more than a small job's pixels). Safe to call from any
// thread; the tables are never written once built.
std::shared_ptr<const GammaTablePair> SharedGammaTables(float gamma);

}  // namespace engine
