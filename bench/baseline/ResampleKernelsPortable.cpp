#include "baseline/ResampleKernels.h"

namespace engine {
namespace baseline {

namespace portable_kernels {
namespace {
#include "baseline/ResampleKernelLoops.h"
}  // namespace
}  // namespace portable_kernels

const ResampleKernels* PortableKernels() {
  using namespace portable_kernels;
  static const ResampleKernels kernels{ConvertRowLoop, TapRowLoop, DivideRowLoop, AddRowLoop,
                                       ScaledRowLoop,  MixRowLoop, BoxRowLoop};
  return &kernels;
}

const ResampleKernels& KernelsFor(SimdLevel level) {
  // Each level falls back to the next lower one this build has loops for.
  const ResampleKernels* byLevel[kSimdLevelCount] = {PortableKernels(), Sse41Kernels(),
                                                     Avx2Kernels(), Avx512Kernels()};
  for (int i = int(level); i > 0; --i) {
    if (byLevel[i]) return *byLevel[i];
  }
  return *byLevel[0];
}

}  // namespace baseline
}  // namespace engine
