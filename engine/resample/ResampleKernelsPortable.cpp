#include "engine/resample/ResampleKernels.h"

namespace engine {

namespace portable_kernels {
namespace {
#include "engine/resample/ResampleKernelLoops.h"
}  // namespace
}  // namespace portable_kernels

const ResampleKernels* PortableKernels() {
  using namespace portable_kernels;
  static const ResampleKernels kernels{ConvertRowLoop, TapRowLoop, DivideRowLoop, AddRowLoop,
                                       ScaledRowLoop,  MixRowLoop, BoxRowLoop, nullptr, nullptr};
  return &kernels;
}

const ResampleKernels& KernelsFor(SimdLevel level) {
  // Each level falls back to the next lower one this build has loops for.
  const ResampleKernels* byLevel[kSimdLevelCount] = {PortableKernels(), Sse41Kernels(),
                                                     Avx2Kernels(), Avx512Kernels(),
                                                     Avx512VnniKernels()};
  for (int i = int(level); i > 0; --i) {
    if (byLevel[i]) return *byLevel[i];
  }
  return *byLevel[0];
}

}  // namespace engine
