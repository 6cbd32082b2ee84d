// Compiled with SSSE3 enabled (see engine/CMakeLists.txt); runs only where
// SimdLevel says the processor has it.
#include "engine/compose/RowExpansion.h"

#if defined(TESSARY_SIMD_KERNELS)
#include <tmmintrin.h>

namespace engine {

namespace {

void ExpandBlocks(const uint8_t* source, const RowExpansion::Block* blocks, size_t count,
                  uint8_t* out) {
  for (size_t b = 0; b < count; ++b, out += 16) {
    const __m128i from = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + blocks[b].from));
    const __m128i pick = _mm_loadu_si128(reinterpret_cast<const __m128i*>(blocks[b].pick));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_shuffle_epi8(from, pick));
  }
}

}  // namespace

ExpandBlocksFunction Ssse3ExpandBlocks() { return ExpandBlocks; }

}  // namespace engine

#else

namespace engine {
ExpandBlocksFunction Ssse3ExpandBlocks() { return nullptr; }
}  // namespace engine

#endif
