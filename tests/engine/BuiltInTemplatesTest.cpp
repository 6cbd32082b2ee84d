#include <gtest/gtest.h>

#include <vector>

#include "engine/card/CardTemplate.h"
#include "imagefiles/ImageFiles.h"
#include "resources/BuiltInImages.h"

namespace {

struct Expected {
  uint32_t key;
  int l, t, r, b;
};

void ExpectSlots(const engine::Card& card, const std::vector<Expected>& expected) {
  ASSERT_EQ(card.cardTemplate.width, 900u);
  ASSERT_EQ(card.cardTemplate.height, 600u);
  size_t visible = 0;
  for (const auto& s : card.slots) visible += s.Hidden() ? 0 : 1;
  ASSERT_EQ(visible, expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    const engine::PhotoSlot& s = card.slots[i];
    EXPECT_EQ(s.keyColour, expected[i].key) << "slot " << i;
    EXPECT_EQ(s.left, expected[i].l) << "slot " << i;
    EXPECT_EQ(s.top, expected[i].t) << "slot " << i;
    EXPECT_EQ(s.right, expected[i].r) << "slot " << i;
    EXPECT_EQ(s.bottom, expected[i].b) << "slot " << i;
  }
}

const std::vector<Expected> kTemplate0 = {{0x0000F8, 458, 12, 888, 292},
                                          {0x00F800, 12, 12, 442, 292},
                                          {0xF80000, 12, 308, 442, 588},
                                          {0xF800F8, 458, 308, 888, 588},
                                          {0xF8F800, 322, 172, 578, 428}};
const std::vector<Expected> kTemplate1 = {{0x0000F8, 11, 10, 494, 290},
                                          {0x00F800, 498, 9, 890, 299},
                                          {0xF80000, 10, 295, 421, 593},
                                          {0xF800F8, 426, 299, 891, 593}};
const std::vector<Expected> kTemplate2 = {{0x20C0D8, 241, 301, 647, 595},
                                          {0x5000C0, 67, 38, 459, 564},
                                          {0xD8C020, 429, 44, 810, 555}};

TEST(BuiltInTemplates, CycleThroughTheThreeDesignsWithPhotosStayingBySlot) {
  imagefiles::ImageFiles reader;
  engine::Card card;
  int installs = 0;
  card.onTemplateInstalled = [&] { ++installs; };
  card.cardTemplate.builtInTemplateIndex = 0;
  engine::LoadBuiltInTemplate(card, 201, 202, reader);
  ExpectSlots(card, kTemplate0);
  for (size_t i = 0; i < 5; ++i) {
    card.slots[i].photoWidth = card.slots[i].photoHeight = 1;
    card.slots[i].photoPixels.reset(new uint8_t[3]{uint8_t(i), 0, 0});
  }

  engine::NextBuiltInTemplate(card, reader);
  ExpectSlots(card, kTemplate1);
  EXPECT_TRUE(card.slots[4].Hidden());
  EXPECT_TRUE(engine::AllSlotsFilled(card.slots));

  engine::NextBuiltInTemplate(card, reader);
  ExpectSlots(card, kTemplate2);  // the right region's two shades make one slot
  EXPECT_TRUE(card.slots[3].Hidden());

  engine::NextBuiltInTemplate(card, reader);
  ExpectSlots(card, kTemplate0);
  for (size_t i = 0; i < 5; ++i) EXPECT_EQ(card.slots[i].photoPixels[0], i);
  EXPECT_EQ(installs, 4);
  EXPECT_EQ(card.cardTemplate.builtInTemplateIndex, 0);
}

TEST(BuiltInTemplates, APairOfDifferentSizesLeavesTheTemplate) {
  imagefiles::ImageFiles reader;
  engine::Card card;
  engine::LoadBuiltInTemplate(card, 201, 202, reader);
  engine::LoadBuiltInTemplate(card, 203, 207, reader);  // 900 x 600 map, 157 x 157 "overlay"
  ExpectSlots(card, kTemplate0);
  engine::LoadBuiltInTemplate(card, 207, 207, reader);  // the RGB tile decodes with alpha too
  EXPECT_EQ(card.cardTemplate.width, 157u);
}

}  // namespace

namespace {

TEST(BuiltInTemplates, SelectingByIndexInstallsThatDesignAndRecordsIt) {
  imagefiles::ImageFiles reader;
  engine::Card card;
  ASSERT_TRUE(engine::SelectBuiltInTemplate(card, 2, reader));
  ExpectSlots(card, kTemplate2);
  EXPECT_EQ(card.cardTemplate.builtInTemplateIndex, 2);
  for (int outside : {-1, resources::kBuiltInTemplateCount}) {
    EXPECT_FALSE(engine::SelectBuiltInTemplate(card, outside, reader));
    EXPECT_EQ(card.cardTemplate.builtInTemplateIndex, 2);
    ExpectSlots(card, kTemplate2);
  }
  engine::NextBuiltInTemplate(card, reader);  // 2 wraps to 0
  ExpectSlots(card, kTemplate0);
  ASSERT_TRUE(engine::SelectBuiltInTemplate(card, 1, reader));
  ExpectSlots(card, kTemplate1);
}

}  // namespace
