// Compiled with AVX-512 F, BW, VL, VBMI and VNNI enabled (see
// engine/CMakeLists.txt); runs only where SimdLevel says the processor has
// all five.
#include "engine/resample/ResampleKernels.h"

#if defined(TESSARY_SIMD_KERNELS)
#include <immintrin.h>

#include <algorithm>

// GCC 12's AVX-512 intrinsics pass an undefined register as the unused merge
// source and then warn about it.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#pragma GCC diagnostic ignored "-Wuninitialized"
#endif

namespace engine {

namespace avx512_vnni_kernels {
namespace {
#include "engine/resample/ResampleKernelLoops.h"
#include "engine/resample/ResampleKernelsAvx512Loops.h"

// Pixels in pairs, each channel's two values side by side, so that one
// multiply-add of 16-bit lanes sums two taps of a channel. The values are
// offset by -32768 (the high byte's top bit flipped) to fit signed lanes.
void ConvertPairs(const uint16_t* toLinear, const uint8_t* src, int32_t pixels, uint16_t* pairs) {
  // Byte b of the output block `half` (pairs 4 half .. 4 half + 3): lane
  // u = b / 2 is channel (u % 8) / 2 of the pair's pixel u % 2; lanes 6 and 7
  // of every pair are zeroed.
  alignas(64) uint8_t pick[2][64];
  for (int half = 0; half < 2; ++half) {
    for (int b = 0; b < 64; ++b) {
      const int u = b / 2, slot = u % 8;
      const int pixel = 2 * (half * 4 + u / 8) + slot % 2, c = slot / 2;
      pick[half][b] = uint8_t(c == 3 ? 0 : 3 * pixel + c + (b % 2 ? 64 : 0));
    }
  }
  const int32_t p =
      ConvertBlocks(LoadTable(toLinear, 0x80), pick, 0x0FFF0FFF0FFF0FFFULL, src, pixels, pairs);
  src += 3 * p;
  pairs += 4 * p;
  for (int32_t q = 0; p + q < pixels; q += 2) {
    uint16_t* pair = pairs + 4 * q;
    std::fill(pair, pair + 8, uint16_t(0));
    for (int32_t k = 0; k < 2 && p + q + k < pixels; ++k) {
      for (int c = 0; c < 3; ++c) {
        pair[2 * c + k] = uint16_t(toLinear[src[3 * (q + k) + c]] ^ 0x8000);
      }
    }
  }
}

// Four positions' sums [a, b, c, d] (three channels and a zero lane each)
// divided as DivideRowLoop does, when the kernel divides.
__m512i DivideFour(__m512i sums, const TapPairsView& k, int32_t x) {
  if (!k.inverse) return sums;
  const __m512i firstTwo = _mm512_setr_epi64(0, 0, 0, 0, 1, 1, 1, 1);
  const __m512i lastTwo = _mm512_setr_epi64(2, 2, 2, 2, 3, 3, 3, 3);
  const __m512d roundBias = _mm512_castpd256_pd512(_mm256_loadu_pd(k.roundBias + x));
  const __m512d inverse = _mm512_castpd256_pd512(_mm256_loadu_pd(k.inverse + x));
  auto divide = [&](__m256i values, __m512i which) {
    const __m512d n =
        _mm512_add_pd(_mm512_mul_pd(_mm512_cvtepi32_pd(values), _mm512_set1_pd(256.0)),
                      _mm512_permutexvar_pd(which, roundBias));
    return _mm512_cvttpd_epi32(_mm512_mul_pd(n, _mm512_permutexvar_pd(which, inverse)));
  };
  return _mm512_inserti64x4(_mm512_castsi256_si512(divide(_mm512_castsi512_si256(sums), firstTwo)),
                            divide(_mm512_extracti64x4_epi64(sums, 1), lastTwo), 1);
}

// Four positions' sums [a, b, c, d], divided where the kernel divides, as the
// twelve values of positions x .. x + 3 (fewer at the row's end).
void StoreFour(__m512i sums, const TapPairsView& k, int32_t x, uint32_t* out) {
  const __m512i pack = _mm512_setr_epi32(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, 0, 0, 0, 0);
  const int32_t left = std::min(k.columns - x, 4);
  _mm512_mask_storeu_epi32(out, __mmask16((1u << (3 * left)) - 1),
                           _mm512_permutexvar_epi32(pack, DivideFour(sums, k, x)));
}

// One position's sums: four pairs of every channel per step, one 128-bit lane
// per pair. kSteps 0 runs `steps` steps.
template <int kSteps>
__m512i PositionSums(const uint16_t* p, const uint32_t* w, int32_t steps, __m512i spread) {
  if (kSteps == 2) {
    // Both steps' weights in one read.
    const __m512i words =
        _mm512_castsi256_si512(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(w)));
    const __m512i second = _mm512_add_epi32(spread, _mm512_set1_epi32(4));
    return _mm512_dpwssd_epi32(_mm512_dpwssd_epi32(_mm512_setzero_si512(), _mm512_loadu_si512(p),
                                                   _mm512_permutexvar_epi32(spread, words)),
                               _mm512_loadu_si512(p + 32), _mm512_permutexvar_epi32(second, words));
  }
  if (kSteps > 0) steps = kSteps;
  __m512i sum = _mm512_setzero_si512();
  for (int32_t s = 0; s < steps; ++s, p += 32, w += 4) {
    const __m512i weights = _mm512_permutexvar_epi32(
        spread, _mm512_castsi128_si512(_mm_loadu_si128(reinterpret_cast<const __m128i*>(w))));
    sum = _mm512_dpwssd_epi32(sum, _mm512_loadu_si512(p), weights);
  }
  return sum;
}

// Four positions per iteration, each summed in a register of its own, then
// the four folded together and stored as twelve sums.
template <int kSteps>
void TapPairsOf(const uint16_t* pairs, const TapPairsView& k, uint32_t* out) {
  const __m512i spread = _mm512_setr_epi32(0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3);
  const size_t stepWords = size_t(k.steps) * 4;
  const int32_t* first = k.firstPair;
  const uint32_t* w = k.weights;
  const char* ahead = reinterpret_cast<const char*>(k.ahead);
  const char* aheadEnd = ahead + (ahead ? k.aheadBytes : 0);
  for (int32_t x = 0; x < k.columns; x += 4, out += 12, first += 4, w += 4 * stepWords) {
    if (ahead < aheadEnd) {
      _mm_prefetch(ahead, _MM_HINT_T0);
      _mm_prefetch(ahead + 64, _MM_HINT_T0);
      ahead += 128;
    }
    const __m512i a = PositionSums<kSteps>(pairs + size_t(first[0]) * 8, w, k.steps, spread);
    const __m512i b =
        PositionSums<kSteps>(pairs + size_t(first[1]) * 8, w + stepWords, k.steps, spread);
    const __m512i c =
        PositionSums<kSteps>(pairs + size_t(first[2]) * 8, w + 2 * stepWords, k.steps, spread);
    const __m512i d =
        PositionSums<kSteps>(pairs + size_t(first[3]) * 8, w + 3 * stepWords, k.steps, spread);
    // [a0 + a2, a1 + a3, b0 + b2, b1 + b3], likewise c and d, then [a, b, c, d].
    const __m512i ab =
        _mm512_add_epi32(_mm512_shuffle_i32x4(a, b, 0x44), _mm512_shuffle_i32x4(a, b, 0xEE));
    const __m512i cd =
        _mm512_add_epi32(_mm512_shuffle_i32x4(c, d, 0x44), _mm512_shuffle_i32x4(c, d, 0xEE));
    const __m512i all = _mm512_add_epi32(
        _mm512_add_epi32(_mm512_shuffle_i32x4(ab, cd, 0x88), _mm512_shuffle_i32x4(ab, cd, 0xDD)),
        _mm512_loadu_si512(k.bias + size_t(x) * 4));
    StoreFour(all, k, x, out);
  }
}

// Positions of at most three taps span at most two pairs, and of two taps
// (enlarging, and reductions of less than 1.5:1) one: four positions in one
// register, one 128-bit lane each, gathered pair by pair, so nothing needs
// folding.
template <int kPairs>
void TapTwoPairs(const uint16_t* pairs, const TapPairsView& k, uint32_t* out) {
  // A step holds four weight words per position; pair j's is word j.
  const __m512i firstWeights =
      _mm512_setr_epi32(0, 0, 0, 0, 4, 4, 4, 4, 8, 8, 8, 8, 12, 12, 12, 12);
  const __m512i secondWeights = _mm512_add_epi32(firstWeights, _mm512_set1_epi32(1));
  auto load = [](const uint16_t* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  };
  const int32_t* first = k.firstPair;
  for (int32_t x = 0; x < k.columns; x += 4, out += 12, first += 4) {
    const uint16_t* a = pairs + size_t(first[0]) * 8;
    const uint16_t* b = pairs + size_t(first[1]) * 8;
    const uint16_t* c = pairs + size_t(first[2]) * 8;
    const uint16_t* d = pairs + size_t(first[3]) * 8;
    const __m512i w = _mm512_loadu_si512(k.weights + size_t(x) * 4);
    __m512i sum = _mm512_loadu_si512(k.bias + size_t(x) * 4);
    for (int j = 0; j < kPairs; ++j) {
      __m512i v = _mm512_castsi128_si512(load(a + 8 * j));
      v = _mm512_inserti32x4(v, load(b + 8 * j), 1);
      v = _mm512_inserti32x4(v, load(c + 8 * j), 2);
      v = _mm512_inserti32x4(v, load(d + 8 * j), 3);
      sum = _mm512_dpwssd_epi32(sum, v,
                                _mm512_permutexvar_epi32(j == 0 ? firstWeights : secondWeights, w));
    }
    StoreFour(sum, k, x, out);
  }
}

void TapPairs(const uint16_t* pairs, const TapPairsView& k, uint32_t* out) {
  if (k.taps <= 2) return TapTwoPairs<1>(pairs, k, out);
  if (k.taps == 3) return TapTwoPairs<2>(pairs, k, out);
  switch (k.steps) {
    case 1:
      return TapPairsOf<1>(pairs, k, out);
    case 2:
      return TapPairsOf<2>(pairs, k, out);
    case 3:
      return TapPairsOf<3>(pairs, k, out);
    default:
      return TapPairsOf<0>(pairs, k, out);
  }
}

}  // namespace
}  // namespace avx512_vnni_kernels

const ResampleKernels* Avx512VnniKernels() {
  using namespace avx512_vnni_kernels;
  static const ResampleKernels kernels{ConvertRow, TapRow, DivideRowLoop, AddRowLoop, ScaledRow,
                                       MixRow,     BoxRow, ConvertPairs,  TapPairs};
  return &kernels;
}

}  // namespace engine

#else

namespace engine {
const ResampleKernels* Avx512VnniKernels() { return nullptr; }
}  // namespace engine

#endif
