#include "engine/raster/TurnUpright.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

using engine::PixelFormat;
using engine::Raster;

// Pixel (x, y) of a stored picture holds 10 y + x in every channel, so a
// result reads as the labels of where each pixel came from.
Raster Labelled(uint32_t width, uint32_t height) {
  Raster r = Raster::Allocate(width, height, PixelFormat::Rgb24);
  for (uint32_t y = 0; y < height; ++y) {
    for (uint32_t x = 0; x < width; ++x) {
      uint8_t* p = r.Row(y) + 3 * x;
      p[0] = uint8_t(10 * y + x);
      p[1] = uint8_t(100 + 10 * y + x);
      p[2] = uint8_t(200 + x);
    }
  }
  return r;
}

std::vector<int> Labels(const Raster& r) {
  std::vector<int> labels;
  for (uint32_t y = 0; y < r.height; ++y) {
    for (uint32_t x = 0; x < r.width; ++x) {
      const uint8_t* p = r.Row(y) + 3 * x;
      EXPECT_EQ(p[1], p[0] + 100);  // channels travel together
      EXPECT_EQ(p[2], 200 + p[0] % 10);
      labels.push_back(p[0]);
    }
  }
  return labels;
}

// The eight Exif orientations, from the way each describes where the stored
// first row and first column are seen. A stored 3 x 2 picture
//   00 01 02
//   10 11 12
TEST(TurnUpright, EachOrientationShowsTheStoredPictureAsItsCameraSawIt) {
  struct Case {
    int orientation;
    uint32_t width, height;
    std::vector<int> labels;
  };
  const Case cases[] = {
      {1, 3, 2, {0, 1, 2, 10, 11, 12}},
      {2, 3, 2, {2, 1, 0, 12, 11, 10}},  // first row on top, first column right
      {3, 3, 2, {12, 11, 10, 2, 1, 0}},  // first row at the bottom, column right
      {4, 3, 2, {10, 11, 12, 0, 1, 2}},  // first row at the bottom, column left
      {5, 2, 3, {0, 10, 1, 11, 2, 12}},  // first row on the left, column on top
      {6, 2, 3, {10, 0, 11, 1, 12, 2}},  // first row on the right, column on top
      {7, 2, 3, {12, 2, 11, 1, 10, 0}},  // first row on the right, column at the bottom
      {8, 2, 3, {2, 12, 1, 11, 0, 10}},  // first row on the left, column at the bottom
  };
  for (const Case& c : cases) {
    Raster r = Labelled(3, 2);
    engine::TurnUpright(r, c.orientation);
    EXPECT_EQ(r.width, c.width) << c.orientation;
    EXPECT_EQ(r.height, c.height) << c.orientation;
    EXPECT_EQ(r.format, PixelFormat::Rgb24);
    EXPECT_EQ(Labels(r), c.labels) << "orientation " << c.orientation;
  }
}

TEST(TurnUpright, OddSizesSingleRowsAndColumnsAndTileEdges) {
  // Sizes around the tile of the quarter turns and with a middle row, so
  // the in-place mirrors meet themselves in the middle.
  for (auto [w, h] : {std::pair<uint32_t, uint32_t>{1, 1},
                      {1, 7},
                      {7, 1},
                      {5, 3},
                      {4, 4},
                      {65, 3},
                      {3, 129},
                      {130, 67}}) {
    for (int orientation = 1; orientation <= 8; ++orientation) {
      Raster r = Raster::Allocate(w, h, PixelFormat::Rgb24);
      for (size_t i = 0; i < r.ByteSize(); ++i) r.pixels[i] = uint8_t(i * 7 + i / 3);
      std::vector<uint8_t> stored(r.pixels.get(), r.pixels.get() + r.ByteSize());
      engine::TurnUpright(r, orientation);
      const bool across = orientation >= 5;
      ASSERT_EQ(r.width, across ? h : w);
      ASSERT_EQ(r.height, across ? w : h);
      // Walk the stored picture and look each pixel up where it must be seen.
      for (uint32_t y = 0; y < h; ++y) {
        for (uint32_t x = 0; x < w; ++x) {
          const bool flipX =
              orientation == 2 || orientation == 3 || orientation == 6 || orientation == 7;
          const bool flipY =
              orientation == 3 || orientation == 4 || orientation == 7 || orientation == 8;
          // Before a transpose, "x" runs along the stored row.
          uint32_t sx = across ? y : x, sy = across ? x : y;
          const uint32_t uw = r.width, uh = r.height;
          if (flipX) sx = uw - 1 - sx;
          if (flipY) sy = uh - 1 - sy;
          ASSERT_EQ(std::memcmp(r.Row(sy) + 3 * sx, &stored[(size_t(y) * w + x) * 3], 3), 0)
              << w << "x" << h << " orientation " << orientation << " at " << x << "," << y;
        }
      }
    }
  }
}

TEST(UprightBuilder, RowsFedInAnyPortionsGiveTheTurnedPhoto) {
  // Taller than two strips, fed in uneven portions as a decoder reads them,
  // into rows with working room beyond the pixels.
  const uint32_t w = 37, h = 150;
  for (int orientation = 2; orientation <= 8; ++orientation) {
    Raster stored = Raster::Allocate(w, h, PixelFormat::Rgb24);
    for (size_t i = 0; i < stored.ByteSize(); ++i) stored.pixels[i] = uint8_t(i * 13 + i / 7);
    engine::UprightBuilder builder(w, h, orientation, size_t(w) * 4);
    ASSERT_EQ(builder.RowStride(), size_t(w) * 4);
    uint32_t row = 0, portion = 1;
    while (!builder.Complete()) {
      const uint32_t count = std::min(builder.RowsWanted(), portion);
      ASSERT_GT(count, 0u);
      for (uint32_t i = 0; i < count; ++i) {
        uint8_t* to = builder.NextRows() + i * builder.RowStride();
        std::memcpy(to, stored.Row(row + i), size_t(w) * 3);
        std::memset(to + size_t(w) * 3, 0xEE, w);  // the working room is never read
      }
      builder.RowsDone(count);
      row += count;
      portion = portion * 3 % 41 + 1;
    }
    ASSERT_EQ(row, h);
    const Raster built = builder.Take();
    engine::TurnUpright(stored, orientation);
    ASSERT_EQ(built.width, stored.width);
    ASSERT_EQ(built.height, stored.height);
    EXPECT_EQ(std::memcmp(built.pixels.get(), stored.pixels.get(), stored.ByteSize()), 0)
        << "orientation " << orientation;
  }
}

TEST(TurnUpright, LeavesUnknownValuesAndOtherFormatsAlone) {
  for (int orientation : {0, 1, 9, -1, 255}) {
    Raster r = Labelled(3, 2);
    const uint8_t* before = r.pixels.get();
    engine::TurnUpright(r, orientation);
    EXPECT_EQ(r.pixels.get(), before);
    EXPECT_EQ(Labels(r), (std::vector<int>{0, 1, 2, 10, 11, 12}));
  }
  Raster rgba = Raster::Allocate(3, 2, PixelFormat::Rgba32);
  std::memset(rgba.pixels.get(), 9, rgba.ByteSize());
  engine::TurnUpright(rgba, 6);
  EXPECT_EQ(rgba.width, 3u);
  EXPECT_EQ(rgba.pixels[23], 9);
  Raster empty;
  engine::TurnUpright(empty, 6);
  EXPECT_TRUE(empty.Empty());
}

}  // namespace
