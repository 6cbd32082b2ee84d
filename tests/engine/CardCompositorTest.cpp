#include "engine/compose/CardCompositor.h"

#include <gtest/gtest.h>

#include <vector>

#include "FakeImageReader.h"
#include "engine/compose/PlaceholderTile.h"

namespace {

using engine::Card;
using enginetest::RegionMapBuilder;

constexpr uint8_t kTileColour[3] = {192, 176, 160};

engine::Raster MakeTile(uint32_t w, uint32_t h) {
  engine::Raster tile = engine::Raster::Allocate(w, h, engine::PixelFormat::Rgb24);
  for (uint32_t y = 0; y < h; ++y) {
    for (uint32_t x = 0; x < w; ++x) {
      uint8_t* p = tile.Row(y) + x * 3;
      p[0] = uint8_t(x), p[1] = uint8_t(y), p[2] = 7;
    }
  }
  std::copy(kTileColour, kTileColour + 3, tile.pixels.get());
  return tile;
}

// A template whose region map and overlay are given; slots extracted.
void Install(Card& card, const RegionMapBuilder& map, const std::vector<uint8_t>& overlay) {
  engine::SetTemplate(card, map.width, map.height, map.pixels.data(), overlay.data());
}

void SolidPhoto(engine::PhotoSlot& slot, uint32_t w, uint32_t h, uint8_t v) {
  engine::Raster photo = engine::Raster::Allocate(w, h, engine::PixelFormat::Rgb24);
  std::fill_n(photo.pixels.get(), size_t(w) * h * 3, v);
  slot.TakePhoto(std::move(photo));
}

struct Image {
  int w, h, stride;
  std::vector<uint8_t> px;
  Image(int width, int height, int padding = 0)
      : w(width),
        h(height),
        stride(int(engine::CardImageStride(width)) + padding),
        px(size_t(stride) * height, 0x5A) {}
  const uint8_t* At(int x, int y) const { return &px[size_t(y) * stride + x * 3]; }
};

Image Render(const Card& card, int w, int h, bool draft, int padding = 0) {
  Image img(w, h, padding);
  engine::RenderCard(card, w, h, img.px.data(), img.stride, draft);
  return img;
}

TEST(RegionMask, PartialAlphaBlendsThePhotoTowardWhite) {
  for (uint8_t photo : {uint8_t(0), uint8_t(255)}) {
    Card card;
    RegionMapBuilder map(4, 4);
    map.Fill(0, 0, 4, 4, 255, 0, 0, 128).Fill(0, 0, 1, 1, 255, 0, 0, 255);
    Install(card, map, std::vector<uint8_t>(64, 0));
    SolidPhoto(card.slots[0], 8, 8, photo);
    for (bool draft : {true, false}) {
      Image img = Render(card, 4, 4, draft);
      EXPECT_EQ(img.At(2, 2)[0], photo == 0 ? 127 : 255);
      EXPECT_EQ(img.At(0, 0)[1], photo);
    }
  }
}

TEST(OverlayBlend, WeightsByAlphaPlusOne) {
  Card card;
  RegionMapBuilder map(3, 1);  // no regions: white paper
  std::vector<uint8_t> overlay = {0, 0, 0, 1, 10, 20, 30, 255, 0, 0, 0, 0};
  Install(card, map, overlay);
  Image img = Render(card, 3, 1, true);
  EXPECT_EQ(img.At(0, 0)[0], 253);  // (0 * 2 + 255 * 254) >> 8
  EXPECT_EQ(img.At(1, 0)[0], 10);
  EXPECT_EQ(img.At(1, 0)[2], 30);
  EXPECT_EQ(img.At(2, 0)[0], 255);
}

TEST(RegionMask, OnlyPixelsOfTheSlotsKeyWithAlphaAreDrawn) {
  Card card;
  RegionMapBuilder map(6, 2);
  map.Fill(0, 0, 6, 2, 255, 0, 0).Fill(2, 0, 3, 2, 255, 0, 0, 0).Fill(4, 0, 5, 1, 0, 255, 0);
  Install(card, map, std::vector<uint8_t>(48, 0));
  ASSERT_EQ(card.slots.size(), 2u);
  SolidPhoto(card.slots[0], 6, 2, 40);
  SolidPhoto(card.slots[1], 1, 1, 90);
  Image img = Render(card, 6, 2, true);
  EXPECT_EQ(img.At(0, 0)[0], 40);
  EXPECT_EQ(img.At(2, 0)[0], 255);  // right colour, alpha 0: white
  EXPECT_EQ(img.At(4, 0)[0], 90);   // inside slot 0's box but another region
  EXPECT_EQ(img.At(4, 1)[0], 40);
}

struct PlaceholderCase {
  int boxW, boxH, tw, th, ox, oy;
};

TEST(DrawPlaceholder, CentresTheTileAndShrinksOnlyWhenItDoesNotFit) {
  const engine::Raster tile = MakeTile(157, 157);
  for (auto c :
       {PlaceholderCase{430, 280, 157, 157, 136, 61}, PlaceholderCase{100, 300, 100, 100, 0, 100},
        PlaceholderCase{120, 90, 90, 90, 15, 0}}) {
    std::vector<uint8_t> box(size_t(c.boxW) * c.boxH * 3, 0);
    engine::DrawPlaceholder(tile, {box.data(), c.boxW, c.boxH, c.boxW * 3});
    auto at = [&](int x, int y) { return &box[(size_t(y) * c.boxW + x) * 3]; };
    for (int y = 0; y < c.boxH; ++y) {
      for (int x = 0; x < c.boxW; ++x) {
        const bool inTile = x >= c.ox && x < c.ox + c.tw && y >= c.oy && y < c.oy + c.th;
        const uint8_t* p = at(x, y);
        if (!inTile) {
          ASSERT_TRUE(p[0] == kTileColour[0] && p[1] == kTileColour[1] && p[2] == kTileColour[2])
              << c.boxW << "x" << c.boxH << " at " << x << "," << y;
        } else if (x > c.ox || y > c.oy) {
          ASSERT_EQ(p[2], 7) << c.boxW << "x" << c.boxH << " at " << x << "," << y;
        }
      }
    }
    if (c.tw == 157) {
      EXPECT_EQ(at(c.ox + 5, c.oy + 9)[0], 5);  // unscaled
    }
  }
}

TEST(RenderCard, AtTemplateSizeComposesStraightIntoTheCallersBuffer) {
  Card card;
  card.placeholderTile = std::make_shared<const engine::Raster>(MakeTile(4, 4));
  RegionMapBuilder map(10, 10);
  map.Fill(0, 0, 10, 10, 0, 0, 255);
  Install(card, map, std::vector<uint8_t>(400, 0));
  Image same = Render(card, 10, 10, false, 8);
  // The whole stride, padding included, starts white: it was the work buffer.
  EXPECT_EQ(same.px[size_t(same.stride) - 1], 0xFF);
  Image other = Render(card, 5, 5, false, 8);
  EXPECT_EQ(other.px[size_t(other.stride) - 1], 0x5A);
}

TEST(RenderCard, AFilledCardShowsNoTileColourAndUniformStaysUniform) {
  Card card;
  card.placeholderTile = std::make_shared<const engine::Raster>(MakeTile(157, 157));
  RegionMapBuilder map(90, 60);
  map.Fill(0, 0, 45, 60, 255, 0, 0).Fill(45, 0, 90, 60, 0, 255, 0);
  Install(card, map, std::vector<uint8_t>(size_t(90) * 60 * 4, 0));
  SolidPhoto(card.slots[0], 400, 300, 77);
  SolidPhoto(card.slots[1], 30, 50, 77);
  for (bool draft : {true, false}) {
    for (auto size : {std::pair{90, 60}, std::pair{45, 30}, std::pair{31, 17}}) {
      Image img = Render(card, size.first, size.second, draft);
      for (int y = 0; y < img.h; ++y) {
        for (int x = 0; x < img.w; ++x) {
          ASSERT_EQ(img.At(x, y)[0], 77) << draft << " " << x << "," << y;
          ASSERT_EQ(img.At(x, y)[2], 77);
        }
      }
    }
  }
}

TEST(RenderCard, EmptyRegionsShowTheTileAndNoTemplateIsWhitePaper) {
  Card card;
  card.placeholderTile = std::make_shared<const engine::Raster>(MakeTile(157, 157));
  Image blank = Render(card, 7, 3, true);
  EXPECT_EQ(blank.At(6, 2)[0], 255);
  RegionMapBuilder map(200, 200);
  map.Fill(0, 0, 200, 200, 255, 0, 0);
  Install(card, map, std::vector<uint8_t>(size_t(200) * 200 * 4, 0));
  Image img = Render(card, 200, 200, true);
  EXPECT_EQ(img.At(0, 0)[0], kTileColour[0]);
  EXPECT_EQ(img.At(21 + 3, 21 + 4)[0], 3);  // tile drawn unscaled, centred at (21, 21)
}

}  // namespace
