#include "engine/compose/RegionOutline.h"

#include <gtest/gtest.h>

#include <vector>

#include "FakeImageReader.h"
#include "engine/raster/PixelFormat.h"
#include "engine/resample/ScaleNearest.h"

namespace {

using enginetest::RegionMapBuilder;

// The outline by its definition, pixel by pixel: the region's pixels (read
// as the nearest-neighbour scaling reads them) with a pixel outside the
// region or outside the picture within `t` along both axes.
std::vector<uint8_t> Reference(const engine::Card& card, size_t index, int32_t w, int32_t h,
                               int32_t t) {
  const engine::CardTemplate& tpl = card.cardTemplate;
  std::vector<int32_t> columns(static_cast<size_t>(w)), rows(static_cast<size_t>(h));
  engine::NearestSourceIndices(int32_t(tpl.width), w, columns.data());
  engine::NearestSourceIndices(int32_t(tpl.height), h, rows.data());
  const auto in = [&](int32_t x, int32_t y) {
    if (x < 0 || y < 0 || x >= w || y >= h) return false;
    const uint8_t* p =
        tpl.regionMap.get() + (size_t(rows[size_t(y)]) * tpl.width + size_t(columns[size_t(x)])) * 4;
    return (engine::PixelWord(p) & engine::KeyColourMask) == card.slots[index].keyColour;
  };
  std::vector<uint8_t> out(size_t(w) * size_t(h), 0);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) {
      if (!in(x, y)) continue;
      bool edge = false;
      for (int32_t dy = -t; dy <= t && !edge; ++dy)
        for (int32_t dx = -t; dx <= t && !edge; ++dx) edge = !in(x + dx, y + dy);
      out[size_t(y) * size_t(w) + size_t(x)] = edge;
    }
  return out;
}

// The pieces painted into a picture: each pixel at most once.
std::vector<uint8_t> Painted(const std::vector<geometry::Rect>& pieces, int32_t w, int32_t h) {
  std::vector<uint8_t> out(size_t(w) * size_t(h), 0);
  for (const geometry::Rect& r : pieces)
    for (int32_t y = r.top; y < r.bottom; ++y)
      for (int32_t x = r.left; x < r.right; ++x) {
        EXPECT_TRUE(x >= 0 && y >= 0 && x < w && y < h) << x << "," << y;
        if (x < 0 || y < 0 || x >= w || y >= h) continue;
        EXPECT_EQ(out[size_t(y) * size_t(w) + size_t(x)], 0) << "overlap at " << x << "," << y;
        out[size_t(y) * size_t(w) + size_t(x)] = 1;
      }
  return out;
}

}  // namespace

TEST(RegionOutline, IsTheRegionsEdgeAtEverySizeAndThickness) {
  // A ring (a region with a hole, another region inside), a region touching
  // the card's corner, and an L whose inner corner the outline must turn.
  RegionMapBuilder map(40, 30);
  map.Fill(4, 4, 24, 20, 200, 0, 0).Fill(10, 9, 16, 14, 0, 200, 0);  // ring around green
  map.Fill(30, 0, 40, 12, 0, 0, 200);                                // corner
  map.Fill(26, 16, 38, 28, 200, 200, 0).Fill(26, 16, 32, 22, 0, 0, 0, 0);  // L
  engine::Card card;
  std::vector<uint8_t> overlay(map.pixels.size(), 0);
  engine::SetTemplate(card, map.width, map.height, map.pixels.data(), overlay.data());
  ASSERT_EQ(card.slots.size(), 4u);

  struct Size {
    int32_t w, h;
  } sizes[] = {{40, 30}, {80, 60}, {57, 23}, {13, 11}};
  for (const Size& s : sizes)
    for (int32_t t : {1, 2, 4})
      for (size_t slot = 0; slot < card.slots.size(); ++slot) {
        SCOPED_TRACE(::testing::Message() << s.w << "x" << s.h << " t=" << t << " slot " << slot);
        const std::vector<geometry::Rect> pieces = engine::RegionOutline(card, slot, s.w, s.h, t);
        EXPECT_EQ(Painted(pieces, s.w, s.h), Reference(card, slot, s.w, s.h, t));
      }
  // Runs of rows are joined: a straight edge is one piece, not one per row.
  size_t corner = 0;
  while (corner < card.slots.size() && card.slots[corner].right != 40) ++corner;
  ASSERT_LT(corner, card.slots.size());
  EXPECT_LE(engine::RegionOutline(card, corner, 40, 30, 2).size(), 4u);
}

TEST(RegionOutline, NothingForHiddenSlotsPicturesOfNoSizeOrCardsWithoutAMap) {
  RegionMapBuilder map(8, 8);
  map.Fill(1, 1, 7, 7, 200, 0, 0);
  engine::Card card;
  EXPECT_TRUE(engine::RegionOutline(card, 0, 8, 8, 2).empty());  // no map, no slots
  std::vector<uint8_t> overlay(map.pixels.size(), 0);
  engine::SetTemplate(card, map.width, map.height, map.pixels.data(), overlay.data());
  EXPECT_FALSE(engine::RegionOutline(card, 0, 8, 8, 2).empty());
  EXPECT_TRUE(engine::RegionOutline(card, 1, 8, 8, 2).empty());
  EXPECT_TRUE(engine::RegionOutline(card, 0, 0, 8, 2).empty());
  EXPECT_TRUE(engine::RegionOutline(card, 0, 8, 8, 0).empty());
  card.slots[0].left = card.slots[0].top = card.slots[0].right = card.slots[0].bottom = 0;
  EXPECT_TRUE(engine::RegionOutline(card, 0, 8, 8, 2).empty());
}
