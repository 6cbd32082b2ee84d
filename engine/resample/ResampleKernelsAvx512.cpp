// Compiled with AVX-512 F, BW, VL and VBMI enabled (see engine/CMakeLists.txt);
// runs only where SimdLevel says the processor has all four.
#include "engine/resample/ResampleKernels.h"

#if defined(TESSARY_SIMD_KERNELS)
#include <immintrin.h>

// GCC 12's AVX-512 intrinsics pass an undefined register as the unused merge
// source and then warn about it.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

namespace engine {

namespace avx512_kernels {
namespace {
#include "engine/resample/ResampleKernelLoops.h"

#include "engine/resample/ResampleKernelsAvx512Loops.h"

}  // namespace
}  // namespace avx512_kernels

const ResampleKernels* Avx512Kernels() {
  using namespace avx512_kernels;
  static const ResampleKernels kernels{ConvertRow, TapRow, DivideRowLoop, AddRowLoop, ScaledRow,
                                       MixRow,     BoxRow, nullptr,       nullptr};
  return &kernels;
}

}  // namespace engine

#else

namespace engine {
const ResampleKernels* Avx512Kernels() { return nullptr; }
}  // namespace engine

#endif
