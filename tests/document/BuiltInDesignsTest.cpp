#include "document/BuiltInDesigns.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "document/DesignSizes.h"
#include "document/DesignTextPlace.h"
#include "engine/card/RegionLimits.h"
#include "text/DrawTexts.h"
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

// Each design's greeting goes inside its safe area, 1/8 in from every edge,
// in a family that ships with the program; a card on no built-in design gets
// the plain centred place.
TEST(BuiltInDesigns, EachHasAGreetingPlaceInsideItsSafeArea) {
  const std::vector<std::string> families = text::FontFamilies();
  for (int i = 0; i < document::BuiltInDesignCount(); ++i) {
    document::CardState state;
    state.design.builtInIndex = i;
    const text::TextBox place = document::DesignTextPlace(state);
    const document::DesignInfo info = document::DescribeBuiltInDesign(i);
    const document::DesignSize& size = info.SizeFor(document::SizeUse::Screen);
    const double marginX = 0.125 / size.WidthInches(), marginY = 0.125 / size.HeightInches();
    const char* name = info.name.c_str();
    EXPECT_GE(place.left, marginX) << name;
    EXPECT_GE(place.top, marginY) << name;
    EXPECT_LE(place.left + place.width, 1 - marginX) << name;
    EXPECT_LE(place.top + place.height, 1 - marginY) << name;
    // The box holds at least one line of its type.
    EXPECT_GE(place.height * size.HeightInches(), place.sizePoints / 72.0) << name;
    EXPECT_NE(std::find(families.begin(), families.begin() + 3, place.font),
              families.begin() + 3)
        << name;
    EXPECT_TRUE(place.words.empty());
  }
  document::CardState custom;
  custom.design.builtInIndex = -1;
  const text::TextBox plain = document::DesignTextPlace(custom);
  EXPECT_EQ(plain.align, text::TextAlign::Centre);
  EXPECT_GT(plain.top, 0.5);
}

}  // namespace
