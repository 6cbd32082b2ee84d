#include "baseline/BoxTable.h"

#include "engine/resample/ResampleLimits.h"

namespace engine {
namespace baseline {

std::shared_ptr<const BoxTable> BoxTable::Build(int32_t src, int32_t dst) {
  auto table = std::make_shared<BoxTable>();
  if (dst <= 0) return table;
  std::vector<uint64_t>& v = table->values_;
  v.reserve(CheckedResampleCount(int64_t(dst) * 4, sizeof(uint64_t)));
  uint64_t last = 0;
  // i * src in 64 bits: a 32-bit product wraps once i * src passes 2^32 (a
  // 70000-pixel crop into a 65000-pixel box), which would yield a garbage
  // entry claiming billions of source positions. Below that both agree.
  const uint64_t srcLength = uint64_t(int64_t(src));
  for (int32_t i = 0; i < dst; ++i) {
    const double x0 = double(uint64_t(i) * srcLength) / dst;
    double x1 = double((uint64_t(i) + 1) * srcLength) / dst;
    if (x1 >= src) x1 = src - 0.0001;
    const uint64_t s0 = uint64_t(int64_t(x0));
    const uint64_t s1 = uint64_t(int64_t(x1));
    if (s1 - last > 1) {
      const uint64_t n = s1 - last - 1;
      const uint64_t wFirst = uint64_t(int64_t((double(s0) + 1 - x0) * 256 + 0.5));
      const uint64_t wLast = uint64_t(int64_t((x1 - double(s1)) * 256 + 0.5));
      v.insert(v.end(), {n, wFirst, wLast, wFirst + wLast + 256 * n});
      last = s1;
    } else {
      const uint64_t w = uint64_t(int64_t((double(s1) - x0) / (x1 - x0) * 256 + 0.5));
      v.insert(v.end(), {0, w});
      last = last + 1;
    }
  }
  return table;
}

bool BoxTable::Fits(int32_t src, int32_t dst) const {
  if (src <= 0) return false;
  uint64_t sourceReads = 1;  // the first entry's older position
  uint64_t written = 0;
  size_t i = 0;
  while (i < values_.size()) {
    const uint64_t n = values_[i];
    if (n == 0) {
      if (values_.size() - i < 2 || values_[i + 1] > 256) return false;
      sourceReads += 1;
      i += 2;
    } else {
      if (values_.size() - i < 4 || n >= uint64_t(src)) return false;
      const uint64_t wFirst = values_[i + 1], wLast = values_[i + 2], total = values_[i + 3];
      if (wFirst > 256 || wLast > 256 || total != wFirst + wLast + 256 * n) return false;
      sourceReads += n + 1;
      i += 4;
    }
    if (sourceReads > uint64_t(src)) return false;
    ++written;
  }
  return written == uint64_t(dst);
}

}  // namespace baseline
}  // namespace engine
