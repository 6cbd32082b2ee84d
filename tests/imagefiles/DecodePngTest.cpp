#include <png.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>

#include "TestImages.h"
#include "imagefiles/DecodeImage.h"

namespace {

using engine::PixelFormat;
using engine::Raster;
using imagefiles::DecodeImage;
using testimages::PngPicture;

struct PngKind {
  const char* name;
  int colourType;
  int bitDepth;
  bool trns;
};

const PngKind kKinds[] = {
    {"Grey1", PNG_COLOR_TYPE_GRAY, 1, false},
    {"Grey2", PNG_COLOR_TYPE_GRAY, 2, false},
    {"Grey4", PNG_COLOR_TYPE_GRAY, 4, false},
    {"Grey8", PNG_COLOR_TYPE_GRAY, 8, false},
    {"Grey16", PNG_COLOR_TYPE_GRAY, 16, false},
    {"GreyAlpha8", PNG_COLOR_TYPE_GRAY_ALPHA, 8, false},
    {"GreyAlpha16", PNG_COLOR_TYPE_GRAY_ALPHA, 16, false},
    {"Palette1", PNG_COLOR_TYPE_PALETTE, 1, false},
    {"Palette4", PNG_COLOR_TYPE_PALETTE, 4, false},
    {"Palette8", PNG_COLOR_TYPE_PALETTE, 8, false},
    {"Palette2Trns", PNG_COLOR_TYPE_PALETTE, 2, true},
    {"Palette8Trns", PNG_COLOR_TYPE_PALETTE, 8, true},
    {"Rgb8", PNG_COLOR_TYPE_RGB, 8, false},
    {"Rgb16", PNG_COLOR_TYPE_RGB, 16, false},
    {"Rgba8", PNG_COLOR_TYPE_RGB_ALPHA, 8, false},
    {"Rgba16", PNG_COLOR_TYPE_RGB_ALPHA, 16, false},
};

// (kind, withAlpha, interlaced)
class PngKindTest : public ::testing::TestWithParam<std::tuple<PngKind, bool, bool>> {};

TEST_P(PngKindTest, DeliversExactRowsOfTheRequestedFormat) {
  const auto [kind, withAlpha, interlaced] = GetParam();
  // Odd sizes so sub-byte rows end mid-byte and every Adam7 pass is ragged.
  PngPicture picture = testimages::MakePngPicture(kind.colourType, kind.bitDepth, 13, 11, kind.trns);
  picture.interlaced = interlaced;
  const std::vector<uint8_t> png = testimages::EncodePng(picture);

  Raster out;
  ASSERT_TRUE(DecodeImage(png.data(), uint32_t(png.size()), withAlpha, &out));
  EXPECT_EQ(out.width, 13u);
  EXPECT_EQ(out.height, 11u);
  EXPECT_EQ(out.format, withAlpha ? PixelFormat::Rgba32 : PixelFormat::Rgb24);
  const std::vector<uint8_t> expected = testimages::ExpectedPixels(picture, withAlpha);
  ASSERT_EQ(out.ByteSize(), expected.size());
  EXPECT_EQ(std::memcmp(out.pixels.get(), expected.data(), expected.size()), 0);
}

INSTANTIATE_TEST_SUITE_P(
    AllKinds, PngKindTest,
    ::testing::Combine(::testing::ValuesIn(kKinds), ::testing::Bool(), ::testing::Bool()),
    [](const ::testing::TestParamInfo<PngKindTest::ParamType>& param) {
      return std::string(std::get<0>(param.param).name) +
             (std::get<1>(param.param) ? "_Rgba" : "_Rgb") +
             (std::get<2>(param.param) ? "_Interlaced" : "");
    });

TEST(DecodePng, SpotValuesOfTheKindsCallersRelyOn) {
  // 1-bit grey gives pure black and white.
  PngPicture bilevel = testimages::MakePngPicture(PNG_COLOR_TYPE_GRAY, 1, 2, 1);
  std::vector<uint8_t> png = testimages::EncodePng(bilevel);
  Raster out;
  ASSERT_TRUE(DecodeImage(png.data(), uint32_t(png.size()), false, &out));
  const uint8_t blackWhite[] = {0, 0, 0, 255, 255, 255};
  EXPECT_EQ(std::memcmp(out.pixels.get(), blackWhite, 6), 0);

  // RGB read with alpha gets A = 255; RGBA keeps its alpha bytes.
  const uint8_t rgb[] = {10, 20, 30, 40, 50, 60};
  png = testimages::EncodeRgbPng(rgb, 2, 1, false);
  ASSERT_TRUE(DecodeImage(png.data(), uint32_t(png.size()), true, &out));
  const uint8_t opaque[] = {10, 20, 30, 255, 40, 50, 60, 255};
  EXPECT_EQ(std::memcmp(out.pixels.get(), opaque, 8), 0);
  const uint8_t rgba[] = {1, 2, 3, 0, 4, 5, 6, 77};
  png = testimages::EncodeRgbPng(rgba, 2, 1, true);
  ASSERT_TRUE(DecodeImage(png.data(), uint32_t(png.size()), true, &out));
  EXPECT_EQ(std::memcmp(out.pixels.get(), rgba, 8), 0);
}

TEST(DecodePng, FailureLeavesTheOutputAsItWas) {
  Raster out = Raster::Allocate(2, 2, PixelFormat::Rgba32);
  const uint8_t* before = out.pixels.get();
  PngPicture picture = testimages::MakePngPicture(PNG_COLOR_TYPE_RGB, 8, 40, 30);
  std::vector<uint8_t> png = testimages::EncodePng(picture);
  png.resize(png.size() / 2);  // cut inside the image data
  EXPECT_FALSE(DecodeImage(png.data(), uint32_t(png.size()), false, &out));
  EXPECT_EQ(out.pixels.get(), before);
  EXPECT_EQ(out.width, 2u);
  EXPECT_EQ(out.format, PixelFormat::Rgba32);
}

TEST(DecodePng, RefusesShortDataAndBadSignatures) {
  PngPicture picture = testimages::MakePngPicture(PNG_COLOR_TYPE_RGB, 8, 4, 4);
  std::vector<uint8_t> png = testimages::EncodePng(picture);
  Raster out;
  EXPECT_FALSE(DecodeImage(png.data(), 9, false, &out));
  EXPECT_FALSE(DecodeImage(png.data(), 0, false, &out));
  EXPECT_FALSE(DecodeImage(nullptr, 100, false, &out));
  for (size_t i = 4; i < 8; ++i) {
    std::vector<uint8_t> bad = png;
    bad[i] ^= 0x40;
    EXPECT_FALSE(DecodeImage(bad.data(), uint32_t(bad.size()), false, &out)) << "byte " << i;
  }
  // The untouched file still decodes, so the failures above are the signature's.
  EXPECT_TRUE(DecodeImage(png.data(), uint32_t(png.size()), false, &out));
  const uint8_t text[] = "just some text, not a picture";
  EXPECT_FALSE(DecodeImage(text, sizeof text, false, &out));
}

TEST(DecodePng, CorruptCrcInCriticalChunkFails) {
  PngPicture picture = testimages::MakePngPicture(PNG_COLOR_TYPE_RGB, 8, 8, 8);
  std::vector<uint8_t> png = testimages::EncodePng(picture);
  const auto chunks = testimages::ListPngChunks(png);
  ASSERT_EQ(chunks[1].name, "IDAT");
  png[chunks[1].offset + 8 + chunks[1].length] ^= 1;  // first CRC byte
  Raster out;
  EXPECT_FALSE(DecodeImage(png.data(), uint32_t(png.size()), false, &out));
  EXPECT_TRUE(out.Empty());
}

}  // namespace
