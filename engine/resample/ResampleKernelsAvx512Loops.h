// The AVX-512 pixel loops. ResampleKernelsAvx512.cpp and
// ResampleKernelsAvx512Vnni.cpp include this file inside a namespace of their
// own (after ResampleKernelLoops.h and <immintrin.h>), each compiled for its
// instruction set, so no two sets share a symbol. Include nothing else here.

// The 256-entry table lives in eight registers, its low bytes in four and its
// high bytes in four; a byte permute looks up 64 channel values at once.
struct TableRegisters {
  __m512i low[4];
  __m512i high[4];
};

// `flip` is XORed into every high byte.
TableRegisters LoadTable(const uint16_t* toLinear, uint8_t flip = 0) {
  alignas(64) uint8_t low[256], high[256];
  for (int i = 0; i < 256; ++i) {
    low[i] = uint8_t(toLinear[i]);
    high[i] = uint8_t((toLinear[i] >> 8) ^ flip);
  }
  TableRegisters t;
  for (int i = 0; i < 4; ++i) {
    t.low[i] = _mm512_load_si512(low + 64 * i);
    t.high[i] = _mm512_load_si512(high + 64 * i);
  }
  return t;
}

// Bit 7 of each index picks the upper or lower half of the table, bits 0-6
// an entry within the half.
__m512i Lookup(const __m512i half[4], __m512i index) {
  const __m512i lower = _mm512_permutex2var_epi8(half[0], index, half[1]);
  const __m512i upper = _mm512_permutex2var_epi8(half[2], index, half[3]);
  return _mm512_mask_blend_epi8(_mm512_movepi8_mask(index), lower, upper);
}

constexpr int kPrefetchAhead = 3072;

// 16 pixels (48 bytes) per step, looked up, then two 64-byte blocks of output
// whose byte b is byte pick[half][b] of the lookups (below 64: the low
// bytes, from 64 on: the high ones), zero where `keep` has no bit. Returns
// the pixels done, a multiple of 16; the caller converts the rest.
int32_t ConvertBlocks(const TableRegisters& table, const uint8_t (&pick)[2][64], __mmask64 keep,
                      const uint8_t* src, int32_t pixels, uint16_t* out) {
  const __m512i pick0 = _mm512_load_si512(pick[0]);
  const __m512i pick1 = _mm512_load_si512(pick[1]);
  const __mmask64 fortyEight = 0x0000FFFFFFFFFFFFULL;
  int32_t p = 0;
  for (; p + 16 <= pixels; p += 16, src += 48, out += 64) {
    // The photo streams in from memory once; the lookups are far quicker
    // than the memory, so its lines are asked for well ahead.
    _mm_prefetch(reinterpret_cast<const char*>(src) + kPrefetchAhead, _MM_HINT_T0);
    const __m512i bytes = _mm512_maskz_loadu_epi8(fortyEight, src);
    const __m512i low = Lookup(table.low, bytes);
    const __m512i high = Lookup(table.high, bytes);
    _mm512_storeu_si512(out, _mm512_maskz_permutex2var_epi8(keep, low, pick0, high));
    _mm512_storeu_si512(out + 32, _mm512_maskz_permutex2var_epi8(keep, low, pick1, high));
  }
  return p;
}

// 16 pixels (48 bytes) per step. The output bytes of pixel p, channel c are
// the low byte 3p + c and the high byte 3p + c of the lookups; the fourth
// channel of every pixel is zeroed by the mask.
void ConvertRow(const uint16_t* toLinear, const uint8_t* src, int32_t pixels, uint16_t* quads) {
  alignas(64) uint8_t pick[2][64];
  for (int half = 0; half < 2; ++half) {
    for (int b = 0; b < 64; ++b) {
      const int p = half * 8 + b / 8, c = (b % 8) / 2;
      pick[half][b] = uint8_t(c == 3 ? 0 : 3 * p + c + (b % 2 ? 64 : 0));
    }
  }
  const int32_t done = ConvertBlocks(LoadTable(toLinear), pick, 0x3F3F3F3F3F3F3F3FULL, src, pixels,
                                     quads);
  ConvertRowLoop(toLinear, src + 3 * done, pixels - done, quads + 4 * done);
}

// Two taps (enlarging, and reductions of less than 1.5:1 where no entry
// spans three pixels): two pixels of four lanes, folded once.
void TwoTapRow(const uint16_t* quads, const TapKernelView& k, uint32_t* out) {
  const __m256i spread = _mm256_setr_epi32(0, 0, 0, 0, 1, 1, 1, 1);
  for (int32_t x = 0; x < k.columns; ++x, out += 3) {
    const __m256i v = _mm256_cvtepu16_epi32(
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(quads + size_t(k.start[x]) * 4)));
    const __m256i w = _mm256_permutexvar_epi32(
        spread, _mm256_zextsi128_si256(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(
                    k.weights + size_t(x) * size_t(k.weightStride)))));
    const __m256i sum = _mm256_mullo_epi32(v, w);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out),
                     _mm_add_epi32(_mm256_castsi256_si128(sum), _mm256_extracti128_si256(sum, 1)));
  }
}

