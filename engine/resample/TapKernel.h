#pragma once

#include <cstdint>
#include <vector>

#include "engine/resample/AxisWeights.h"
#include "engine/resample/ResampleKernels.h"

namespace engine {

// A box or interpolation table unpacked into a fixed number of taps per
// destination position, so the pixel loops run without branches or
// divisions: position x sums its source positions times their weights, and a
// box position then divides by its total with a reciprocal multiply.
//
// The division replaces floor((256 S + floor(t / 2)) / t) of a long box entry
// by trunc((256 S + floor(t / 2) + 0.5) * (1 / t)) in double precision, which
// is exact here: every operand is an integer below 2^53, the true quotient
// lies at least 0.5 / t away from an integer, and the two roundings move it
// by less than 2^24 * 2^-52. Totals are at most kMaxTotal (reductions by up
// to 128), which also keeps every sum below 2^31; a table with a larger total
// is not unpacked and runs on the general loops.
class TapKernel {
 public:
  static constexpr uint64_t kMaxTotal = 32768;

  // False when the axis is neither box-averaged nor interpolated, or a total
  // exceeds kMaxTotal. The weights must Fit (src, dst).
  static bool Build(const AxisWeights& weights, int32_t src, int32_t dst, TapKernel* out);

  // For a box table on the general loops (HorizontalStage), which leave a
  // long entry undivided where its total is at most kMaxTotal and every other
  // value final: divideRow's bias and inverse per value, the final ones
  // passing unchanged. Both empty when nothing divides.
  static void BoxDivision(const std::vector<uint64_t>& table, std::vector<double>* bias,
                          std::vector<double>* inverse);

  TapKernelView View() const;
  // True when some position is a long box entry (a total other than 256).
  bool Divides() const { return divides_; }
  // One value per channel of each position (3 per position), for divideRow.
  const double* Bias() const { return bias_.data(); }
  const double* Inverse() const { return inverse_.data(); }
  // Source positions past the row end that the loops may read (as zeros).
  int32_t Padding() const { return weightStride_; }

  // The same taps for tapPairs (see TapPairsView), made once on demand.
  void BuildPairs();
  TapPairsView PairsView() const;
  // Pairs past the row end that the pair loops may read (as zero pairs).
  int32_t PairPadding() const { return pairSteps_ * 4; }
  // Where positions of at most two taps take one pair each: the row is
  // converted twice, from its first pixel and, from this pair on, from its
  // second. -1 for other kernels.
  int32_t OddPairsAt() const { return oddPairsAt_; }

 private:
  int32_t taps_ = 0;
  int32_t weightStride_ = 0;
  int32_t columns_ = 0;
  int32_t src_ = 0;
  bool divides_ = false;
  std::vector<int32_t> start_;
  std::vector<uint32_t> weights_;
  std::vector<double> bias_;
  std::vector<double> inverse_;
  int32_t pairSteps_ = 0;
  int32_t oddPairsAt_ = -1;
  std::vector<int32_t> firstPair_;
  std::vector<uint32_t> pairWeights_;
  std::vector<uint32_t> pairBias_;
  std::vector<double> pairRoundBias_, pairInverse_;
};

}  // namespace engine
