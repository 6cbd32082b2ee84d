#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <tuple>
#include <vector>

#include "engine/resample/ResampleJob.h"

namespace engine {
namespace {

// Nearest neighbour as written: a single-precision ratio, its exact product
// with the destination index, truncated.
std::vector<uint8_t> ReferenceNearest(const std::vector<uint8_t>& src, int32_t sw, int32_t sh,
                                      int32_t dw, int32_t dh) {
  const float rx = float(double(sw) / dw), ry = float(double(sh) / dh);
  std::vector<uint8_t> out(size_t(dw) * dh * 3);
  for (int32_t y = 0; y < dh; ++y) {
    const int32_t sy = int32_t(double(y) * ry);
    for (int32_t x = 0; x < dw; ++x) {
      const int32_t sx = int32_t(double(x) * rx);
      for (int c = 0; c < 3; ++c) {
        out[(size_t(y) * dw + x) * 3 + c] = src[(size_t(sy) * sw + sx) * 3 + c];
      }
    }
  }
  return out;
}

TEST(ScaleNearestTest, MatchesTheReferenceAcrossRatios) {
  std::mt19937 rng(1);
  for (auto [sw, sh, dw, dh] : {std::tuple{900, 600, 700, 467},
                                {7, 5, 7, 5},
                                {2, 2, 5, 3},
                                {300, 200, 430, 280},
                                {1, 1, 4, 4},
                                {13, 9, 3, 1}}) {
    std::vector<uint8_t> src(size_t(sw) * sh * 3);
    for (uint8_t& b : src) b = uint8_t(rng());
    std::vector<uint8_t> out(size_t(dw) * dh * 3);
    ResampleJob(dw, dh, sw, sh, out.data(), dw * 3, src.data(), sw * 3).ScaleNearest();
    EXPECT_EQ(out, ReferenceNearest(src, sw, sh, dw, dh))
        << sw << "x" << sh << " -> " << dw << "x" << dh;
  }
}

TEST(ScaleNearestTest, TheProductWithTheRatioIsNotRounded) {
  // 900 -> 700: the ratio is 1.28571427f; 7 x ratio is 8.99999988, column 8.
  // Rounded to single precision it would be 9.0.
  std::vector<uint8_t> src(900 * 3);
  for (size_t x = 0; x < 900; ++x) src[x * 3] = uint8_t(x);
  std::vector<uint8_t> out(700 * 3);
  ResampleJob(700, 1, 900, 1, out.data(), 700 * 3, src.data(), 900 * 3).ScaleNearest();
  EXPECT_EQ(out[7 * 3], 8);
}

TEST(ScaleNearestTest, ReadsAndWritesOnlyInsideViews) {
  // A 3x2 view at (1, 1) of a 6-pixel-wide source, into a 4x3 view at (2, 1)
  // of an 8-pixel-wide destination whose other bytes must stay as they are.
  std::vector<uint8_t> src(6 * 4 * 3);
  for (size_t i = 0; i < src.size(); ++i) src[i] = uint8_t(i);
  std::vector<uint8_t> dst(8 * 5 * 3, 0xEE);
  const uint8_t* srcView = src.data() + 1 * 18 + 1 * 3;
  uint8_t* dstView = dst.data() + 1 * 24 + 2 * 3;
  ResampleJob(4, 3, 3, 2, dstView, 24, srcView, 18).ScaleNearest();

  std::vector<uint8_t> packed;
  for (int y = 0; y < 2; ++y) packed.insert(packed.end(), srcView + y * 18, srcView + y * 18 + 9);
  const std::vector<uint8_t> expected = ReferenceNearest(packed, 3, 2, 4, 3);
  for (int y = 0; y < 5; ++y) {
    for (int x = 0; x < 24; ++x) {
      const bool inside = y >= 1 && y < 4 && x >= 6 && x < 18;
      const uint8_t want = inside ? expected[size_t(y - 1) * 12 + size_t(x - 6)] : 0xEE;
      EXPECT_EQ(dst[size_t(y) * 24 + size_t(x)], want) << x << "," << y;
    }
  }
}

}  // namespace
}  // namespace engine