// Four taps per step: four pixels of four lanes each, folded at the end.
void TapRow(const uint16_t* quads, const TapKernelView& k, uint32_t* out) {
  if (k.taps <= 2) return TwoTapRow(quads, k, out);
  const __m512i spread = _mm512_setr_epi32(0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3);
  for (int32_t x = 0; x < k.columns; ++x, out += 3) {
    const uint16_t* q = quads + size_t(k.start[x]) * 4;
    const uint32_t* w = k.weights + size_t(x) * size_t(k.weightStride);
    __m512i sum = _mm512_setzero_si512();
    int32_t j = 0;
    for (; j + 2 < k.taps; j += 4, q += 16) {
      const __m512i v =
          _mm512_cvtepu16_epi32(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(q)));
      const __m512i wj = _mm512_permutexvar_epi32(
          spread, _mm512_zextsi128_si512(_mm_loadu_si128(reinterpret_cast<const __m128i*>(w + j))));
      sum = _mm512_add_epi32(sum, _mm512_mullo_epi32(v, wj));
    }
    __m256i half = _mm256_add_epi32(_mm512_castsi512_si256(sum), _mm512_extracti64x4_epi64(sum, 1));
    if (j < k.taps) {  // one or two taps left: half a step
      const __m256i v = _mm256_cvtepu16_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(q)));
      const __m256i wj = _mm256_permutexvar_epi32(
          _mm512_castsi512_si256(spread),
          _mm256_zextsi128_si256(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(w + j))));
      half = _mm256_add_epi32(half, _mm256_mullo_epi32(v, wj));
    }
    const __m128i total =
        _mm_add_epi32(_mm256_castsi256_si128(half), _mm256_extracti128_si256(half, 1));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), total);
  }
}

// The way back to 8 bits, 16 channels at a time: the indices go through
// memory and each byte is looked up on its own. A gather was slower (an
// enlargement 400 x 300 to 900 x 600 took 1.1x as long on AMD's Zen 5, where
// the gather's results kept the loop waiting), and Intel's processors since
// the gather data-sampling fix run gathers slower still.
void Store16(const uint8_t* fromLinear, __m512i index, uint8_t* dst) {
  alignas(64) uint32_t at[16];
  _mm512_store_si512(at, index);
  for (int i = 0; i < 16; ++i) dst[i] = fromLinear[at[i]];
}

__m512i Load16(const uint32_t* p) { return _mm512_loadu_si512(p); }

void ScaledRow(const uint8_t* fromLinear, const uint32_t* row, uint8_t* dst, size_t count) {
  size_t i = 0;
  for (; i + 16 <= count; i += 16) {
    Store16(fromLinear, _mm512_srli_epi32(Load16(row + i), 8), dst + i);
  }
  ScaledRowLoop(fromLinear, row + i, dst + i, count - i);
}

// The sum is below 2^32 (see VerticalStage), so 32-bit lanes hold it.
void MixRow(const uint8_t* fromLinear, const uint32_t* a, uint32_t wa, const uint32_t* b,
            uint32_t wb, uint8_t* dst, size_t count) {
  const __m512i va = _mm512_set1_epi32(int32_t(wa)), vb = _mm512_set1_epi32(int32_t(wb));
  size_t i = 0;
  for (; i + 16 <= count; i += 16) {
    const __m512i sum = _mm512_add_epi32(_mm512_mullo_epi32(Load16(a + i), va),
                                         _mm512_mullo_epi32(Load16(b + i), vb));
    Store16(fromLinear, _mm512_srli_epi32(sum, 16), dst + i);
  }
  MixRowLoop(fromLinear, a + i, wa, b + i, wb, dst + i, count - i);
}

// BoxRowLoop's arithmetic eight lanes of doubles at a time.
__m256i BoxIndex8(const uint32_t* a, __m512d wa, const uint32_t* b, __m512d wb, const uint32_t* sum,
                  __m512d inverse) {
  auto load = [](const uint32_t* p) {
    return _mm512_cvtepi32_pd(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)));
  };
  const __m512d x =
      _mm512_add_pd(_mm512_add_pd(_mm512_mul_pd(load(a), wa), _mm512_mul_pd(load(b), wb)),
                    _mm512_mul_pd(load(sum), _mm512_set1_pd(256.0)));
  return _mm512_cvttpd_epi32(_mm512_mul_pd(_mm512_add_pd(x, _mm512_set1_pd(0.5)), inverse));
}

void BoxRow(const uint8_t* fromLinear, const uint32_t* a, uint32_t wa, const uint32_t* b,
            uint32_t wb, const uint32_t* sum, double inverse, uint8_t* dst, size_t count) {
  const __m512d da = _mm512_set1_pd(double(wa)), db = _mm512_set1_pd(double(wb));
  const __m512d inv = _mm512_set1_pd(inverse);
  size_t i = 0;
  for (; i + 16 <= count; i += 16) {
    const __m256i low = BoxIndex8(a + i, da, b + i, db, sum + i, inv);
    const __m256i high = BoxIndex8(a + i + 8, da, b + i + 8, db, sum + i + 8, inv);
    Store16(fromLinear, _mm512_inserti64x4(_mm512_castsi256_si512(low), high, 1), dst + i);
  }
  BoxRowLoop(fromLinear, a + i, wa, b + i, wb, sum + i, inverse, dst + i, count - i);
}

