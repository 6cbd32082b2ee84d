// What a card design may ask of every render: how many regions, and how
// much their boxes may cover. A small file must not make every drawing of
// the card cost regions x card pixels.

#include <gtest/gtest.h>

#include <ctime>
#include <string>
#include <vector>

#include "LayoutTestFiles.h"
#include "engine/card/RegionLimits.h"
#include "imagefiles/DecodeImage.h"
#include "imagefiles/ImageFiles.h"
#include "imagefiles/LayoutFile.h"

namespace {

using layouttest::Bytes;

// Region i's colour: each channel apart in its five high bits, so up to
// 32 x 32 x 32 regions.
void Paint(Bytes& map, uint32_t width, uint32_t x, uint32_t y, uint32_t i) {
  uint8_t* p = &map[(size_t(y) * width + x) * 4];
  p[0] = uint8_t((i % 32) * 8);
  p[1] = uint8_t((i / 32 % 32) * 8);
  p[2] = uint8_t((i / 1024) * 8);
  p[3] = 255;
}

// `count` regions of two pixels each near opposite corners, so that every
// region's box spans nearly the whole map.
Bytes SpanningMap(uint32_t width, uint32_t height, uint32_t count) {
  Bytes map(size_t(width) * height * 4, 0);
  for (uint32_t i = 0; i < count; ++i) {
    const uint32_t x = i % (width / 4), y = i / (width / 4);
    Paint(map, width, x, y, i);
    Paint(map, width, width - 1 - x, height - 1 - y, i);
  }
  return map;
}

// `count` square regions side by side, each a cell of a grid.
Bytes GridMap(uint32_t width, uint32_t height, uint32_t count, uint32_t side) {
  Bytes map(size_t(width) * height * 4, 0);
  const uint32_t perRow = width / side;
  for (uint32_t i = 0; i < count; ++i) {
    for (uint32_t y = 0; y < side; ++y) {
      for (uint32_t x = 0; x < side; ++x) {
        Paint(map, width, (i % perRow) * side + x, (i / perRow) * side + y, i);
      }
    }
  }
  return map;
}

imagefiles::LayoutStatus Load(uint32_t width, uint32_t height, const Bytes& map) {
  const Bytes file =
      layouttest::SimpleLayoutFile(layouttest::EncodePng(width, height, 4, map),
                                   layouttest::OverlayPng(width, height));
  imagefiles::LayoutLayers layers;
  return imagefiles::ReadLayoutLayers(file.data(), file.size(), imagefiles::ImageFiles(),
                                      &layers);
}

TEST(RegionLimits, LayoutsThatWouldMakeEveryRenderSlowAreRefusedAtLoad) {
  using imagefiles::LayoutStatus;
  // The small files that cost half a minute and an hour a render at
  // 4000 x 4000: refused by their number of regions, whatever the size.
  for (uint32_t count : {256u, 32768u}) {
    EXPECT_EQ(Load(1000, 1000, SpanningMap(1000, 1000, count)), LayoutStatus::TooManyRegions);
    const Bytes map = SpanningMap(4000, 4000, count);
    const std::clock_t start = std::clock();
    engine::RegionCost cost;
    EXPECT_EQ(engine::CheckRegionCost(4000, 4000, map.data(), &cost),
              engine::RegionVerdict::TooManyRegions);
    EXPECT_EQ(cost.regions, count);
    EXPECT_GT(cost.boxPixels, cost.cardPixels * count / 2);
#ifndef _WIN32  // clock() is the process's CPU time only here
    EXPECT_LT(double(std::clock() - start) / CLOCKS_PER_SEC, 1.0);
#endif
    (void)start;
  }
  // Within the count, boxes spanning the card cover it 64 times over.
  EXPECT_EQ(Load(400, 300, SpanningMap(400, 300, 64)), LayoutStatus::RegionsTooLarge);
  EXPECT_EQ(Load(400, 300, SpanningMap(400, 300, 4)), LayoutStatus::Ok);
  // The most regions a card may have, side by side.
  EXPECT_EQ(Load(400, 300, GridMap(400, 300, 64, 36)), LayoutStatus::Ok);
  EXPECT_EQ(Load(400, 300, GridMap(400, 300, 65, 36)), LayoutStatus::TooManyRegions);
  EXPECT_NE(std::string(imagefiles::LayoutStatusText(LayoutStatus::TooManyRegions)).find("64"),
            std::string::npos);
}

}  // namespace
