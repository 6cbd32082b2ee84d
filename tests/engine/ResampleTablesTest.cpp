#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <utility>
#include <vector>

#include "engine/resample/BoxTable.h"
#include "engine/resample/GammaTables.h"
#include "engine/resample/InterpolationTable.h"

namespace engine {
namespace {

using Values = std::vector<uint64_t>;

TEST(InterpolationTableTest, SmallEnlargementsHoldTheExpectedWeights) {
  EXPECT_EQ(InterpolationTable::Build(2, 4)->Values(), (Values{4, 0, 64, 192, 256, 0}));
  // A zero-length destination is only the terminator.
  EXPECT_EQ(InterpolationTable::Build(5, 0)->Values(), (Values{0}));
}

TEST(InterpolationTableTest, EveryNeighbourPairGetsAGroupAndTheEdgesAreExact) {
  for (auto [src, dst] : {std::pair{300, 430}, {2, 1000}, {899, 900}, {3, 4000}}) {
    const auto table = InterpolationTable::Build(src, dst);
    ASSERT_TRUE(table->Fits(src, dst)) << src << "->" << dst;
    EXPECT_FALSE(table->Fits(src - 1, dst));  // it needs every source position
    EXPECT_FALSE(table->Fits(src, dst + 1));
    const Values& v = table->Values();
    size_t groups = 0, written = 0, i = 0;
    for (uint64_t n = v[i++]; n != 0; n = v[i++]) {
      ++groups;
      written += n;
      for (uint64_t k = 1; k < n; ++k) EXPECT_LE(v[i + k - 1], v[i + k]);
      i += n;
    }
    EXPECT_EQ(i, v.size());
    EXPECT_EQ(groups, size_t(src - 1));
    EXPECT_EQ(written, size_t(dst));
    EXPECT_EQ(v[1], 0u);               // first destination pixel: source 0 exactly
    EXPECT_EQ(v[v.size() - 2], 256u);  // last one: the last source pixel exactly
  }
}

TEST(BoxTableTest, SmallReductionsHoldTheExpectedEntries) {
  EXPECT_EQ(BoxTable::Build(4, 2)->Values(), (Values{1, 256, 0, 512, 0, 128}));
  EXPECT_EQ(BoxTable::Build(3, 2)->Values(), (Values{0, 171, 0, 85}));
  EXPECT_TRUE(BoxTable::Build(7, 0)->Values().empty());
}

// Walks the entries; returns the number of source positions they read.
uint64_t CheckBoxEntries(const Values& v, int32_t src, int32_t dst) {
  const double span = 256.0 * src / dst;
  uint64_t reads = 1;
  size_t entries = 0;
  for (size_t i = 0; i < v.size(); ++entries) {
    if (v[i] == 0) {
      EXPECT_LE(v[i + 1], 256u);
      reads += 1;
      i += 2;
    } else {
      const uint64_t n = v[i], total = v[i + 3];
      EXPECT_EQ(total, v[i + 1] + v[i + 2] + 256 * n);
      EXPECT_NEAR(double(total), span, 1.0) << "entry " << entries;
      reads += n + 1;
      i += 4;
    }
  }
  EXPECT_EQ(entries, size_t(dst));
  return reads;
}

TEST(BoxTableTest, LargeReductionsCoverTheSourceExactlyOnce) {
  for (auto [src, dst] : {std::pair{4000, 430}, {4000, 900}, {900, 600}, {3000, 1}, {13, 5}}) {
    const auto table = BoxTable::Build(src, dst);
    ASSERT_TRUE(table->Fits(src, dst)) << src << "->" << dst;
    EXPECT_FALSE(table->Fits(src - 1, dst));
    EXPECT_EQ(CheckBoxEntries(table->Values(), src, dst), uint64_t(src));
  }
}

TEST(BoxTableTest, ProductsBeyondThirtyTwoBitsStayCorrect) {
  // i * src passes 2^32 here; a wrapped product would produce entries that
  // claim billions of source positions.
  const auto table = BoxTable::Build(70000, 65000);
  ASSERT_TRUE(table->Fits(70000, 65000));
  EXPECT_EQ(CheckBoxEntries(table->Values(), 70000, 65000), 70000u);
}

TEST(GammaTablesTest, TablesAtGamma22) {
  const auto toLinear = BuildToLinearTable(2.2f);
  const auto fromLinear = BuildFromLinearTable(2.2f);
  EXPECT_EQ(toLinear->entries[0], 0);
  EXPECT_EQ(toLinear->entries[1], 0);
  EXPECT_EQ(toLinear->entries[2], 2);
  EXPECT_EQ(toLinear->entries[128], 14386);
  EXPECT_EQ(toLinear->entries[255], 65535);
  for (int v = 0; v < 256; ++v) {
    if (v != 1) {
      EXPECT_EQ(fromLinear->entries[toLinear->entries[v]], v) << v;
    }
  }
  EXPECT_EQ(fromLinear->entries[toLinear->entries[1]], 0);
  for (size_t k = 65535; k < FromLinearTable::kSize; ++k) EXPECT_EQ(fromLinear->entries[k], 255);
  EXPECT_EQ(fromLinear->entries[32767], 186);
  // p * 255 is an exact product: 246.99999..., where a single-precision
  // product would round to 247.
  EXPECT_EQ(fromLinear->entries[60825], 246);
}

TEST(GammaTablesTest, NonsenseGammasStillBuildTables) {
  // pow gives infinities or NaN here; the conversion must stay defined.
  for (float gamma : {0.0f, -1.0f, std::nanf("")}) {
    EXPECT_NE(BuildToLinearTable(gamma), nullptr);
    EXPECT_NE(BuildFromLinearTable(gamma), nullptr);
  }
}

}  // namespace
}  // namespace engine
