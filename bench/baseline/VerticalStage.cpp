#include "baseline/VerticalStage.h"

#include <cstddef>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#include "engine/resample/ResampleLimits.h"
#include "baseline/TapKernel.h"

namespace engine {
namespace baseline {

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

bool VerticalStage::Produce(HorizontalStage& source, int32_t rows) {
  int32_t left = rows < dstHeight_ - cursor_ ? rows : dstHeight_ - cursor_;
  while (left > 0) {
    int32_t written = 0;
    switch (weights_.mode) {
      case AxisMode::Replicate:
        written = ProduceReplicate(source, left);
        break;
      case AxisMode::Copy:
        written = ProduceCopy(source, left);
        break;
      case AxisMode::Interpolate:
        written = ProduceInterpolate(source, left);
        break;
      case AxisMode::Box:
        written = ProduceBox(source, left);
        break;
    }
    if (written == 0) break;  // the table ended early; Fits rules that out
    left -= written;
  }
  return cursor_ < dstHeight_;
}

int32_t VerticalStage::ProduceReplicate(HorizontalStage& source, int32_t rows) {
  const size_t count = size_t(dstWidth_) * 3;
  int32_t written = 0;
  if (!started_) {
    source.NextRow(older_);
    kernels_.scaledRow(fromLinear_, Channels(older_), NextDestinationRow(), count);
    started_ = true;
    ++written;
  }
  // Every row gets the same bytes, so the first one is converted once.
  const uint8_t* first = dstPixels_;
  for (; written < rows; ++written) std::memmove(NextDestinationRow(), first, count);
  return written;
}

int32_t VerticalStage::ProduceCopy(HorizontalStage& source, int32_t rows) {
  const size_t count = size_t(dstWidth_) * 3;
  for (int32_t written = 0; written < rows; ++written) {
    source.NextRow(older_);
    kernels_.scaledRow(fromLinear_, Channels(older_), NextDestinationRow(), count);
  }
  return rows;
}

int32_t VerticalStage::ProduceInterpolate(HorizontalStage& source, int32_t rows) {
  const size_t count = size_t(dstWidth_) * 3;
  if (!started_) {
    source.NextRow(older_);
    table_ = weights_.interpolation->Values().data();
    started_ = true;
  }
  int32_t written = 0;
  while (written < rows) {
    if (groupLeft_ == 0) {
      groupLeft_ = *table_++;
      if (groupLeft_ == 0) break;
      source.NextRow(newer_);
    }
    const uint32_t w = uint32_t(*table_++);
    // Two-tap mix; each side is at most 65535 x 256 and the weights add up to
    // 256, so 32 bits hold the sum exactly.
    kernels_.mixRow(fromLinear_, Channels(newer_), w, Channels(older_), 256 - w,
                    NextDestinationRow(), count);
    ++written;
    if (--groupLeft_ == 0) std::swap(older_, newer_);
  }
  return written;
}

int32_t VerticalStage::ProduceBox(HorizontalStage& source, int32_t rows) {
  const size_t count = size_t(dstWidth_) * 3;
  if (!started_) {
    // The whole rows of a long entry are summed as they arrive rather than
    // kept: same reads in the same order, same sum, and no allocation per
    // entry.
    sum_.reset(new uint64_t[CheckedResampleCount(dstWidth_ * int64_t(3), 8)]);
    source.NextRow(older_);
    const std::vector<uint64_t>& values = weights_.box->Values();
    table_ = values.data();
    tableEnd_ = table_ + values.size();
    started_ = true;
  }
  int32_t written = 0;
  for (; written < rows && table_ != tableEnd_; ++written) {
    const uint64_t* table = table_;
    const uint64_t n = table[0];
    if (n == 0) {
      const uint32_t w = uint32_t(table[1]);
      table_ += 2;
      source.NextRow(newer_);
      kernels_.mixRow(fromLinear_, Channels(older_), w, Channels(newer_), 256 - w,
                      NextDestinationRow(), count);
    } else if (table[3] <= TapKernel::kMaxTotal) {
      // At most 128 whole rows of values below 2^24: the sum fits in 32 bits,
      // and the division is a reciprocal multiply, exact as TapKernel shows
      // (the quotient is below 2^16 and at least 0.5 / (256 total) away from
      // an integer).
      const uint32_t wFirst = uint32_t(table[1]), wLast = uint32_t(table[2]);
      const double inverse = 1.0 / (double(table[3]) * 256.0);
      table_ += 4;
      uint32_t* sum32 = reinterpret_cast<uint32_t*>(sum_.get());
      std::memset(sum32, 0, count * sizeof(uint32_t));
      for (uint64_t k = 0; k < n; ++k) {
        source.NextRow(whole_);
        kernels_.addRow(sum32, Channels(whole_), count);
      }
      source.NextRow(newer_);
      kernels_.boxRow(fromLinear_, Channels(older_), wFirst, Channels(newer_), wLast, sum32,
                      inverse, NextDestinationRow(), count);
    } else {
      const uint64_t wFirst = table[1], wLast = table[2], total = table[3];
      table_ += 4;
      uint64_t* sum = sum_.get();
      std::memset(sum, 0, count * sizeof(uint64_t));
      for (uint64_t k = 0; k < n; ++k) {
        source.NextRow(whole_);
        const uint32_t* m = Channels(whole_);
        for (size_t i = 0; i < count; ++i) sum[i] += m[i];
      }
      source.NextRow(newer_);
      const uint32_t* o = Channels(older_);
      const uint32_t* nw = Channels(newer_);
      const uint64_t divisor = total * 256;
      uint8_t* dst = NextDestinationRow();
      for (size_t i = 0; i < count; ++i) {
        dst[i] = fromLinear_[(o[i] * wFirst + nw[i] * wLast + sum[i] * 256) / divisor];
      }
    }
    std::swap(older_, newer_);
  }
  return written;
}

}  // namespace baseline
}  // namespace engine
