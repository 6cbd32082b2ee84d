#include "engine/resample/GammaTables.h"

#include <cmath>
#include <cstring>
#include <mutex>
#include <utility>
#include <vector>

namespace engine {

namespace {

// Truncates toward zero. A gamma of 0, below 0 or NaN makes pow return
// infinities or NaN, and converting those to an integer is undefined; they
// saturate instead (NaN counts as 0). Valid gammas never come near the ends.
uint32_t TruncateSaturated(double v, uint32_t max) {
  if (!(v >= 0.0)) return 0;
  if (v >= double(max)) return max;
  return uint32_t(v);
}

}  // namespace

// b and p are rounded to single precision where they are stored; the
// products p * 65535 and p * 255 and the + 0.5 are exact (in double). This
// decides one entry at gamma 2.2: fromLinear[60825] is 246 (246.99999...),
// where a single-precision product would round up to 247.
std::unique_ptr<ToLinearTable> BuildToLinearTable(float gamma) {
  auto table = std::make_unique<ToLinearTable>();
  for (uint32_t i = 0; i < ToLinearTable::kSize; ++i) {
    const float b = float(i / 255.0);
    const float p = float(std::pow(double(b), double(gamma)));
    // "Kept as 16 bits": the low 16 bits of the truncated value.
    table->entries[i] = uint16_t(TruncateSaturated(double(p) * 65535.0 + 0.5, 0xFFFFFFFFu));
  }
  return table;
}

std::unique_ptr<FromLinearTable> BuildFromLinearTable(float gamma) {
  auto table = std::make_unique<FromLinearTable>();
  const float r = float(1.0 / double(gamma));
  for (uint32_t k = 0; k < FromLinearTable::kLinearSize; ++k) {
    const float b = float(k / 65535.0);
    const float p = float(std::pow(double(b), double(r)));
    table->entries[k] = uint8_t(TruncateSaturated(double(p) * 255.0 + 0.5, 0xFFFFFFFFu));
  }
  for (size_t k = FromLinearTable::kLinearSize; k < FromLinearTable::kSize; ++k) {
    table->entries[k] = 255;
  }
  return table;
}

std::shared_ptr<const GammaTablePair> SharedGammaTables(float gamma) {
  // Keyed by the bit pattern, so every NaN and both zeros get tables of their
  // own, exactly as building them afresh would. Only a few gammas are ever
  // used; the oldest goes when more are asked for.
  constexpr size_t kKept = 8;
  uint32_t key = 0;
  std::memcpy(&key, &gamma, sizeof key);
  static std::mutex mutex;
  static std::vector<std::pair<uint32_t, std::shared_ptr<const GammaTablePair>>> kept;
  {
    std::lock_guard<std::mutex> lock(mutex);
    for (const auto& entry : kept) {
      if (entry.first == key) return entry.second;
    }
  }
  // Built outside the lock: another thread may build the same pair at the
  // same time, and both results are identical.
  auto pair = std::make_shared<GammaTablePair>();
  pair->toLinear = *BuildToLinearTable(gamma);
  pair->fromLinear = *BuildFromLinearTable(gamma);
  std::lock_guard<std::mutex> lock(mutex);
  for (const auto& entry : kept) {
    if (entry.first == key) return entry.second;
  }
  if (kept.size() == kKept) kept.erase(kept.begin());
  kept.emplace_back(key, pair);
  return pair;
}

}  // namespace engine
