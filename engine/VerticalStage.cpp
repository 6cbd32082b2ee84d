#include "engine/VerticalStage.h"

#include <cstddef>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#include "engine/ResampleLimits.h"
#include "engine/TapKernel.h"

namespace engine {

namespace {

// Rows are handled as flat channel arrays: a LinearSample is three uint32_t.
const uint32_t* Channels(const SampleRow& row) { return row.Samples()->channel; }

}  // namespace

VerticalStage::VerticalStage(AxisWeights weights, const FromLinearTable& fromLinear,
                             uint8_t* dstPixels, int32_t dstStride, int32_t dstWidth,
                             int32_t dstHeight, const ResampleKernels& kernels)
    : weights_(std::move(weights)),
      fromLinear_(fromLinear.entries),
      dstPixels_(dstPixels),
      dstStride_(dstStride),
      dstWidth_(dstWidth),
      dstHeight_(dstHeight),
      kernels_(kernels) {}

uint8_t* VerticalStage::NextDestinationRow() {
  return dstPixels_ + ptrdiff_t(cursor_++) * dstStride_;
}

void VerticalStage::Run(HorizontalStage& source) {
  switch (weights_.mode) {
    case AxisMode::Replicate:
      return RunReplicate(source);
    case AxisMode::Copy:
      return RunCopy(source);
    case AxisMode::Interpolate:
      return RunInterpolate(source);
    case AxisMode::Box:
      return RunBox(source);
  }
}

void VerticalStage::RunReplicate(HorizontalStage& source) {
  SampleRow row;
  source.NextRow(row);
  const size_t count = size_t(dstWidth_) * 3;
  uint8_t* first = NextDestinationRow();
  kernels_.scaledRow(fromLinear_, Channels(row), first, count);
  // Every row gets the same bytes, so the first one is converted once.
  while (cursor_ < dstHeight_) std::memmove(NextDestinationRow(), first, count);
}

void VerticalStage::RunCopy(HorizontalStage& source) {
  SampleRow row;
  const size_t count = size_t(dstWidth_) * 3;
  while (cursor_ < dstHeight_) {
    source.NextRow(row);
    kernels_.scaledRow(fromLinear_, Channels(row), NextDestinationRow(), count);
  }
}

void VerticalStage::RunInterpolate(HorizontalStage& source) {
  const size_t count = size_t(dstWidth_) * 3;
  SampleRow older, newer;
  source.NextRow(older);
  const uint64_t* table = weights_.interpolation->Values().data();
  for (uint64_t n = *table++; n != 0; n = *table++) {
    source.NextRow(newer);
    for (; n != 0; --n) {
      const uint32_t w = uint32_t(*table++);
      // Two-tap mix; each side is at most 65535 x 256 and the weights add up
      // to 256, so 32 bits hold the sum exactly.
      kernels_.mixRow(fromLinear_, Channels(newer), w, Channels(older), 256 - w,
                      NextDestinationRow(), count);
    }
    std::swap(older, newer);
  }
}

void VerticalStage::RunBox(HorizontalStage& source) {
  const size_t count = size_t(dstWidth_) * 3;
  SampleRow older, newer, whole;
  // The whole rows of a long entry are summed as they arrive rather than kept:
  // same reads in the same order, same sum, and no allocation per entry.
  std::unique_ptr<uint64_t[]> sum(new uint64_t[CheckedResampleCount(dstWidth_ * int64_t(3), 8)]);
  source.NextRow(older);
  const std::vector<uint64_t>& values = weights_.box->Values();
  const uint64_t* table = values.data();
  const uint64_t* end = table + values.size();
  while (table != end) {
    const uint64_t n = table[0];
    if (n == 0) {
      const uint32_t w = uint32_t(table[1]);
      table += 2;
      source.NextRow(newer);
      kernels_.mixRow(fromLinear_, Channels(older), w, Channels(newer), 256 - w,
                      NextDestinationRow(), count);
    } else if (table[3] <= TapKernel::kMaxTotal) {
      // At most 128 whole rows of values below 2^24: the sum fits in 32 bits,
      // and the division is a reciprocal multiply, exact as TapKernel shows
      // (the quotient is below 2^16 and at least 0.5 / (256 total) away from
      // an integer).
      const uint32_t wFirst = uint32_t(table[1]), wLast = uint32_t(table[2]);
      const double inverse = 1.0 / (double(table[3]) * 256.0);
      table += 4;
      uint32_t* sum32 = reinterpret_cast<uint32_t*>(sum.get());
      std::memset(sum32, 0, count * sizeof(uint32_t));
      for (uint64_t k = 0; k < n; ++k) {
        source.NextRow(whole);
        kernels_.addRow(sum32, Channels(whole), count);
      }
      source.NextRow(newer);
      kernels_.boxRow(fromLinear_, Channels(older), wFirst, Channels(newer), wLast, sum32, inverse,
                      NextDestinationRow(), count);
    } else {
      const uint64_t wFirst = table[1], wLast = table[2], total = table[3];
      table += 4;
      std::memset(sum.get(), 0, count * sizeof(uint64_t));
      for (uint64_t k = 0; k < n; ++k) {
        source.NextRow(whole);
        const uint32_t* m = Channels(whole);
        for (size_t i = 0; i < count; ++i) sum[i] += m[i];
      }
      source.NextRow(newer);
      const uint32_t* o = Channels(older);
      const uint32_t* nw = Channels(newer);
      const uint64_t divisor = total * 256;
      uint8_t* dst = NextDestinationRow();
      for (size_t i = 0; i < count; ++i) {
        dst[i] = fromLinear_[(o[i] * wFirst + nw[i] * wLast + sum[i] * 256) / divisor];
      }
    }
    std::swap(older, newer);
  }
}

}  // namespace engine
