#include "baseline/InterpolationTable.h"

#include "engine/resample/ResampleLimits.h"

namespace engine {
namespace baseline {

std::shared_ptr<const InterpolationTable> InterpolationTable::Build(int32_t src, int32_t dst) {
  auto table = std::make_shared<InterpolationTable>();
  std::vector<uint64_t>& v = table->values_;
  v.reserve(CheckedResampleCount(int64_t(src) + dst + 1, sizeof(uint64_t)));
  v.push_back(0);
  if (dst <= 0) return table;
  size_t group = 0;
  int64_t base = 0;
  for (int32_t i = 0; i < dst; ++i) {
    double x = (i + 0.5) * src / dst - 0.5;
    if (x < 0) {
      x = 0;
    } else if (x >= src - 1) {
      x = src - 1.0001;
    }
    const int64_t c = int64_t(x);
    if (c == base) {
      ++v[group];
    } else {
      group = v.size();
      v.push_back(1);
      base = c;
    }
    v.push_back(uint64_t(int64_t((x - double(base)) * 256 + 0.5)));
  }
  v.push_back(0);
  return table;
}

bool InterpolationTable::Fits(int32_t src, int32_t dst) const {
  if (src <= 0) return false;
  uint64_t sourceReads = 1;  // the first group's older position
  uint64_t written = 0;
  size_t i = 0;
  while (i < values_.size()) {
    const uint64_t n = values_[i++];
    if (n == 0) {
      return i == values_.size() && sourceReads <= uint64_t(src) && written == uint64_t(dst);
    }
    if (n > values_.size() - i) return false;
    ++sourceReads;
    written += n;
    for (const size_t groupEnd = i + size_t(n); i < groupEnd; ++i) {
      if (values_[i] > 256) return false;
    }
  }
  return false;  // no terminator
}

}  // namespace baseline
}  // namespace engine
