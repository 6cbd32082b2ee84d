#include "text/LinearCompose.h"

#include <algorithm>
#include <memory>

#include "engine/resample/GammaTables.h"

namespace text {

namespace {

// The gamma the card's pictures are mixed with when saved.
constexpr float kGamma = 2.2f;
constexpr uint64_t kFull = 255u * 255u;

}  // namespace

uint32_t LinearLuminance(uint32_t colour) {
  const std::shared_ptr<const engine::GammaTablePair> tables = engine::SharedGammaTables(kGamma);
  const uint16_t* toLinear = tables->toLinear.entries;
  const uint32_t r = toLinear[(colour >> 16) & 0xff];
  const uint32_t g = toLinear[(colour >> 8) & 0xff];
  const uint32_t b = toLinear[colour & 0xff];
  return (2126 * r + 7152 * g + 722 * b) / 10000;
}

void ComposeCoverage(uint8_t* rgb, size_t stride, uint32_t width, uint32_t height,
                     const CoverageMask& mask, int64_t dx, int64_t dy, uint32_t colour) {
  const uint32_t alpha = colour >> 24;
  if (mask.Empty() || alpha == 0) return;
  const std::shared_ptr<const engine::GammaTablePair> tables = engine::SharedGammaTables(kGamma);
  const uint16_t* toLinear = tables->toLinear.entries;
  const uint8_t* fromLinear = tables->fromLinear.entries;
  const uint64_t ink[3] = {toLinear[(colour >> 16) & 0xff], toLinear[(colour >> 8) & 0xff],
                           toLinear[colour & 0xff]};
  const int64_t left = std::max<int64_t>(mask.left + dx, 0);
  const int64_t top = std::max<int64_t>(mask.top + dy, 0);
  const int64_t right = std::min<int64_t>(mask.left + dx + mask.width, width);
  const int64_t bottom = std::min<int64_t>(mask.top + dy + mask.height, height);
  for (int64_t y = top; y < bottom; ++y) {
    const uint8_t* cover =
        mask.values.data() + size_t(y - dy - mask.top) * mask.width + size_t(left - dx - mask.left);
    uint8_t* pixel = rgb + size_t(y) * stride + size_t(left) * 3;
    for (int64_t x = left; x < right; ++x, ++cover, pixel += 3) {
      const uint64_t a = uint64_t(*cover) * alpha;  // 0 .. 255 * 255
      if (a == 0) continue;
      for (int c = 0; c < 3; ++c) {
        const uint64_t paper = toLinear[pixel[c]];
        const uint64_t mixed = (paper * (kFull - a) + ink[c] * a + kFull / 2) / kFull;
        pixel[c] = fromLinear[mixed];
      }
    }
  }
}

}  // namespace text
