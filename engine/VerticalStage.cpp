#include "engine/VerticalStage.h"

#include <cstddef>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#include "engine/ResampleLimits.h"

namespace engine {

namespace {

// Rows are handled as flat channel arrays: a LinearSample is three uint32_t.
const uint32_t* Channels(const SampleRow& row) { return row.Samples()->channel; }

// The sample scale is 256, so the linear value is v / 256.
void WriteScaled(const uint8_t* fromLinear, const uint32_t* v, uint8_t* dst, size_t count) {
  for (size_t i = 0; i < count; ++i) dst[i] = fromLinear[v[i] >> 8];
}

// Two-tap mix; each side is at most 65535 x 256 and the weights add up to 256,
// so the sum tops out at 4294901760 and 32 bits hold it exactly.
void WriteMix(const uint8_t* fromLinear, const uint32_t* a, uint32_t wa, const uint32_t* b,
              uint32_t wb, uint8_t* dst, size_t count) {
  for (size_t i = 0; i < count; ++i) dst[i] = fromLinear[(a[i] * wa + b[i] * wb) >> 16];
}

}  // namespace

VerticalStage::VerticalStage(AxisWeights weights, const FromLinearTable& fromLinear,
                             uint8_t* dstPixels, int32_t dstStride, int32_t dstWidth,
                             int32_t dstHeight)
    : weights_(std::move(weights)),
      fromLinear_(fromLinear.entries),
      dstPixels_(dstPixels),
      dstStride_(dstStride),
      dstWidth_(dstWidth),
      dstHeight_(dstHeight) {}

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
  WriteScaled(fromLinear_, Channels(row), first, count);
  // Every row gets the same bytes, so the first one is converted once.
  while (cursor_ < dstHeight_) std::memmove(NextDestinationRow(), first, count);
}

void VerticalStage::RunCopy(HorizontalStage& source) {
  SampleRow row;
  const size_t count = size_t(dstWidth_) * 3;
  while (cursor_ < dstHeight_) {
    source.NextRow(row);
    WriteScaled(fromLinear_, Channels(row), NextDestinationRow(), count);
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
      WriteMix(fromLinear_, Channels(newer), w, Channels(older), 256 - w, NextDestinationRow(),
               count);
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
      WriteMix(fromLinear_, Channels(older), w, Channels(newer), 256 - w, NextDestinationRow(),
               count);
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
