// The resampler's pixel loops in plain C++. Each ResampleKernels*.cpp
// includes this file inside a namespace of its own and compiles it for its
// instruction set, so the compiler vectorises the loops for that set and no
// two sets ever share a symbol. Include nothing else here.
//
// The casts to int32_t before converting to double are exact (every value is
// below 2^31) and let the conversion vectorise.

[[maybe_unused]] static void ConvertRowLoop(const uint16_t* toLinear, const uint8_t* src,
                                            int32_t pixels, uint16_t* quads) {
  for (int32_t p = 0; p < pixels; ++p, src += 3, quads += 4) {
#if defined(__GNUC__) || defined(__clang__)
    // The photo streams in from memory once: its lines are asked for ahead.
    if ((p & 15) == 0) __builtin_prefetch(src + 3072);
#endif
    quads[0] = toLinear[src[0]];
    quads[1] = toLinear[src[1]];
    quads[2] = toLinear[src[2]];
    quads[3] = 0;
  }
}

[[maybe_unused]] static void TapRowLoop(const uint16_t* quads, const engine::baseline::TapKernelView& k,
                                        uint32_t* out) {
  for (int32_t x = 0; x < k.columns; ++x, out += 3) {
    const uint16_t* q = quads + size_t(k.start[x]) * 4;
    const uint32_t* w = k.weights + size_t(x) * size_t(k.weightStride);
    uint32_t s0 = 0, s1 = 0, s2 = 0;
    for (int32_t j = 0; j < k.taps; ++j, q += 4) {
      s0 += q[0] * w[j];
      s1 += q[1] * w[j];
      s2 += q[2] * w[j];
    }
    out[0] = s0;
    out[1] = s1;
    out[2] = s2;
  }
}

[[maybe_unused]] static void DivideRowLoop(uint32_t* __restrict values,
                                           const double* __restrict bias,
                                           const double* __restrict inverse, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    const double n = double(int32_t(values[i])) * 256.0 + bias[i];
    values[i] = uint32_t(int32_t(n * inverse[i]));
  }
}

[[maybe_unused]] static void AddRowLoop(uint32_t* __restrict sum, const uint32_t* __restrict row,
                                        size_t count) {
  for (size_t i = 0; i < count; ++i) sum[i] += row[i];
}

[[maybe_unused]] static void ScaledRowLoop(const uint8_t* fromLinear, const uint32_t* row,
                                           uint8_t* dst, size_t count) {
  for (size_t i = 0; i < count; ++i) dst[i] = fromLinear[row[i] >> 8];
}

[[maybe_unused]] static void MixRowLoop(const uint8_t* fromLinear, const uint32_t* a, uint32_t wa,
                                        const uint32_t* b, uint32_t wb, uint8_t* dst,
                                        size_t count) {
  for (size_t i = 0; i < count; ++i) dst[i] = fromLinear[(a[i] * wa + b[i] * wb) >> 16];
}

[[maybe_unused]] static void BoxRowLoop(const uint8_t* fromLinear, const uint32_t* a, uint32_t wa,
                                        const uint32_t* b, uint32_t wb, const uint32_t* sum,
                                        double inverse, uint8_t* dst, size_t count) {
  const double da = double(wa), db = double(wb);
  for (size_t i = 0; i < count; ++i) {
    const double x =
        double(int32_t(a[i])) * da + double(int32_t(b[i])) * db + double(int32_t(sum[i])) * 256.0;
    dst[i] = fromLinear[int32_t((x + 0.5) * inverse)];
  }
}
