#include "text/MaskEffects.h"

#include <algorithm>
#include <vector>

namespace text {

namespace {

// One box blur along a line of `count` values `step` apart; values beyond
// the ends count as 0.
void BoxLine(uint8_t* line, size_t count, size_t step, int radius, std::vector<uint8_t>* scratch) {
  scratch->resize(count);
  for (size_t i = 0; i < count; ++i) (*scratch)[i] = line[i * step];
  const uint32_t window = uint32_t(2 * radius + 1);
  uint32_t sum = 0;
  for (int k = 0; k <= radius && size_t(k) < count; ++k) sum += (*scratch)[size_t(k)];
  for (size_t i = 0; i < count; ++i) {
    line[i * step] = uint8_t((sum + window / 2) / window);
    const size_t enter = i + size_t(radius) + 1;
    if (enter < count) sum += (*scratch)[enter];
    if (i >= size_t(radius)) sum -= (*scratch)[i - size_t(radius)];
  }
}

// Each value the largest of the `half` values either side (van Herk /
// Gil-Werman: three passes whatever the width).
void MaxLine(const uint8_t* in, size_t count, size_t half, uint8_t* out,
             std::vector<uint8_t>* forward, std::vector<uint8_t>* backward) {
  if (half == 0) {
    std::copy(in, in + count, out);
    return;
  }
  const size_t window = 2 * half + 1;
  const size_t padded = count + 2 * half;
  forward->assign(padded, 0);
  backward->assign(padded, 0);
  auto value = [&](size_t p) -> uint8_t {
    return p >= half && p - half < count ? in[p - half] : 0;
  };
  for (size_t p = 0; p < padded; ++p)
    (*forward)[p] = p % window == 0 ? value(p) : std::max((*forward)[p - 1], value(p));
  for (size_t p = padded; p-- > 0;)
    (*backward)[p] = (p + 1) % window == 0 || p + 1 == padded
                         ? value(p)
                         : std::max((*backward)[p + 1], value(p));
  // Output i covers padded positions i .. i + 2 half.
  for (size_t i = 0; i < count; ++i) out[i] = std::max((*backward)[i], (*forward)[i + 2 * half]);
}

}  // namespace

CoverageMask Blurred(const CoverageMask& mask, int radius) {
  CoverageMask out = mask;
  if (radius <= 0 || out.Empty()) return out;
  std::vector<uint8_t> scratch;
  for (int pass = 0; pass < 3; ++pass) {
    for (uint32_t y = 0; y < out.height; ++y)
      BoxLine(out.values.data() + size_t(y) * out.width, out.width, 1, radius, &scratch);
    for (uint32_t x = 0; x < out.width; ++x)
      BoxLine(out.values.data() + x, out.height, out.width, radius, &scratch);
  }
  return out;
}

CoverageMask Dilated(const CoverageMask& mask, int radius) {
  CoverageMask out = mask;
  if (radius <= 0 || out.Empty()) return out;
  std::fill(out.values.begin(), out.values.end(), 0);
  std::vector<uint8_t> row(out.width), forward, backward;
  const int64_t r2 = int64_t(radius) * radius;
  for (int dy = -radius; dy <= radius; ++dy) {
    // The disc's half width at this height, in whole pixels.
    size_t half = 0;
    while (int64_t(half + 1) * int64_t(half + 1) + int64_t(dy) * dy <= r2) ++half;
    for (uint32_t y = 0; y < out.height; ++y) {
      const int64_t source = int64_t(y) + dy;
      if (source < 0 || source >= int64_t(out.height)) continue;
      MaxLine(mask.values.data() + size_t(source) * mask.width, mask.width, half, row.data(),
              &forward, &backward);
      uint8_t* target = out.values.data() + size_t(y) * out.width;
      for (uint32_t x = 0; x < out.width; ++x) target[x] = std::max(target[x], row[x]);
    }
  }
  return out;
}

}  // namespace text
