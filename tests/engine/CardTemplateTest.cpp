#include "engine/card/CardTemplate.h"

#include <gtest/gtest.h>

#include <vector>

#include "FakeImageReader.h"

namespace {

using engine::Card;
using engine::PhotoSlot;
using enginetest::RegionMapBuilder;

void Install(Card& card, const RegionMapBuilder& map) {
  std::vector<uint8_t> overlay(map.pixels.size(), 0);
  engine::SetTemplate(card, map.width, map.height, map.pixels.data(), overlay.data());
}

void GivePhoto(PhotoSlot& slot, uint8_t value) {
  engine::Raster photo = engine::Raster::Allocate(2, 2, engine::PixelFormat::Rgb24);
  std::fill_n(photo.pixels.get(), 12, value);
  slot.TakePhoto(std::move(photo));
}

struct Box {
  int l, t, r, b;
};
void ExpectBox(const PhotoSlot& s, Box b) {
  EXPECT_EQ(s.left, b.l);
  EXPECT_EQ(s.top, b.t);
  EXPECT_EQ(s.right, b.r);
  EXPECT_EQ(s.bottom, b.b);
}

TEST(ExtractSlots, OrdersByKeyBlueFirstAndBoundsEveryRegion) {
  Card card;
  RegionMapBuilder map(40, 30);
  map.Fill(20, 2, 38, 12, 255, 0, 0)       // red, key 0x0000F8
      .Fill(2, 2, 18, 12, 0, 255, 0)       // green 0x00F800
      .Fill(2, 14, 18, 28, 0, 0, 255)      // blue 0xF80000
      .Fill(10, 10, 11, 11, 0, 0, 255)     // blue again, elsewhere: one slot spanning both
      .Fill(30, 20, 31, 21, 255, 0, 255);  // a single magenta pixel
  Install(card, map);
  ASSERT_EQ(card.slots.size(), 4u);
  EXPECT_EQ(card.slots[0].keyColour, 0x0000F8u);
  ExpectBox(card.slots[0], {20, 2, 38, 12});
  EXPECT_EQ(card.slots[1].keyColour, 0x00F800u);
  ExpectBox(card.slots[1], {2, 2, 18, 12});
  EXPECT_EQ(card.slots[2].keyColour, 0xF80000u);
  ExpectBox(card.slots[2], {2, 10, 18, 28});
  EXPECT_EQ(card.slots[3].keyColour, 0xF800F8u);
  ExpectBox(card.slots[3], {30, 20, 31, 21});
  for (const auto& s : card.slots) {
    EXPECT_EQ(s.panX, 0.5f);
    EXPECT_EQ(s.panY, 0.5f);
    EXPECT_EQ(s.zoom, 1.0f);
    EXPECT_FALSE(s.HasPhoto());
  }
}

TEST(ExtractSlots, MergesLowBitsCountsPartialAlphaAndSkipsTransparent) {
  Card card;
  RegionMapBuilder map(10, 10);
  map.Fill(0, 0, 2, 2, 255, 0, 0)
      .Fill(5, 5, 6, 6, 250, 3, 4)      // same key as pure red
      .Fill(8, 8, 9, 9, 255, 0, 0, 1)   // alpha 1 still counts
      .Fill(9, 0, 10, 1, 0, 255, 0, 0)  // alpha 0 is no region, whatever its colour
      .Fill(3, 0, 4, 1, 0, 0, 0);       // opaque black is a region with key 0
  Install(card, map);
  ASSERT_EQ(card.slots.size(), 2u);
  EXPECT_EQ(card.slots[0].keyColour, 0u);
  ExpectBox(card.slots[0], {3, 0, 4, 1});
  EXPECT_EQ(card.slots[1].keyColour, 0x0000F8u);
  ExpectBox(card.slots[1], {0, 0, 9, 9});
}

TEST(ExtractSlots, PhotosStayWithIndicesWhileSlotsGrowAndHide) {
  Card card;
  RegionMapBuilder five(20, 4);
  for (int i = 0; i < 5; ++i) five.Fill(i * 4, 0, i * 4 + 3, 4, uint8_t(8 * (i + 1)), 0, 0);
  Install(card, five);
  ASSERT_EQ(card.slots.size(), 5u);
  for (int i = 0; i < 5; ++i) GivePhoto(card.slots[i], uint8_t(i));
  card.slots[4].panX = 0.25f;
  card.slots[4].zoom = 3.5f;
  card.slots[0].zoom = 1.25f;

  RegionMapBuilder three(9, 3);
  for (int i = 0; i < 3; ++i) three.Fill(i * 3, 0, i * 3 + 2, 3, 0, uint8_t(8 * (i + 1)), 0);
  Install(card, three);
  ASSERT_EQ(card.slots.size(), 5u);  // never shrinks
  EXPECT_FALSE(card.slots[2].Hidden());
  EXPECT_TRUE(card.slots[3].Hidden());
  EXPECT_TRUE(card.slots[4].Hidden());
  EXPECT_EQ(card.slots[0].keyColour, 0x000800u);
  for (int i = 0; i < 5; ++i) {
    ASSERT_TRUE(card.slots[i].HasPhoto());
    EXPECT_EQ(card.slots[i].photoPixels[0], i);
  }
  EXPECT_TRUE(engine::AllSlotsFilled(card.slots));
  EXPECT_EQ(engine::CountEmptyRegions(card.slots), 0u);
  EXPECT_EQ(card.slots[0].zoom, 1.25f);

  RegionMapBuilder six(24, 4);
  for (int i = 0; i < 6; ++i) six.Fill(i * 4, 0, i * 4 + 3, 4, 0, 0, uint8_t(8 * (i + 1)));
  Install(card, six);
  ASSERT_EQ(card.slots.size(), 6u);
  EXPECT_EQ(card.slots[4].panX, 0.25f);  // hidden slots keep their pan and zoom too
  EXPECT_EQ(card.slots[4].zoom, 3.5f);
  ExpectBox(card.slots[4], {16, 0, 19, 4});
  EXPECT_EQ(card.slots[5].panX, 0.5f);
  EXPECT_EQ(card.slots[5].zoom, 1.0f);
  EXPECT_FALSE(card.slots[5].HasPhoto());
  EXPECT_FALSE(engine::AllSlotsFilled(card.slots));
  EXPECT_EQ(engine::CountEmptyRegions(card.slots), 1u);
}

TEST(AllSlotsFilled, IgnoresHiddenSlotsAndHoldsForNoSlots) {
  engine::SlotList slots;
  EXPECT_TRUE(engine::AllSlotsFilled(slots));
  slots.emplace_back();  // hidden and empty
  EXPECT_TRUE(engine::AllSlotsFilled(slots));
  EXPECT_EQ(engine::CountEmptyRegions(slots), 0u);
  slots.resize(4);
  for (size_t i = 1; i < 4; ++i) slots[i].right = slots[i].bottom = 5;
  EXPECT_FALSE(engine::AllSlotsFilled(slots));
  EXPECT_EQ(engine::CountEmptyRegions(slots), 3u);
  GivePhoto(slots[1], 1);
  EXPECT_EQ(engine::CountEmptyRegions(slots), 2u);
  GivePhoto(slots[2], 1);
  GivePhoto(slots[3], 1);
  EXPECT_TRUE(engine::AllSlotsFilled(slots));
}

TEST(ExtractSlots, NoOpaquePixelHidesEverySlot) {
  Card card;
  RegionMapBuilder one(4, 4);
  one.Fill(0, 0, 2, 2, 255, 0, 0);
  Install(card, one);
  Install(card, RegionMapBuilder(4, 4));
  ASSERT_EQ(card.slots.size(), 1u);
  EXPECT_TRUE(card.slots[0].Hidden());
  EXPECT_TRUE(engine::AllSlotsFilled(card.slots));
}

TEST(SetTemplate, CopiesPixelsAndMakesTheSlots) {
  Card card;
  RegionMapBuilder map(3, 2);
  map.Fill(1, 0, 2, 1, 9, 9, 9);
  std::vector<uint8_t> overlay(map.pixels.size(), 7);
  engine::SetTemplate(card, 3, 2, map.pixels.data(), overlay.data());
  EXPECT_EQ(card.slots.size(), 1u);
  EXPECT_EQ(card.cardTemplate.width, 3u);
  EXPECT_EQ(card.cardTemplate.height, 2u);
  map.pixels[0] = 42;  // the caller's arrays are copied, not adopted
  EXPECT_EQ(card.cardTemplate.regionMap[0], 0);
  EXPECT_EQ(card.cardTemplate.overlay[23], 7);
}

}  // namespace
