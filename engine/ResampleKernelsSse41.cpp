// Compiled with SSE4.1 enabled (see engine/CMakeLists.txt); runs only where
// SimdLevel says the processor has it.
#include "engine/ResampleKernels.h"

#if defined(TESSARY_SIMD_KERNELS)
#include <smmintrin.h>

namespace engine {

namespace sse41_kernels {
namespace {
#include "engine/ResampleKernelLoops.h"

// One tap at a time: a pixel's three channels and its zero lane fill the
// four lanes, so no horizontal sum is needed.
void TapRow(const uint16_t* quads, const TapKernelView& k, uint32_t* out) {
  for (int32_t x = 0; x < k.columns; ++x, out += 3) {
    const uint16_t* q = quads + size_t(k.start[x]) * 4;
    const uint32_t* w = k.weights + size_t(x) * size_t(k.weightStride);
    __m128i sum = _mm_setzero_si128();
    for (int32_t j = 0; j < k.taps; ++j, q += 4) {
      const __m128i v = _mm_cvtepu16_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(q)));
      sum = _mm_add_epi32(sum, _mm_mullo_epi32(v, _mm_set1_epi32(int32_t(w[j]))));
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), sum);
  }
}

}  // namespace
}  // namespace sse41_kernels

const ResampleKernels* Sse41Kernels() {
  using namespace sse41_kernels;
  static const ResampleKernels kernels{ConvertRowLoop, TapRow,     DivideRowLoop, AddRowLoop,
                                       ScaledRowLoop,  MixRowLoop, BoxRowLoop};
  return &kernels;
}

}  // namespace engine

#else

namespace engine {
const ResampleKernels* Sse41Kernels() { return nullptr; }
}  // namespace engine

#endif
