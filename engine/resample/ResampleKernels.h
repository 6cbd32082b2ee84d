#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/resample/SimdLevel.h"

// The resampler's pixel loops, one set per instruction-set level. Every set
// computes the same bytes: all sums are exact integers, and the only
// floating-point steps are reciprocal multiplies whose truncation is proven
// exact where the weights are built (TapKernel, VerticalStage).
//
// This header is included by files compiled for other instruction sets, so it
// must hold declarations and plain data only: an inline function defined here
// could be emitted with AVX-512 code and picked by the linker for everyone.

namespace engine {

// One axis of weights with a fixed number of taps per destination position:
// position x reads source positions start[x] .. start[x] + weightStride - 1
// with weights[x * weightStride + j]; the weights past a position's own taps
// are zero, and the source row is padded so those reads stay inside it.
struct TapKernelView {
  int32_t taps;          // the most taps any position has
  int32_t weightStride;  // taps rounded up to a multiple of 4
  int32_t columns;       // destination positions
  const int32_t* start;
  const uint32_t* weights;
};

// The same taps for the 16-bit multiply-add loops, which read a row as pairs
// of pixels (see convertPairs): position x reads pairs firstPair[x] ..
// firstPair[x] + 4 * steps - 1 with one word per pair (the first pixel's
// weight, the second's << 16) at weights[(x * steps) * 4 ...]. The converted
// values are offset by -32768 to fit signed 16 bits; bias[4x + c] (c < 3)
// adds back 32768 times the position's total weight, bias[4x + 3] is 0.
// Positions of at most two taps read exactly one pair, from a row converted
// twice (see TapKernel::OddPairsAt). Where some position is a long box entry,
// the loops also divide as divideRow does, with position x's roundBias[x] and
// inverse[x] (both null otherwise; padded like the weights).
// `columns` positions; the weights and biases are padded with zeros to a
// multiple of 4 positions, the rows with zero pairs past their end.
struct TapPairsView {
  int32_t taps;   // the most taps any position has
  int32_t steps;  // four pairs per step
  int32_t columns;
  const int32_t* firstPair;
  const uint32_t* weights;
  const uint32_t* bias;
  const double* roundBias;
  const double* inverse;
  // The next source row, which the loops ask the memory for while they sum
  // (null: none): its conversion then finds it in the cache.
  const uint8_t* ahead;
  size_t aheadBytes;
};

struct ResampleKernels {
  // quads[4p + c] = toLinear[src[3p + c]] and quads[4p + 3] = 0, p < pixels.
  void (*convertRow)(const uint16_t* toLinear, const uint8_t* src, int32_t pixels, uint16_t* quads);
  // out[3x + c] = sum over j of quads[4 (start[x] + j) + c] * weights[x][j].
  // May write out[3 * columns] as scratch. Sums stay below 2^31.
  void (*tapRow)(const uint16_t* quads, const TapKernelView& kernel, uint32_t* out);
  // values[i] = trunc((values[i] * 256 + bias[i]) * inverse[i]), values < 2^31.
  void (*divideRow)(uint32_t* values, const double* bias, const double* inverse, size_t count);
  // sum[i] += row[i].
  void (*addRow)(uint32_t* sum, const uint32_t* row, size_t count);
  // dst[i] = fromLinear[row[i] >> 8].
  void (*scaledRow)(const uint8_t* fromLinear, const uint32_t* row, uint8_t* dst, size_t count);
  // dst[i] = fromLinear[(a[i] * wa + b[i] * wb) >> 16], wa + wb = 256.
  void (*mixRow)(const uint8_t* fromLinear, const uint32_t* a, uint32_t wa, const uint32_t* b,
                 uint32_t wb, uint8_t* dst, size_t count);
  // dst[i] = fromLinear[trunc((a[i] wa + b[i] wb + 256 sum[i] + 0.5) * inverse)]; every
  // operand below 2^31 and the index below 65536.
  void (*boxRow)(const uint8_t* fromLinear, const uint32_t* a, uint32_t wa, const uint32_t* b,
                 uint32_t wb, const uint32_t* sum, double inverse, uint8_t* dst, size_t count);
  // Null where the processor has no 16-bit multiply-add; otherwise, for
  // pair i = pixels 2i and 2i + 1: pairs[8i + 2c + k] = toLinear[src[3 (2i + k) + c]] ^ 0x8000
  // (c < 3), pairs[8i + 6] = pairs[8i + 7] = 0, and the second pixel of a last
  // odd pixel's pair is 0 too.
  void (*convertPairs)(const uint16_t* toLinear, const uint8_t* src, int32_t pixels,
                       uint16_t* pairs);
  // tapRow's sums from such pairs, divided where divideRow would divide them
  // (every position, no scratch past the row).
  void (*tapPairs)(const uint16_t* pairs, const TapPairsView& kernel, uint32_t* out);
};

// The loops for `level`; a level the build has no loops for gets the next
// lower one.
const ResampleKernels& KernelsFor(SimdLevel level);

// One set per level, each defined in a file of its own compiled for that
// level; null when this build has no loops for it.
const ResampleKernels* PortableKernels();
const ResampleKernels* Sse41Kernels();
const ResampleKernels* Avx2Kernels();
const ResampleKernels* Avx512Kernels();
const ResampleKernels* Avx512VnniKernels();

}  // namespace engine
