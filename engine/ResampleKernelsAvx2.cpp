// Compiled with AVX2 enabled (see engine/CMakeLists.txt); runs only where
// SimdLevel says the processor has it.
#include "engine/ResampleKernels.h"

#if defined(TESSARY_SIMD_KERNELS)
#include <immintrin.h>

namespace engine {

namespace avx2_kernels {
namespace {
#include "engine/ResampleKernelLoops.h"

// Two taps per step: two pixels of four lanes each; the halves are added at
// the end.
void TapRow(const uint16_t* quads, const TapKernelView& k, uint32_t* out) {
  const __m256i spread = _mm256_setr_epi32(0, 0, 0, 0, 1, 1, 1, 1);
  for (int32_t x = 0; x < k.columns; ++x, out += 3) {
    const uint16_t* q = quads + size_t(k.start[x]) * 4;
    const uint32_t* w = k.weights + size_t(x) * size_t(k.weightStride);
    __m256i sum = _mm256_setzero_si256();
    for (int32_t j = 0; j < k.taps; j += 2, q += 8) {
      const __m256i v = _mm256_cvtepu16_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(q)));
      const __m256i wj = _mm256_permutevar8x32_epi32(
          _mm256_zextsi128_si256(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(w + j))), spread);
      sum = _mm256_add_epi32(sum, _mm256_mullo_epi32(v, wj));
    }
    const __m128i total =
        _mm_add_epi32(_mm256_castsi256_si128(sum), _mm256_extracti128_si256(sum, 1));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), total);
  }
}

}  // namespace
}  // namespace avx2_kernels

const ResampleKernels* Avx2Kernels() {
  using namespace avx2_kernels;
  static const ResampleKernels kernels{ConvertRowLoop, TapRow,     DivideRowLoop, AddRowLoop,
                                       ScaledRowLoop,  MixRowLoop, BoxRowLoop};
  return &kernels;
}

}  // namespace engine

#else

namespace engine {
const ResampleKernels* Avx2Kernels() { return nullptr; }
}  // namespace engine

#endif
