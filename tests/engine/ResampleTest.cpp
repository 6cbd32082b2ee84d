#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <random>
#include <tuple>
#include <utility>
#include <vector>

#include "engine/resample/ResampleJob.h"
#include "engine/resample/SimdLevel.h"

namespace engine {
namespace {

// A straightforward evaluation of the resampling formulas, one destination
// position at a time, with its own weights: the taps of a position are the
// source positions it reads and their weights.
struct Taps {
  std::vector<int32_t> positions;
  std::vector<uint64_t> weights;
  uint64_t total = 0;  // nonzero for a long box average
};

enum class Mode { Replicate, Copy, Interpolate, Box };

Mode ModeFor(int32_t src, int32_t dst) {
  if (src == 1) return Mode::Replicate;
  if (src == dst) return Mode::Copy;
  return dst > src ? Mode::Interpolate : Mode::Box;
}

Taps TapsFor(int32_t src, int32_t dst, int32_t i) {
  Taps t;
  switch (ModeFor(src, dst)) {
    case Mode::Replicate:
      t.positions = {0};
      t.weights = {256};
      break;
    case Mode::Copy:
      t.positions = {i};
      t.weights = {256};
      break;
    case Mode::Interpolate: {
      double x = (i + 0.5) * src / dst - 0.5;
      x = x < 0 ? 0 : (x >= src - 1 ? src - 1.0001 : x);
      const int32_t c = int32_t(x);
      const uint64_t w = uint64_t((x - c) * 256 + 0.5);
      t.positions = {c, c + 1};
      t.weights = {256 - w, w};
      break;
    }
    case Mode::Box: {
      const double x0 = double(uint64_t(i) * uint64_t(src)) / dst;
      double x1 = double(uint64_t(i + 1) * uint64_t(src)) / dst;
      if (x1 >= src) x1 = src - 0.0001;
      const int32_t s0 = int32_t(x0), s1 = int32_t(x1);
      if (s1 - s0 > 1) {
        const uint64_t first = uint64_t((s0 + 1 - x0) * 256 + 0.5);
        const uint64_t last = uint64_t((x1 - s1) * 256 + 0.5);
        t.positions.push_back(s0);
        t.weights.push_back(first);
        for (int32_t s = s0 + 1; s < s1; ++s) {
          t.positions.push_back(s);
          t.weights.push_back(256);
        }
        t.positions.push_back(s1);
        t.weights.push_back(last);
        t.total = first + last + 256 * uint64_t(s1 - s0 - 1);
      } else {
        const uint64_t w = uint64_t((s1 - x0) / (x1 - x0) * 256 + 0.5);
        t.positions = {s0, s0 + 1};
        t.weights = {w, 256 - w};
      }
      break;
    }
  }
  return t;
}

struct Image {
  int32_t width = 0, height = 0;
  std::vector<uint8_t> bytes;  // packed rows
  uint8_t* At(int32_t x, int32_t y) { return &bytes[(size_t(y) * width + x) * 3]; }
};

Image RandomImage(int32_t width, int32_t height, std::mt19937& rng) {
  Image image{width, height, std::vector<uint8_t>(size_t(width) * height * 3)};
  for (uint8_t& b : image.bytes) b = uint8_t(rng());
  return image;
}

Image ReferenceResample(const Image& src, int32_t dstWidth, int32_t dstHeight,
                        const ToLinearTable& toLinear, const FromLinearTable& fromLinear) {
  Image dst{dstWidth, dstHeight, std::vector<uint8_t>(size_t(dstWidth) * dstHeight * 3)};
  const bool filtered = ModeFor(src.width, dstWidth) >= Mode::Interpolate ||
                        ModeFor(src.height, dstHeight) >= Mode::Interpolate;
  for (int32_t y = 0; y < dstHeight; ++y) {
    const Taps ty = TapsFor(src.height, dstHeight, y);
    for (int32_t x = 0; x < dstWidth; ++x) {
      const Taps tx = TapsFor(src.width, dstWidth, x);
      for (int c = 0; c < 3; ++c) {
        if (!filtered) {
          dst.At(x, y)[c] =
              src.bytes[(size_t(ty.positions[0]) * src.width + tx.positions[0]) * 3 + c];
          continue;
        }
        uint64_t vertical = 0;
        for (size_t j = 0; j < ty.positions.size(); ++j) {
          uint64_t horizontal = 0;
          for (size_t k = 0; k < tx.positions.size(); ++k) {
            const uint8_t v =
                src.bytes[(size_t(ty.positions[j]) * src.width + tx.positions[k]) * 3 + c];
            horizontal += uint64_t(toLinear.entries[v]) * tx.weights[k];
          }
          if (tx.total != 0) horizontal = (horizontal * 256 + tx.total / 2) / tx.total;
          vertical += horizontal * ty.weights[j];
        }
        vertical = ty.total != 0 ? vertical / (ty.total * 256) : vertical / 65536;
        dst.At(x, y)[c] = fromLinear.entries[vertical];
      }
    }
  }
  return dst;
}

// A rectangle inside a larger buffer, with a margin all round.
struct Framed {
  static constexpr int32_t kMargin = 2;
  int32_t width, height, stride;
  std::vector<uint8_t> buffer;
  Framed(int32_t w, int32_t h, uint8_t fill)
      : width(w),
        height(h),
        stride((w + 2 * kMargin) * 3 + 1),
        buffer(size_t(stride) * (h + 2 * kMargin), fill) {}
  uint8_t* Origin() { return buffer.data() + kMargin * stride + kMargin * 3; }
  bool Inside(size_t offset) const {
    const int32_t row = int32_t(offset / stride) - kMargin;
    const int32_t col = int32_t(offset % stride) - kMargin * 3;
    return row >= 0 && row < height && col >= 0 && col < width * 3;
  }
};

const std::pair<int32_t, int32_t> kAxisCases[] = {{1, 1}, {1, 4}, {5, 5}, {2, 4},  {3, 7}, {5, 13},
                                                  {4, 2}, {3, 2}, {7, 3}, {13, 5}, {10, 1}};

// Gamma tables that make every rounding step visible: random linear values
// over the whole range, and a way back in which neighbouring indices always
// give different bytes.
void UseRevealingTables(ResampleJob& job, std::mt19937& rng) {
  for (uint16_t& v : job.toLinear->entries) v = uint16_t(rng());
  job.toLinear->entries[0] = 0;
  job.toLinear->entries[255] = 65535;
  for (size_t k = 0; k < FromLinearTable::kSize; ++k) {
    job.fromLinear->entries[k] = uint8_t(k ^ (k >> 8));
  }
}

// Every level of vector loops the processor supports, the forced one reset
// when the test ends.
std::vector<SimdLevel> LevelsToRun() {
  std::vector<SimdLevel> levels;
  for (int i = 0; i < kSimdLevelCount; ++i) {
    if (SimdLevelSupported(SimdLevel(i))) levels.push_back(SimdLevel(i));
  }
  return levels;
}

struct LevelReset {
  ~LevelReset() { ResetSimdLevel(); }
};

TEST(ResampleTest, EveryModePairMatchesAStraightforwardEvaluation) {
  std::mt19937 rng(7);
  LevelReset reset;
  for (SimdLevel level : LevelsToRun()) {
    ASSERT_TRUE(ForceSimdLevel(level));
    SCOPED_TRACE(SimdLevelName(level));
    for (bool revealing : {false, true}) {
      for (auto [srcW, dstW] : kAxisCases) {
        for (auto [srcH, dstH] : kAxisCases) {
          SCOPED_TRACE(testing::Message() << srcW << "x" << srcH << " -> " << dstW << "x" << dstH
                                          << (revealing ? " revealing" : " gamma 2.2"));
          // The source sits in a larger buffer full of other pixels, the
          // destination in one full of guard bytes.
          Framed src(srcW, srcH, 0);
          for (uint8_t& b : src.buffer) b = uint8_t(rng());
          Image packed{srcW, srcH, {}};
          for (int32_t y = 0; y < srcH; ++y) {
            const uint8_t* row = src.Origin() + size_t(y) * src.stride;
            packed.bytes.insert(packed.bytes.end(), row, row + srcW * 3);
          }
          Framed dst(dstW, dstH, 0xAB);
          ResampleJob job(2.2f, dstW, dstH, srcW, srcH, dst.Origin(), dst.stride, src.Origin(),
                          src.stride);
          if (revealing) UseRevealingTables(job, rng);
          job.Resample();
          const Image expected =
              ReferenceResample(packed, dstW, dstH, *job.toLinear, *job.fromLinear);
          for (size_t i = 0; i < dst.buffer.size(); ++i) {
            if (dst.Inside(i)) continue;
            ASSERT_EQ(dst.buffer[i], 0xAB) << "written outside the rectangle at " << i;
          }
          for (int32_t y = 0; y < dstH; ++y) {
            ASSERT_EQ(0, std::memcmp(dst.Origin() + size_t(y) * dst.stride,
                                     &expected.bytes[size_t(y) * dstW * 3], size_t(dstW) * 3))
                << "row " << y;
          }
        }
      }
    }
  }
}

TEST(ResampleTest, LargerImagesMatchTheEvaluation) {
  std::mt19937 rng(11);
  LevelReset reset;
  for (SimdLevel level : LevelsToRun()) {
    ASSERT_TRUE(ForceSimdLevel(level));
    for (auto [w, h, dw, dh] : {std::tuple{97, 61, 30, 150},
                                {40, 40, 67, 67},
                                {300, 7, 43, 3},
                                {2000, 3, 3, 2},
                                {1001, 5, 7, 3},
                                {3, 700, 2, 4},
                                // Totals at and just past the largest the
                                // row loops sum in 32 bits.
                                {1280, 3, 10, 2},
                                {1291, 4, 10, 3}}) {
      const Image src = RandomImage(w, h, rng);
      std::vector<uint8_t> out(size_t(dw) * dh * 3);
      ResampleJob job(2.2f, dw, dh, w, h, out.data(), dw * 3, src.bytes.data(), w * 3);
      UseRevealingTables(job, rng);
      job.Resample();
      EXPECT_EQ(out, ReferenceResample(src, dw, dh, *job.toLinear, *job.fromLinear).bytes)
          << w << "x" << h << " -> " << dw << "x" << dh << " " << SimdLevelName(level);
    }
  }
}

TEST(ResampleTest, UnfilteredJobsCopyExactly) {
  std::mt19937 rng(3);
  const Image src = RandomImage(6, 4, rng);
  std::vector<uint8_t> out(src.bytes.size());
  ResampleJob(2.2f, 6, 4, 6, 4, out.data(), 18, src.bytes.data(), 18).Resample();
  EXPECT_EQ(out, src.bytes);

  // A one-pixel-wide source of equal height repeats each row's pixel.
  const uint8_t column[] = {1, 2, 3, 250, 251, 252};
  std::vector<uint8_t> wide(5 * 2 * 3);
  ResampleJob(2.2f, 5, 2, 1, 2, wide.data(), 15, column, 3).Resample();
  for (int x = 0; x < 5; ++x) {
    EXPECT_EQ(0, std::memcmp(&wide[size_t(x) * 3], column, 3));
    EXPECT_EQ(0, std::memcmp(&wide[15 + size_t(x) * 3], column + 3, 3));
  }
}

TEST(ResampleTest, AveragesInLinearLight) {
  const uint8_t blackWhite[] = {0, 0, 0, 255, 255, 255};
  uint8_t out[3] = {};
  ResampleJob(2.2f, 1, 1, 2, 1, out, 3, blackWhite, 6).Resample();
  EXPECT_EQ(out[0], 186);
  EXPECT_EQ(out[1], 186);
  EXPECT_EQ(out[2], 186);
}

TEST(ResampleTest, ValueOneBecomesZeroWheneverThePipelineRuns) {
  const std::vector<uint8_t> ones(4 * 3 * 3, 1);
  std::vector<uint8_t> out(4 * 6 * 3, 99);
  ResampleJob(2.2f, 4, 6, 4, 3, out.data(), 12, ones.data(), 12).Resample();  // Copy x Interpolate
  EXPECT_EQ(out, std::vector<uint8_t>(out.size(), 0));
}

TEST(ResampleTest, EnlargingKeepsTheEdgePixels) {
  std::mt19937 rng(5);
  const Image src = RandomImage(3, 4, rng);
  std::vector<uint8_t> out(9 * 11 * 3);
  ResampleJob job(2.2f, 9, 11, 3, 4, out.data(), 27, src.bytes.data(), 9);
  job.Resample();
  auto roundTrip = [&](uint8_t v) { return job.fromLinear->entries[job.toLinear->entries[v]]; };
  const std::pair<int, int> corners[] = {{0, 0}, {8, 0}, {0, 10}, {8, 10}};
  const std::pair<int, int> sources[] = {{0, 0}, {2, 0}, {0, 3}, {2, 3}};
  for (int k = 0; k < 4; ++k) {
    for (int c = 0; c < 3; ++c) {
      const uint8_t v = src.bytes[(size_t(sources[k].second) * 3 + sources[k].first) * 3 + c];
      EXPECT_EQ(out[(size_t(corners[k].second) * 9 + corners[k].first) * 3 + c], roundTrip(v));
    }
  }
}

TEST(ResampleTest, EmptyDestinationIsLeftUntouched) {
  const std::vector<uint8_t> src(4 * 4 * 3, 77);
  std::vector<uint8_t> out(64, 0xCD);
  ResampleJob(2.2f, 0, 3, 4, 4, out.data(), 12, src.data(), 12).Resample();
  ResampleJob(2.2f, 3, 0, 4, 4, out.data(), 12, src.data(), 12).Resample();
  ResampleJob(0, 3, 4, 4, out.data(), 12, src.data(), 12).ScaleNearest();
  EXPECT_EQ(out, std::vector<uint8_t>(64, 0xCD));
}

TEST(ResampleTest, EmptySourceIsNeverReadAndGivesBlack) {
  // A zero-byte allocation: any read of it trips the address sanitizer.
  const std::unique_ptr<uint8_t[]> nothing(new uint8_t[0]);
  for (auto [w, h] : {std::pair{0, 5}, {5, 0}, {0, 0}, {-1, 3}}) {
    std::vector<uint8_t> out(4 * 3 * 3, 0xCD);
    ResampleJob job(2.2f, 4, 3, w, h, out.data(), 12, nothing.get(), 0);
    job.Resample();
    EXPECT_EQ(out, std::vector<uint8_t>(out.size(), 0)) << w << "x" << h;
    std::fill(out.begin(), out.end(), 0xCD);
    job.ScaleNearest();
    EXPECT_EQ(out, std::vector<uint8_t>(out.size(), 0)) << w << "x" << h;
  }
}

TEST(ResampleTest, GeometryJobAndReleasedTablesFallBackToNearest) {
  const uint8_t src[] = {10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120};
  uint8_t resampled[3 * 3] = {}, nearest[3 * 3] = {};
  ResampleJob(3, 1, 4, 1, resampled, 9, src, 12).Resample();
  ResampleJob(3, 1, 4, 1, nearest, 9, src, 12).ScaleNearest();
  EXPECT_EQ(0, std::memcmp(resampled, nearest, sizeof nearest));

  ResampleJob job(2.2f, 3, 1, 4, 1, resampled, 9, src, 12);
  job.ReleaseTables();
  EXPECT_EQ(job.toLinear, nullptr);
  EXPECT_EQ(job.fromLinear, nullptr);
  job.Resample();
  EXPECT_EQ(0, std::memcmp(resampled, nearest, sizeof nearest));
}

}  // namespace
}  // namespace engine
