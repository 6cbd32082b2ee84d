#pragma once

#include <cstdint>

namespace engine {

// Instruction sets the resampler has pixel loops for, from the plainest up.
// Every level produces the same bytes; they differ only in speed.
enum class SimdLevel : uint8_t {
  Portable,  // plain C++, any processor
  Sse41,     // x86 with SSE4.1
  Avx2,      // x86 with AVX2
  Avx512,    // x86 with AVX-512 F, BW, VL and VBMI
  Avx512Vnni,  // and VNNI (16-bit multiply-add)
};

constexpr int kSimdLevelCount = 5;

const char* SimdLevelName(SimdLevel level);

// The best level this processor and this build support.
SimdLevel DetectedSimdLevel();

// True when this processor and build can run `level`.
bool SimdLevelSupported(SimdLevel level);

// The level the pixel loops use: the detected one unless forced.
SimdLevel ActiveSimdLevel();

// Makes the pixel loops use `level` (tests and benchmarks compare the paths).
// False, with nothing changed, when the level is not supported here. Jobs
// already running keep the level they started with.
bool ForceSimdLevel(SimdLevel level);

// Back to the detected level.
void ResetSimdLevel();

}  // namespace engine
