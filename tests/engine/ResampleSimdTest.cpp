#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <tuple>
#include <vector>

#include "GuardedBytes.h"
#include "engine/resample/GammaTables.h"
#include "engine/resample/ResampleJob.h"
#include "engine/resample/ResampleKernels.h"
#include "engine/resample/SimdLevel.h"
#include "engine/resample/TapKernel.h"

namespace engine {
namespace {

std::vector<SimdLevel> SupportedLevels() {
  std::vector<SimdLevel> levels;
  for (int i = 0; i < kSimdLevelCount; ++i) {
    if (SimdLevelSupported(SimdLevel(i))) levels.push_back(SimdLevel(i));
  }
  return levels;
}

// Forces a level for one scope; the detected level comes back afterwards.
struct ForcedLevel {
  explicit ForcedLevel(SimdLevel level) { EXPECT_TRUE(ForceSimdLevel(level)); }
  ~ForcedLevel() { ResetSimdLevel(); }
};

TEST(SimdLevel, OnlySupportedLevelsCanBeForced) {
  EXPECT_TRUE(SimdLevelSupported(SimdLevel::Portable));
  for (int i = 0; i < kSimdLevelCount; ++i) {
    const SimdLevel level = SimdLevel(i);
    EXPECT_EQ(ForceSimdLevel(level), level <= DetectedSimdLevel()) << SimdLevelName(level);
    if (level <= DetectedSimdLevel()) {
      EXPECT_EQ(ActiveSimdLevel(), level);
    }
  }
  ResetSimdLevel();
  EXPECT_EQ(ActiveSimdLevel(), DetectedSimdLevel());
}

// Conversion with an arbitrary table, on every length around the vector
// widths, into a buffer whose guard words must survive.
TEST(ResampleKernels, ConvertRowMatchesThePortableLoop) {
  std::mt19937 rng(1);
  ToLinearTable table;
  for (uint16_t& v : table.entries) v = uint16_t(rng());
  std::vector<uint8_t> src(3 * 70);
  for (uint8_t& b : src) b = uint8_t(rng());
  for (SimdLevel level : SupportedLevels()) {
    for (int32_t pixels = 0; pixels <= 66; ++pixels) {
      std::vector<uint16_t> expected(4 * size_t(pixels) + 8, 0xBEEF), got(expected);
      PortableKernels()->convertRow(table.entries, src.data(), pixels, expected.data());
      KernelsFor(level).convertRow(table.entries, src.data(), pixels, got.data());
      ASSERT_EQ(got, expected) << SimdLevelName(level) << " " << pixels << " pixels";
      if (!KernelsFor(level).convertPairs) continue;
      // The same values in pairs, offset to signed, zeros wherever no pixel is.
      std::vector<uint16_t> pairs(4 * size_t(pixels + 1) + 8, 0xBEEF);
      std::vector<uint16_t> expectedPairs(pairs);
      for (int32_t p = 0; p < (pixels + 1) / 2 * 2; ++p) {
        for (int c = 0; c < 4; ++c) {
          const size_t at = 8 * size_t(p / 2) + 2 * size_t(c) + size_t(p % 2);
          expectedPairs[at] =
              c < 3 && p < pixels ? uint16_t(expected[4 * size_t(p) + c] ^ 0x8000) : 0;
        }
      }
      KernelsFor(level).convertPairs(table.entries, src.data(), pixels, pairs.data());
      ASSERT_EQ(pairs, expectedPairs)
          << SimdLevelName(level) << " " << pixels << " pixels in pairs";
    }
  }
}

// Rows of linear values over the whole 16-bit range through the kernels of
// real tables, at the ratios where the tap counts change.
TEST(ResampleKernels, TapAndDivideRowsMatchThePortableLoops) {
  std::mt19937 rng(2);
  for (auto [src, dst] : {std::pair{2, 5},
                          {3, 7},
                          {7, 3},
                          {13, 5},
                          {100, 23},
                          {37, 36},
                          {640, 5},
                          {1000, 8},
                          {4000, 900},
                          {6000, 900},
                          {400, 25},
                          {500, 20},
                          {5, 1}}) {
    const AxisWeights weights = AxisWeights::Build(src, dst);
    TapKernel kernel;
    ASSERT_TRUE(TapKernel::Build(weights, src, dst, &kernel)) << src << " -> " << dst;
    std::vector<uint16_t> quads(4 * size_t(src + kernel.Padding()), 0);
    for (int32_t p = 0; p < src; ++p) {
      for (int c = 0; c < 3; ++c) quads[4 * size_t(p) + c] = uint16_t(rng());
    }
    // The same row in pairs (values offset to signed), for the multiply-add loops.
    // Two-tap kernels also take the row's pairs from its second pixel.
    kernel.BuildPairs();
    std::vector<uint16_t> pairs(8 * size_t(2 * (src / 2 + 1) + kernel.PairPadding()), 0);
    for (int32_t from : {0, kernel.OddPairsAt() < 0 ? -1 : 1}) {
      const size_t at = from == 1 ? 8 * size_t(kernel.OddPairsAt()) : 0;
      for (int32_t p = 0; from >= 0 && p + from < src; ++p) {
        for (int c = 0; c < 3; ++c) {
          pairs[at + 8 * size_t(p / 2) + 2 * size_t(c) + size_t(p % 2)] =
              uint16_t(quads[4 * size_t(p + from) + c] ^ 0x8000);
        }
      }
    }
    for (SimdLevel level : SupportedLevels()) {
      std::vector<uint32_t> expected(3 * size_t(dst) + 1), got(expected.size());
      PortableKernels()->tapRow(quads.data(), kernel.View(), expected.data());
      if (kernel.Divides()) {
        PortableKernels()->divideRow(expected.data(), kernel.Bias(), kernel.Inverse(),
                                     3 * size_t(dst));
      }
      if (KernelsFor(level).tapPairs) {  // divides too
        KernelsFor(level).tapPairs(pairs.data(), kernel.PairsView(), got.data());
        ASSERT_EQ(got.back(), 0u) << "written past the row";
        got.back() = expected.back();
      } else {
        KernelsFor(level).tapRow(quads.data(), kernel.View(), got.data());
        if (kernel.Divides()) {
          KernelsFor(level).divideRow(got.data(), kernel.Bias(), kernel.Inverse(),
                                      3 * size_t(dst));
        }
      }
      got.pop_back();
      expected.pop_back();
      ASSERT_EQ(got, expected) << SimdLevelName(level) << " " << src << " -> " << dst;
    }
  }
}

// The way back to 8 bits, on every count around the vector widths, with
// operands at the ends of their ranges and an arbitrary table.
TEST(ResampleKernels, VerticalRowsMatchThePortableLoops) {
  std::mt19937 rng(4);
  std::vector<uint8_t> table(FromLinearTable::kSize);
  for (uint8_t& b : table) b = uint8_t(rng());
  constexpr uint32_t kMostSample = 65535 * 256;
  for (SimdLevel level : SupportedLevels()) {
    const ResampleKernels& k = KernelsFor(level);
    for (size_t count = 0; count <= 41; ++count) {
      std::vector<uint32_t> a(count), b(count), sum(count);
      for (size_t i = 0; i < count; ++i) {
        a[i] = i % 5 == 0 ? kMostSample : uint32_t(rng() % (kMostSample + 1));
        b[i] = i % 7 == 0 ? kMostSample : uint32_t(rng() % (kMostSample + 1));
        sum[i] = uint32_t(rng() % (uint64_t(kMostSample) * 3 + 1));  // three whole rows
      }
      const uint32_t w = uint32_t(rng() % 257);
      // Long entries: 3 whole rows with partial first and last rows.
      const uint32_t wFirst = 1 + uint32_t(rng() % 256), wLast = uint32_t(rng() % 257);
      const double inverse = 1.0 / (double(wFirst + wLast + 3 * 256) * 256.0);
      std::vector<uint8_t> expected(count + 1, 0xEE), got(count + 1, 0xEE);
      auto check = [&](const char* what) {
        ASSERT_EQ(got, expected) << SimdLevelName(level) << " " << what << " " << count;
        std::fill(expected.begin(), expected.end(), 0xEE);
        std::fill(got.begin(), got.end(), 0xEE);
      };
      PortableKernels()->scaledRow(table.data(), a.data(), expected.data(), count);
      k.scaledRow(table.data(), a.data(), got.data(), count);
      check("scaled");
      PortableKernels()->mixRow(table.data(), a.data(), w, b.data(), 256 - w, expected.data(),
                                count);
      k.mixRow(table.data(), a.data(), w, b.data(), 256 - w, got.data(), count);
      check("mix");
      PortableKernels()->boxRow(table.data(), a.data(), wFirst, b.data(), wLast, sum.data(),
                                inverse, expected.data(), count);
      k.boxRow(table.data(), a.data(), wFirst, b.data(), wLast, sum.data(), inverse, got.data(),
               count);
      check("box");
    }
  }
}

// The reciprocal multiply against the integer division it replaces, at the
// largest total the kernels accept and at every remainder of a few totals.
TEST(TapKernel, ReciprocalDivisionIsExact) {
  for (uint64_t total : {uint64_t(257), uint64_t(1000), uint64_t(1707), uint64_t(32768)}) {
    const double bias = double(total / 2) + 0.5, inverse = 1.0 / double(total);
    const uint64_t most = 65535 * total;
    for (uint64_t s : {uint64_t(0), uint64_t(1), total - 1, total, most - total, most - 1, most}) {
      for (uint64_t d = 0; d < 2 * total && s + d <= most; d += 1 + total / 97) {
        const uint64_t sum = s + d;
        const uint64_t expected = (sum * 256 + total / 2) / total;
        const uint32_t got = uint32_t(int32_t((double(int32_t(sum)) * 256.0 + bias) * inverse));
        ASSERT_EQ(got, expected) << sum << " / " << total;
      }
    }
  }
}

TEST(TapKernel, OnlyFilteredAxesWithinTheTotalLimitAreUnpacked) {
  TapKernel kernel;
  EXPECT_FALSE(TapKernel::Build(AxisWeights::Build(5, 5), 5, 5, &kernel));         // copy
  EXPECT_FALSE(TapKernel::Build(AxisWeights::Build(1, 5), 1, 5, &kernel));         // replicate
  EXPECT_TRUE(TapKernel::Build(AxisWeights::Build(1280, 10), 1280, 10, &kernel));  // 128:1
  EXPECT_FALSE(TapKernel::Build(AxisWeights::Build(1300, 10), 1300, 10, &kernel));
  ASSERT_TRUE(TapKernel::Build(AxisWeights::Build(4, 2), 4, 2, &kernel));
  // 4 -> 2: a long entry (1, 256, 0, 512) then a short one (0, 128).
  const TapKernelView v = kernel.View();
  EXPECT_EQ(v.taps, 3);
  EXPECT_EQ(v.weightStride, 4);
  EXPECT_EQ(v.start[0], 0);
  EXPECT_EQ(v.start[1], 2);
  EXPECT_EQ(std::vector<uint32_t>(v.weights, v.weights + 8),
            (std::vector<uint32_t>{256, 256, 0, 0, 128, 128, 0, 0}));
}

// Whole jobs at every level against the portable level: odd sizes, one-pixel
// sides, sources inside wider buffers, destinations inside guarded ones, and
// ratios past the kernels' limit, which take the general loops.
TEST(ResampleSimd, EveryLevelGivesThePortableBytes) {
  std::mt19937 rng(3);
  const std::tuple<int32_t, int32_t, int32_t, int32_t> cases[] = {
      {1, 1, 7, 5},    {1, 9, 3, 4},    {9, 1, 4, 3},       {2, 2, 1, 1},      {33, 17, 7, 5},
      {7, 5, 33, 17},  {31, 29, 31, 3}, {64, 3, 17, 3},     {97, 61, 30, 150}, {300, 7, 2, 3},
      {2000, 3, 3, 2}, {17, 300, 5, 2}, {401, 299, 131, 97}};
  for (auto [sw, sh, dw, dh] : cases) {
    const int32_t srcStride = sw * 3 + 7, dstStride = dw * 3 + 5;
    std::vector<uint8_t> src(size_t(srcStride) * sh);
    for (uint8_t& b : src) b = uint8_t(rng());
    std::vector<uint8_t> expected;
    for (SimdLevel level : SupportedLevels()) {
      ForcedLevel forced(level);
      std::vector<uint8_t> dst(size_t(dstStride) * dh, 0xA5);
      ResampleJob job(2.2f, dw, dh, sw, sh, dst.data(), dstStride, src.data(), srcStride);
      job.Resample();
      if (level == SimdLevel::Portable) {
        expected = dst;
        continue;
      }
      ASSERT_EQ(dst, expected) << SimdLevelName(level) << " " << sw << "x" << sh << " -> " << dw
                               << "x" << dh;
    }
  }
}

// The source's last row ends where an unreadable page begins, so a level that
// reads past a row's last pixel crashes: reductions and enlargements, odd and
// even widths, through every path the levels take.
TEST(ResampleSimd, NoLevelReadsPastTheSource) {
  std::mt19937 rng(5);
  const std::tuple<int32_t, int32_t, int32_t, int32_t> cases[] = {
      {97, 3, 13, 2}, {640, 2, 5, 1}, {7, 3, 33, 5}, {401, 2, 131, 3},
      {61, 2, 41, 2}, {2, 2, 5, 3},   {33, 2, 16, 2}, {6000, 2, 900, 1}};
  for (auto [sw, sh, dw, dh] : cases) {
    enginetest::GuardedBytes src(size_t(sw) * 3 * size_t(sh));
    if (!src.Data()) GTEST_SKIP() << "no unreadable pages on this system";
    for (size_t i = 0; i < size_t(sw) * 3 * size_t(sh); ++i) src.Data()[i] = uint8_t(rng());
    std::vector<uint8_t> expected;
    for (SimdLevel level : SupportedLevels()) {
      ForcedLevel forced(level);
      std::vector<uint8_t> dst(size_t(dw) * 3 * size_t(dh));
      ResampleJob(2.2f, dw, dh, sw, sh, dst.data(), dw * 3, src.Data(), sw * 3).Resample();
      if (expected.empty()) expected = dst;
      ASSERT_EQ(dst, expected) << SimdLevelName(level) << " " << sw << " -> " << dw;
    }
  }
}

TEST(GammaTables, SharedTablesAreBuiltOncePerGamma) {
  const auto a = SharedGammaTables(2.2f);
  EXPECT_EQ(SharedGammaTables(2.2f), a);
  const auto b = SharedGammaTables(1.8f);
  EXPECT_NE(b, a);
  const auto toLinear = BuildToLinearTable(1.8f);
  const auto fromLinear = BuildFromLinearTable(1.8f);
  EXPECT_EQ(0, std::memcmp(b->toLinear.entries, toLinear->entries, sizeof toLinear->entries));
  EXPECT_EQ(0, std::memcmp(b->fromLinear.entries, fromLinear->entries, sizeof fromLinear->entries));
  // A job gets its own copy: changing it leaves the shared tables alone.
  uint8_t px[3] = {};
  ResampleJob job(2.2f, 1, 1, 2, 1, px, 3, px, 3);
  job.toLinear->entries[7] = 1;
  EXPECT_NE(SharedGammaTables(2.2f)->toLinear.entries[7], 1);
}

}  // namespace
}  // namespace engine
