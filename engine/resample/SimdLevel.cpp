#include "engine/resample/SimdLevel.h"

#include <atomic>

namespace engine {

namespace {

SimdLevel Detect() {
#if (defined(__x86_64__) || defined(__i386__)) && (defined(__GNUC__) || defined(__clang__)) && \
    defined(TESSARY_SIMD_KERNELS)
  __builtin_cpu_init();
  if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
      __builtin_cpu_supports("avx512vl") && __builtin_cpu_supports("avx512vbmi")) {
    return __builtin_cpu_supports("avx512vnni") ? SimdLevel::Avx512Vnni : SimdLevel::Avx512;
  }
  if (__builtin_cpu_supports("avx2")) return SimdLevel::Avx2;
  if (__builtin_cpu_supports("sse4.1")) return SimdLevel::Sse41;
#endif
  return SimdLevel::Portable;
}

std::atomic<int> forced{-1};

}  // namespace

const char* SimdLevelName(SimdLevel level) {
  switch (level) {
    case SimdLevel::Portable:
      return "portable";
    case SimdLevel::Sse41:
      return "sse4.1";
    case SimdLevel::Avx2:
      return "avx2";
    case SimdLevel::Avx512:
      return "avx512";
    case SimdLevel::Avx512Vnni:
      return "avx512-vnni";
  }
  return "?";
}

SimdLevel DetectedSimdLevel() {
  static const SimdLevel detected = Detect();
  return detected;
}

bool SimdLevelSupported(SimdLevel level) { return level <= DetectedSimdLevel(); }

SimdLevel ActiveSimdLevel() {
  const int level = forced.load(std::memory_order_relaxed);
  return level < 0 ? DetectedSimdLevel() : SimdLevel(level);
}

bool ForceSimdLevel(SimdLevel level) {
  if (!SimdLevelSupported(level)) return false;
  forced.store(int(level), std::memory_order_relaxed);
  return true;
}

void ResetSimdLevel() { forced.store(-1, std::memory_order_relaxed); }

}  // namespace engine
