#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "TestImages.h"
#include "imagefiles/CardWriter.h"
#include "imagefiles/DecodeImage.h"
#include "imagefiles/PngDensity.h"

namespace {

using imagefiles::CardEncoding;
using imagefiles::CardFormat;

std::vector<uint8_t> Write(CardFormat format, const CardEncoding* encoding) {
  testimages::TempFolder folder;
  const uint32_t w = 64, h = 40, stride = engine::CardImageStride(w);
  const std::vector<uint8_t> packed = testimages::SyntheticPhoto(w, h, 3);
  std::vector<uint8_t> card(size_t(stride) * h, 0);
  for (uint32_t y = 0; y < h; ++y)
    std::memcpy(&card[size_t(y) * stride], &packed[size_t(y) * w * 3], size_t(w) * 3);
  const std::string path = folder.File("card");
  const bool ok = encoding ? imagefiles::WriteCard(path, format, card.data(), w, h, stride,
                                                   *encoding).Ok()
                           : imagefiles::WriteCard(path, format, card.data(), w, h, stride).Ok();
  EXPECT_TRUE(ok);
  return testimages::ReadBytes(path);
}

// The JFIF density and each component's sampling factors (h << 4 | v).
struct JpegFacts {
  int unit = -1, xDensity = -1, yDensity = -1;
  std::vector<int> sampling;
  std::vector<uint8_t> luminanceTable;
};

JpegFacts Facts(const std::vector<uint8_t>& j) {
  JpegFacts facts;
  size_t pos = 2;
  while (pos + 4 <= j.size() && j[pos] == 0xFF) {
    const uint8_t marker = j[pos + 1];
    const size_t length = size_t(j[pos + 2]) << 8 | j[pos + 3];
    const uint8_t* p = &j[pos + 4];
    if (marker == 0xE0 && std::memcmp(p, "JFIF", 5) == 0) {
      facts.unit = p[7];
      facts.xDensity = p[8] << 8 | p[9];
      facts.yDensity = p[10] << 8 | p[11];
    } else if (marker == 0xC0) {
      for (int c = 0; c < p[5]; ++c) facts.sampling.push_back(p[6 + 3 * c + 1]);
    } else if (marker == 0xDB && facts.luminanceTable.empty()) {
      facts.luminanceTable.assign(p + 1, p + 65);
    }
    if (marker == 0xDA) break;
    pos += 2 + length;
  }
  return facts;
}

TEST(PrintEncoding, APrintJpegRecordsItsResolutionAtQuality92WithFullColour) {
  const CardEncoding print = CardEncoding::Print(300);
  const JpegFacts printed = Facts(Write(CardFormat::Jpeg, &print));
  EXPECT_EQ(printed.unit, 1);  // dots per inch
  EXPECT_EQ(printed.xDensity, 300);
  EXPECT_EQ(printed.yDensity, 300);
  EXPECT_EQ(printed.sampling, (std::vector<int>{0x11, 0x11, 0x11}));  // 4:4:4
  // libjpeg's quality 92: the standard's table at 16 % (its first entry 16 -> 3).
  ASSERT_EQ(printed.luminanceTable.size(), 64u);
  EXPECT_EQ(printed.luminanceTable[0], 3);

  const JpegFacts screen = Facts(Write(CardFormat::Jpeg, nullptr));
  EXPECT_EQ(screen.xDensity, 100);
  EXPECT_EQ(screen.sampling, (std::vector<int>{0x22, 0x11, 0x11}));  // 4:2:0
  EXPECT_EQ(screen.luminanceTable[0], 6);  // quality 80: 16 at 40 %

  // The default encoding is the screen card's, byte for byte.
  const CardEncoding defaults;
  EXPECT_EQ(Write(CardFormat::Jpeg, &defaults), Write(CardFormat::Jpeg, nullptr));
  EXPECT_EQ(Write(CardFormat::Png, &defaults), Write(CardFormat::Png, nullptr));
}

TEST(PrintEncoding, APrintPngCarriesPhysRightAfterItsHeaderAndTheSamePixels) {
  const CardEncoding print = CardEncoding::Print(300);
  const std::vector<uint8_t> png = Write(CardFormat::Png, &print);
  const auto chunks = testimages::ListPngChunks(png);
  ASSERT_GE(chunks.size(), 4u);
  EXPECT_EQ(chunks[0].name, "IHDR");
  ASSERT_EQ(chunks[1].name, "pHYs");
  const uint8_t* phys = &png[chunks[1].offset + 8];
  EXPECT_EQ(testimages::GetBigEndian32(phys), 11811u);  // 300 per inch in pixels per metre
  EXPECT_EQ(testimages::GetBigEndian32(phys + 4), 11811u);
  EXPECT_EQ(phys[8], 1);
  EXPECT_EQ(imagefiles::ReadPngPpi(png.data(), uint32_t(png.size())), 300u);

  const std::vector<uint8_t> plain = Write(CardFormat::Png, nullptr);
  EXPECT_EQ(imagefiles::ReadPngPpi(plain.data(), uint32_t(plain.size())), 0u);
  engine::Raster a, b;
  ASSERT_TRUE(imagefiles::DecodeImage(png.data(), uint32_t(png.size()), false, &a));
  ASSERT_TRUE(imagefiles::DecodeImage(plain.data(), uint32_t(plain.size()), false, &b));
  EXPECT_EQ(std::memcmp(a.pixels.get(), b.pixels.get(), a.ByteSize()), 0);
}

TEST(PngDensity, SettingTheResolutionReplacesAnyPhysAndKeepsEveryOtherByte) {
  const std::vector<uint8_t> rgb = testimages::SyntheticPhoto(20, 12, 3);
  const std::vector<uint8_t> png = testimages::EncodeRgbPng(rgb.data(), 20, 12, false);
  std::vector<uint8_t> once, twice;
  ASSERT_TRUE(imagefiles::SetPngPpi(png.data(), uint32_t(png.size()), 150, &once));
  ASSERT_TRUE(imagefiles::SetPngPpi(once.data(), uint32_t(once.size()), 300, &twice));
  EXPECT_EQ(imagefiles::ReadPngPpi(once.data(), uint32_t(once.size())), 150u);
  EXPECT_EQ(imagefiles::ReadPngPpi(twice.data(), uint32_t(twice.size())), 300u);
  // One pHYs, after the header; the rest as it was.
  const auto chunks = testimages::ListPngChunks(twice);
  size_t phys = 0;
  for (const auto& c : chunks) phys += c.name == "pHYs";
  EXPECT_EQ(phys, 1u);
  EXPECT_EQ(chunks[1].name, "pHYs");
  EXPECT_EQ(twice.size(), png.size() + 21);
  std::vector<uint8_t> without(twice);
  without.erase(without.begin() + chunks[1].offset, without.begin() + chunks[1].offset + 21);
  EXPECT_EQ(without, png);

  // What does not record a resolution in inches counts as none.
  struct Phys {
    const char* why;
    uint32_t x, y;
    uint8_t unit;
    bool badCrc;
  };
  const Phys unusable[] = {{"no unit: an aspect ratio", 11811, 11811, 0, false},
                           {"different densities", 11811, 5906, 1, false},
                           {"zero", 0, 0, 1, false},
                           {"a damaged chunk", 11811, 11811, 1, true}};
  for (const Phys& p : unusable) {
    SCOPED_TRACE(p.why);
    std::vector<uint8_t> data(9);
    testimages::PutBigEndian32(&data[0], p.x);
    testimages::PutBigEndian32(&data[4], p.y);
    data[8] = p.unit;
    std::vector<uint8_t> file(png);
    testimages::InsertPngChunk(&file, 1, "pHYs", 9, data);
    if (p.badCrc) file[testimages::ListPngChunks(file)[1].offset + 8 + 9] ^= 0xFF;
    EXPECT_EQ(imagefiles::ReadPngPpi(file.data(), uint32_t(file.size())), 0u);
  }

  // Data that is not a whole PNG is refused and left alone.
  std::vector<uint8_t> out{1, 2, 3};
  const std::vector<uint8_t> cut(png.begin(), png.end() - 12);  // no IEND
  EXPECT_FALSE(imagefiles::SetPngPpi(cut.data(), uint32_t(cut.size()), 300, &out));
  const uint8_t notPng[16] = {0xFF, 0xD8, 0xFF};
  EXPECT_FALSE(imagefiles::SetPngPpi(notPng, sizeof notPng, 300, &out));
  EXPECT_EQ(out, (std::vector<uint8_t>{1, 2, 3}));
  EXPECT_EQ(imagefiles::ReadPngPpi(notPng, sizeof notPng), 0u);
}

}  // namespace
