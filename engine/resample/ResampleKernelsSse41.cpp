// Compiled with SSE4.1 enabled (see engine/CMakeLists.txt), so the compiler
// vectorises the plain loops for it; runs only where SimdLevel says the
// processor has it.
#include "engine/resample/ResampleKernels.h"

#if defined(TESSARY_SIMD_KERNELS)

namespace engine {

namespace sse41_kernels {
namespace {
#include "engine/resample/ResampleKernelLoops.h"

}  // namespace
}  // namespace sse41_kernels

const ResampleKernels* Sse41Kernels() {
  using namespace sse41_kernels;
  static const ResampleKernels kernels{ConvertRowLoop, TapRowLoop, DivideRowLoop, AddRowLoop,
                                       ScaledRowLoop,  MixRowLoop, BoxRowLoop, nullptr, nullptr};
  return &kernels;
}

}  // namespace engine

#else

namespace engine {
const ResampleKernels* Sse41Kernels() { return nullptr; }
}  // namespace engine

#endif
