#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "engine/compose/RowExpansion.h"
#include "engine/resample/ScaleNearest.h"
#include "engine/resample/SimdLevel.h"

namespace engine {
namespace {

// Every source width against many output widths, on every instruction-set
// level here: the shuffled blocks give exactly the pixels the columns name,
// write exactly width x 3 bytes, and a plan exists for every enlargement by
// 1.3 or more.
TEST(RowExpansion, GivesThePixelsTheColumnsNameOnEveryLevel) {
  std::mt19937 rng(7);
  for (int i = 0; i < kSimdLevelCount; ++i) {
    if (!ForceSimdLevel(SimdLevel(i))) continue;
    for (int32_t src : {1, 2, 3, 5, 16, 17, 60, 429}) {
      std::vector<uint8_t> source(size_t(src) * 3 + 16);
      for (uint8_t& b : source) b = uint8_t(rng());
      for (int32_t width = src; width <= 5 * src + 40; width += 1 + width / 7) {
        SCOPED_TRACE(testing::Message()
                     << SimdLevelName(SimdLevel(i)) << " " << src << " -> " << width);
        std::vector<int32_t> column(static_cast<size_t>(width));
        NearestSourceIndices(src, width, column.data());
        RowExpansion expansion;
        const bool planned = expansion.Plan(column.data(), width);
        if (width * 10 >= src * 13) {
          ASSERT_TRUE(planned);
        }
        if (!planned) continue;
        std::vector<uint8_t> out(size_t(width) * 3 + 7, 0xEE);
        expansion.Run(source.data(), out.data());
        for (int32_t x = 0; x < width; ++x) {
          for (int c = 0; c < 3; ++c) {
            ASSERT_EQ(out[size_t(x) * 3 + c], source[size_t(column[size_t(x)]) * 3 + c]) << x;
          }
        }
        for (size_t b = size_t(width) * 3; b < out.size(); ++b) ASSERT_EQ(out[b], 0xEE);
      }
    }
  }
  ResetSimdLevel();
}

TEST(RowExpansion, RefusesColumnsThatSpreadTooFar) {
  RowExpansion expansion;
  const int32_t every7th[] = {0, 7, 14, 21, 28, 35};
  EXPECT_FALSE(expansion.Plan(every7th, 6));
  EXPECT_FALSE(expansion.Usable());
  const int32_t none[] = {0};
  EXPECT_FALSE(expansion.Plan(none, 0));
}

}  // namespace
}  // namespace engine
