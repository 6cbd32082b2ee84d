#include "engine/resample/HorizontalStage.h"

#include <cstddef>
#include <cstring>
#include <utility>

#include "engine/resample/ResampleLimits.h"

namespace engine {

namespace {

// Every sum here is exact in 32 bits: a converted channel is at most 65535 and
// the two weights of a two-tap sum add up to 256. Only the long box mean, which
// adds up arbitrarily many positions, needs 64 bits.

void ReplicateRow(const uint16_t* lin, const uint8_t* p, LinearSample* out, int32_t width) {
  const LinearSample s{
      {uint32_t(lin[p[0]]) * 256, uint32_t(lin[p[1]]) * 256, uint32_t(lin[p[2]]) * 256}};
  for (int32_t x = 0; x < width; ++x) out[x] = s;
}

void CopyRow(const uint16_t* lin, const uint8_t* p, LinearSample* out, int32_t width) {
  for (size_t x = 0; x < size_t(width); ++x, p += 3) {
    out[x].channel[0] = uint32_t(lin[p[0]]) * 256;
    out[x].channel[1] = uint32_t(lin[p[1]]) * 256;
    out[x].channel[2] = uint32_t(lin[p[2]]) * 256;
  }
}

void InterpolateRow(const uint16_t* lin, const uint8_t* p, LinearSample* out,
                    const uint64_t* table) {
  uint32_t o0 = lin[p[0]], o1 = lin[p[1]], o2 = lin[p[2]];
  for (uint64_t n = *table++; n != 0; n = *table++) {
    p += 3;
    const uint32_t n0 = lin[p[0]], n1 = lin[p[1]], n2 = lin[p[2]];
    for (; n != 0; --n, ++out) {
      const uint32_t w = uint32_t(*table++);
      const uint32_t rest = 256 - w;
      out->channel[0] = n0 * w + o0 * rest;
      out->channel[1] = n1 * w + o1 * rest;
      out->channel[2] = n2 * w + o2 * rest;
    }
    o0 = n0;
    o1 = n1;
    o2 = n2;
  }
}

// Leaves a long entry whose total is at most TapKernel::kMaxTotal undivided
// (its sum is below 2^31): divideRow then divides the whole row at once,
// vectorised, where a division per position kept the loop waiting. Every other
// value is final and passes that division unchanged.
void BoxRow(const uint16_t* lin, const uint8_t* p, LinearSample* out, const uint64_t* table,
            const uint64_t* end) {
  uint32_t o0 = lin[p[0]], o1 = lin[p[1]], o2 = lin[p[2]];
  while (table != end) {
    const uint64_t n = table[0];
#if defined(__GNUC__) || defined(__clang__)
    // The photo streams in from memory once: its lines are asked for ahead.
    __builtin_prefetch(p + 3072);
#endif
    uint32_t n0, n1, n2;
    if (n == 0) {
      const uint32_t w = uint32_t(table[1]);
      const uint32_t rest = 256 - w;
      table += 2;
      p += 3;
      n0 = lin[p[0]];
      n1 = lin[p[1]];
      n2 = lin[p[2]];
      out->channel[0] = o0 * w + n0 * rest;
      out->channel[1] = o1 * w + n1 * rest;
      out->channel[2] = o2 * w + n2 * rest;
    } else {
      const uint64_t total = table[3];
      if (total <= TapKernel::kMaxTotal) {
        // At most 128 whole positions: 32 bits hold every sum.
        const uint32_t wFirst = uint32_t(table[1]), wLast = uint32_t(table[2]);
        uint32_t m0 = 0, m1 = 0, m2 = 0;
        if (n & 1) {
          m0 = lin[p[3]];
          m1 = lin[p[4]];
          m2 = lin[p[5]];
          p += 3;
        }
        // Two positions a turn: the loop ends and counts half as often.
        for (uint64_t k = 0; k < n / 2; ++k, p += 6) {
          m0 += lin[p[3]] + lin[p[6]];
          m1 += lin[p[4]] + lin[p[7]];
          m2 += lin[p[5]] + lin[p[8]];
        }
        p += 3;
        n0 = lin[p[0]];
        n1 = lin[p[1]];
        n2 = lin[p[2]];
        out->channel[0] = o0 * wFirst + n0 * wLast + m0 * 256;
        out->channel[1] = o1 * wFirst + n1 * wLast + m1 * 256;
        out->channel[2] = o2 * wFirst + n2 * wLast + m2 * 256;
      } else {
        const uint64_t wFirst = table[1], wLast = table[2];
        uint64_t m0 = 0, m1 = 0, m2 = 0;
        for (uint64_t k = 0; k < n; ++k) {
          p += 3;
          m0 += lin[p[0]];
          m1 += lin[p[1]];
          m2 += lin[p[2]];
        }
        p += 3;
        n0 = lin[p[0]];
        n1 = lin[p[1]];
        n2 = lin[p[2]];
        const uint64_t half = total / 2;
        out->channel[0] = uint32_t(((o0 * wFirst + n0 * wLast + m0 * 256) * 256 + half) / total);
        out->channel[1] = uint32_t(((o1 * wFirst + n1 * wLast + m1 * 256) * 256 + half) / total);
        out->channel[2] = uint32_t(((o2 * wFirst + n2 * wLast + m2 * 256) * 256 + half) / total);
      }
      table += 4;
    }
    ++out;
    o0 = n0;
    o1 = n1;
    o2 = n2;
  }
}

}  // namespace

HorizontalStage::HorizontalStage(AxisWeights weights, const ToLinearTable& toLinear,
                                 const uint8_t* srcPixels, int32_t srcStride, int32_t srcWidth,
                                 int32_t dstWidth, const ResampleKernels& kernels, SimdLevel level)
    : weights_(std::move(weights)),
      toLinear_(toLinear.entries),
      srcPixels_(srcPixels),
      srcStride_(srcStride),
      srcWidth_(srcWidth),
      dstWidth_(dstWidth),
      kernels_(kernels) {
  // Unpacked taps pay where the conversion to linear light is vectorised
  // (AVX-512 VBMI); elsewhere the lookups dominate and the fused loops below,
  // which read each pixel once, are faster.
  tapped_ = level >= SimdLevel::Avx512 && TapKernel::Build(weights_, srcWidth, dstWidth, &kernel_);
  paired_ = tapped_ && kernels_.tapPairs && kernels_.convertPairs;
  if (!tapped_ && weights_.mode == AxisMode::Box) {
    TapKernel::BoxDivision(weights_.box->Values(), &boxBias_, &boxInverse_);
  }
  if (paired_) {
    kernel_.BuildPairs();
    // Eight values per pair of pixels, as four per pixel; the row's pairs
    // from its second pixel after those from its first where it is
    // converted twice.
    int64_t pairs = int64_t(srcWidth) / 2 + 1 + kernel_.PairPadding();
    if (kernel_.OddPairsAt() >= 0) pairs += int64_t(srcWidth) / 2 + 1;
    const size_t count = CheckedResampleCount(pairs * 8, sizeof(uint16_t));
    AllocateQuads(count);
  } else if (tapped_) {
    const size_t count =
        CheckedResampleCount((int64_t(srcWidth) + kernel_.Padding()) * 4, sizeof(uint16_t));
    AllocateQuads(count);
  }
}

void HorizontalStage::AllocateQuads(size_t count) {
  // On a cache line: the vector loops read whole lines of it.
  quadsStore_.assign(count + 32, 0);
  const uintptr_t at = reinterpret_cast<uintptr_t>(quadsStore_.data());
  quads_ = quadsStore_.data() + ((64 - at % 64) % 64) / sizeof(uint16_t);
}

void HorizontalStage::NextRow(SampleRow& out) {
  const uint8_t* row = source_ ? source_->NextRow() : srcPixels_ + ptrdiff_t(cursor_) * srcStride_;
  ++cursor_;
  out.Prepare(dstWidth_);
  LinearSample* samples = out.Samples();
  if (tapped_) {
    // The tap loops may write one value past the row; SampleRow has room.
    uint32_t* values = samples->channel;
    if (paired_) {
      kernels_.convertPairs(toLinear_, row, srcWidth_, quads_);
      if (kernel_.OddPairsAt() >= 0) {
        kernels_.convertPairs(toLinear_, row + 3, srcWidth_ - 1,
                              quads_ + size_t(kernel_.OddPairsAt()) * 8);
      }
      TapPairsView view = kernel_.PairsView();
      if (!source_) {
        // Rows in memory: the next one is read from it while this one is summed.
        view.ahead = row + srcStride_;
        view.aheadBytes = size_t(srcWidth_) * 3;
      }
      kernels_.tapPairs(quads_, view, values);
    } else {
      kernels_.convertRow(toLinear_, row, srcWidth_, quads_);
      kernels_.tapRow(quads_, kernel_.View(), values);
    }
    if (kernel_.Divides() && !paired_) {
      kernels_.divideRow(values, kernel_.Bias(), kernel_.Inverse(), size_t(dstWidth_) * 3);
    }
    return;
  }
  switch (weights_.mode) {
    case AxisMode::Replicate:
      ReplicateRow(toLinear_, row, samples, dstWidth_);
      break;
    case AxisMode::Copy:
      CopyRow(toLinear_, row, samples, dstWidth_);
      break;
    case AxisMode::Interpolate:
      InterpolateRow(toLinear_, row, samples, weights_.interpolation->Values().data());
      break;
    case AxisMode::Box: {
      const std::vector<uint64_t>& table = weights_.box->Values();
      BoxRow(toLinear_, row, samples, table.data(), table.data() + table.size());
      if (!boxBias_.empty()) {
        kernels_.divideRow(samples->channel, boxBias_.data(), boxInverse_.data(), boxBias_.size());
      }
      break;
    }
  }
}

}  // namespace engine
