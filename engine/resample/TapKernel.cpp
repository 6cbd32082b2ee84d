#include "engine/resample/TapKernel.h"

#include <algorithm>

#include "engine/resample/ResampleLimits.h"

namespace engine {

namespace {

struct Position {
  int32_t start;
  uint32_t weights[2];  // the first and the last tap; every tap between weighs 256
  int32_t taps;
  uint64_t total;
};

// Walks a table the way the horizontal stage reads pixels: every entry starts
// on the source position the previous one ended on.
std::vector<Position> BoxPositions(const std::vector<uint64_t>& v) {
  std::vector<Position> out;
  int32_t older = 0;
  for (size_t i = 0; i < v.size();) {
    if (v[i] == 0) {
      const uint32_t w = uint32_t(v[i + 1]);
      out.push_back({older, {w, 256 - w}, 2, 256});
      older += 1;
      i += 2;
    } else {
      const int32_t n = int32_t(v[i]);
      out.push_back({older, {uint32_t(v[i + 1]), uint32_t(v[i + 2])}, n + 2, v[i + 3]});
      older += n + 1;
      i += 4;
    }
  }
  return out;
}

std::vector<Position> InterpolationPositions(const std::vector<uint64_t>& v) {
  std::vector<Position> out;
  int32_t older = 0;
  size_t i = 0;
  for (uint64_t n = v[i++]; n != 0; n = v[i++], ++older) {
    for (; n != 0; --n) {
      const uint32_t w = uint32_t(v[i++]);
      out.push_back({older, {256 - w, w}, 2, 256});
    }
  }
  return out;
}

// divideRow's bias and inverse for the three values of each position; a
// total above kMaxTotal (a value its loop has divided already) divides as one
// of 256, which leaves the value as it is.
void DivisionOf(const std::vector<Position>& positions, std::vector<double>* bias,
                std::vector<double>* inverse) {
  bias->assign(CheckedResampleCount(int64_t(positions.size()) * 3, sizeof(double)), 0.0);
  inverse->assign(bias->size(), 0.0);
  for (size_t x = 0; x < positions.size(); ++x) {
    const uint64_t t = positions[x].total <= TapKernel::kMaxTotal ? positions[x].total : 256;
    for (size_t c = 0; c < 3; ++c) {
      (*bias)[3 * x + c] = double(t / 2) + 0.5;
      (*inverse)[3 * x + c] = 1.0 / double(t);
    }
  }
}

}  // namespace

void TapKernel::BoxDivision(const std::vector<uint64_t>& table, std::vector<double>* bias,
                            std::vector<double>* inverse) {
  const std::vector<Position> positions = BoxPositions(table);
  if (std::none_of(positions.begin(), positions.end(), [](const Position& p) {
        return p.total != 256 && p.total <= kMaxTotal;
      })) {
    bias->clear();
    inverse->clear();
    return;
  }
  DivisionOf(positions, bias, inverse);
}

bool TapKernel::Build(const AxisWeights& weights, int32_t src, int32_t dst, TapKernel* out) {
  std::vector<Position> positions;
  if (weights.mode == AxisMode::Box && weights.box) {
    positions = BoxPositions(weights.box->Values());
  } else if (weights.mode == AxisMode::Interpolate && weights.interpolation) {
    positions = InterpolationPositions(weights.interpolation->Values());
  } else {
    return false;
  }
  if (positions.size() != size_t(dst) || src <= 0) return false;
  int32_t taps = 1;
  for (const Position& p : positions) {
    if (p.total > kMaxTotal) return false;
    taps = std::max(taps, p.taps);
  }

  TapKernel k;
  k.taps_ = taps;
  k.weightStride_ = (taps + 3) & ~3;
  k.columns_ = dst;
  k.src_ = src;
  k.start_.resize(CheckedResampleCount(dst, sizeof(int32_t)));
  k.weights_.assign(CheckedResampleCount(int64_t(dst) * k.weightStride_, sizeof(uint32_t)), 0);
  for (size_t x = 0; x < positions.size(); ++x) {
    const Position& p = positions[x];
    k.start_[x] = p.start;
    uint32_t* w = &k.weights_[x * size_t(k.weightStride_)];
    w[0] = p.weights[0];
    for (int32_t j = 1; j + 1 < p.taps; ++j) w[j] = 256;
    w[p.taps - 1] = p.weights[1];
    if (p.total != 256) k.divides_ = true;
  }
  if (k.divides_) DivisionOf(positions, &k.bias_, &k.inverse_);
  *out = std::move(k);
  return true;
}

void TapKernel::BuildPairs() {
  // A position starting on a pair's second pixel needs one pair more.
  const int32_t pairs = (taps_ + 2) / 2;
  pairSteps_ = (pairs + 3) / 4;
  oddPairsAt_ = taps_ <= 2 ? src_ / 2 + 1 : -1;
  // Steps of four pairs read 64 bytes each: where it costs no extra step,
  // positions start on a 64-byte boundary of the row (with zero weights
  // before their first pair), so no read straddles two cache lines.
  const bool lineAligned = taps_ > 3 && (pairs + 3 + 3) / 4 == pairSteps_;
  const size_t padded = (size_t(columns_) + 3) & ~size_t(3);
  const size_t stepWords = size_t(pairSteps_) * 4;
  firstPair_.assign(padded, 0);
  pairWeights_.assign(CheckedResampleCount(int64_t(padded * stepWords), sizeof(uint32_t)), 0);
  pairBias_.assign(padded * 4, 0);
  for (size_t x = 0; x < size_t(columns_); ++x) {
    const int32_t start = start_[x];
    const uint32_t* w = &weights_[x * size_t(weightStride_)];
    // Two taps starting on an odd pixel are a pair of the second conversion.
    int32_t shift = oddPairsAt_ >= 0 ? 0 : start % 2;
    firstPair_[x] = oddPairsAt_ >= 0 && start % 2 ? oddPairsAt_ + start / 2 : start / 2;
    if (lineAligned) {
      shift += 2 * (firstPair_[x] % 4);
      firstPair_[x] -= firstPair_[x] % 4;
    }
    uint32_t total = 0;
    for (int32_t j = 0; j < taps_; ++j) {
      // Tap j sits in pair (shift + j) / 2, as its first or second pixel.
      const int32_t at = shift + j;
      pairWeights_[x * stepWords + size_t(at / 2)] |= w[j] << (at % 2 ? 16 : 0);
      total += w[j];
    }
    // The pair loops read values 32768 below the true ones; this adds back
    // what the taps took off. Below 2^31: a total is at most kMaxTotal.
    for (size_t c = 0; c < 3; ++c) pairBias_[4 * x + c] = total * 32768;
  }
  pairRoundBias_.clear();
  pairInverse_.clear();
  if (divides_) {
    pairRoundBias_.assign(padded, 0.0);
    pairInverse_.assign(padded, 0.0);
    for (size_t x = 0; x < size_t(columns_); ++x) {
      pairRoundBias_[x] = bias_[3 * x];
      pairInverse_[x] = inverse_[3 * x];
    }
  }
}

TapPairsView TapKernel::PairsView() const {
  return TapPairsView{taps_, pairSteps_, columns_, firstPair_.data(), pairWeights_.data(),
                      pairBias_.data(), divides_ ? pairRoundBias_.data() : nullptr,
                      divides_ ? pairInverse_.data() : nullptr, nullptr, 0};
}

TapKernelView TapKernel::View() const {
  return TapKernelView{taps_, weightStride_, columns_, start_.data(), weights_.data()};
}

}  // namespace engine
