#include "document/BuiltInDesigns.h"

#include <gtest/gtest.h>

#include "engine/card/RegionLimits.h"
#include "imagefiles/ImageFiles.h"

namespace {

TEST(BuiltInDesigns, EachLoadsAndIsWellWithinTheRegionLimits) {
  const imagefiles::ImageFiles reader;
  ASSERT_GE(document::BuiltInDesignCount(), 3);
  for (int i = 0; i < document::BuiltInDesignCount(); ++i) {
    engine::Raster map, overlay;
    ASSERT_TRUE(document::LoadBuiltInDesign(i, reader, &map, &overlay)) << i;
    EXPECT_STRNE(document::BuiltInDesignAt(i)->name, "") << i;
    engine::RegionCost cost;
    EXPECT_EQ(engine::CheckRegionCost(map.width, map.height, map.pixels.get(), &cost),
              engine::RegionVerdict::Ok)
        << i;
    EXPECT_LE(cost.boxPixels, cost.cardPixels * 2) << i;
  }
  EXPECT_EQ(document::BuiltInDesignAt(document::BuiltInDesignCount()), nullptr);
  EXPECT_EQ(document::NextBuiltInDesign(document::BuiltInDesignCount() - 1), 0);
  EXPECT_EQ(document::NextBuiltInDesign(-1), 0);
}

}  // namespace
