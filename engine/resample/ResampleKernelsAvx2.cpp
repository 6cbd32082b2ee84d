// Compiled with AVX2 enabled (see engine/CMakeLists.txt); runs only where
// SimdLevel says the processor has it.
#include "engine/resample/ResampleKernels.h"

#if defined(TESSARY_SIMD_KERNELS)
#include <immintrin.h>

namespace engine {

namespace avx2_kernels {
namespace {
#include "engine/resample/ResampleKernelLoops.h"

// The way back to 8 bits, 8 channels at a time: the indices go through
// memory and each byte is looked up on its own, which is quicker than a
// gather wherever it was measured.
void Store8(const uint8_t* fromLinear, __m256i index, uint8_t* dst) {
  alignas(32) uint32_t at[8];
  _mm256_store_si256(reinterpret_cast<__m256i*>(at), index);
  for (int i = 0; i < 8; ++i) dst[i] = fromLinear[at[i]];
}

__m256i Load8(const uint32_t* p) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)); }

void ScaledRow(const uint8_t* fromLinear, const uint32_t* row, uint8_t* dst, size_t count) {
  size_t i = 0;
  for (; i + 8 <= count; i += 8) {
    Store8(fromLinear, _mm256_srli_epi32(Load8(row + i), 8), dst + i);
  }
  ScaledRowLoop(fromLinear, row + i, dst + i, count - i);
}

// The sum is below 2^32 (see VerticalStage), so 32-bit lanes hold it.
void MixRow(const uint8_t* fromLinear, const uint32_t* a, uint32_t wa, const uint32_t* b,
            uint32_t wb, uint8_t* dst, size_t count) {
  const __m256i va = _mm256_set1_epi32(int32_t(wa)), vb = _mm256_set1_epi32(int32_t(wb));
  size_t i = 0;
  for (; i + 8 <= count; i += 8) {
    const __m256i sum = _mm256_add_epi32(_mm256_mullo_epi32(Load8(a + i), va),
                                         _mm256_mullo_epi32(Load8(b + i), vb));
    Store8(fromLinear, _mm256_srli_epi32(sum, 16), dst + i);
  }
  MixRowLoop(fromLinear, a + i, wa, b + i, wb, dst + i, count - i);
}

}  // namespace
}  // namespace avx2_kernels

const ResampleKernels* Avx2Kernels() {
  using namespace avx2_kernels;
  static const ResampleKernels kernels{ConvertRowLoop, TapRowLoop, DivideRowLoop, AddRowLoop,
                                       ScaledRow,      MixRow,     BoxRowLoop, nullptr, nullptr};
  return &kernels;
}

}  // namespace engine

#else

namespace engine {
const ResampleKernels* Avx2Kernels() { return nullptr; }
}  // namespace engine

#endif
