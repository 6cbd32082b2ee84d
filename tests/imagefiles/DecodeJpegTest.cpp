#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "TestImages.h"
#include "imagefiles/DecodeImage.h"

namespace {

using engine::PixelFormat;
using engine::Raster;
using imagefiles::DecodeImage;

TEST(DecodeJpeg, GreyExpandsToEqualChannelsIncludingColumnZero) {
  for (uint32_t width : {1u, 5u}) {
    std::vector<uint8_t> grey(width * 9);
    for (size_t i = 0; i < grey.size(); ++i) grey[i] = uint8_t(20 + i * 23);
    const std::vector<uint8_t> jpeg = testimages::EncodeJpeg(grey.data(), width, 9, 1);
    uint32_t w = 0, h = 0;
    int components = 0;
    const std::vector<uint8_t> reference = testimages::ReferenceJpegDecode(jpeg, &w, &h, &components);
    ASSERT_EQ(components, 1);

    Raster out;
    ASSERT_TRUE(DecodeImage(jpeg.data(), uint32_t(jpeg.size()), false, &out)) << width;
    ASSERT_EQ(out.format, PixelFormat::Rgb24);
    ASSERT_EQ(out.width, width);
    ASSERT_EQ(out.height, 9u);
    for (uint32_t y = 0; y < 9; ++y) {
      for (uint32_t x = 0; x < width; ++x) {
        const uint8_t* p = out.Row(y) + 3 * x;
        const uint8_t g = reference[y * width + x];
        EXPECT_EQ(p[0], g) << "width " << width << " at " << x << "," << y;
        EXPECT_EQ(p[1], g);
        EXPECT_EQ(p[2], g);
      }
    }
  }
}

TEST(DecodeJpeg, ColourMatchesLibjpegAndTheOriginal) {
  const uint32_t w = 37, h = 21;
  const std::vector<uint8_t> photo = testimages::SyntheticPhoto(w, h, 3);
  for (bool progressive : {false, true}) {
    testimages::JpegOptions options;
    options.progressive = progressive;
    const std::vector<uint8_t> jpeg = testimages::EncodeJpeg(photo.data(), w, h, 3, options);
    uint32_t rw = 0, rh = 0;
    int components = 0;
    const std::vector<uint8_t> reference = testimages::ReferenceJpegDecode(jpeg, &rw, &rh, &components);

    Raster out;
    ASSERT_TRUE(DecodeImage(jpeg.data(), uint32_t(jpeg.size()), false, &out));
    ASSERT_EQ(out.width, w);
    ASSERT_EQ(out.height, h);
    ASSERT_EQ(out.ByteSize(), reference.size());
    EXPECT_EQ(std::memcmp(out.pixels.get(), reference.data(), reference.size()), 0);
    long error = 0;
    for (size_t i = 0; i < photo.size(); ++i) error += std::abs(int(photo[i]) - out.pixels[i]);
    EXPECT_LT(double(error) / photo.size(), 6.0);
  }
}

TEST(DecodeJpeg, CmykDecodesAndAnyJpegIsRefusedWithAlpha) {
  // CMYK was refused once; it now decodes to RGB (see PhotoCmyk for values).
  const std::vector<uint8_t> photo = testimages::SyntheticPhoto(16, 16, 4);
  testimages::JpegOptions cmyk;
  cmyk.cmyk = true;
  const std::vector<uint8_t> cmykJpeg = testimages::EncodeJpeg(photo.data(), 16, 16, 4, cmyk);
  Raster out = Raster::Allocate(1, 1, PixelFormat::Rgb24);
  const uint8_t* before = out.pixels.get();
  EXPECT_FALSE(DecodeImage(cmykJpeg.data(), uint32_t(cmykJpeg.size()), true, &out));

  const std::vector<uint8_t> rgb = testimages::SyntheticPhoto(16, 16, 3);
  const std::vector<uint8_t> jpeg = testimages::EncodeJpeg(rgb.data(), 16, 16, 3);
  EXPECT_FALSE(DecodeImage(jpeg.data(), uint32_t(jpeg.size()), true, &out));
  EXPECT_EQ(out.pixels.get(), before);
  EXPECT_EQ(out.width, 1u);
  EXPECT_FALSE(DecodeImage(jpeg.data(), 9, false, &out));
  EXPECT_TRUE(DecodeImage(jpeg.data(), uint32_t(jpeg.size()), false, &out));
  EXPECT_TRUE(DecodeImage(cmykJpeg.data(), uint32_t(cmykJpeg.size()), false, &out));
  EXPECT_EQ(out.format, PixelFormat::Rgb24);
  EXPECT_EQ(out.width, 16u);
}

TEST(DecodeJpeg, TruncatedFileDecodesAsFarAsItGoes) {
  const uint32_t w = 64, h = 64;
  const std::vector<uint8_t> photo = testimages::SyntheticPhoto(w, h, 3);
  std::vector<uint8_t> jpeg = testimages::EncodeJpeg(photo.data(), w, h, 3);
  const std::vector<uint8_t> whole = jpeg;
  jpeg.resize(jpeg.size() * 2 / 3);
  Raster out;
  ASSERT_TRUE(DecodeImage(jpeg.data(), uint32_t(jpeg.size()), false, &out));
  EXPECT_EQ(out.width, w);
  EXPECT_EQ(out.height, h);
  // The top rows arrived whole and decode as in the complete file.
  Raster full;
  ASSERT_TRUE(DecodeImage(whole.data(), uint32_t(whole.size()), false, &full));
  EXPECT_EQ(std::memcmp(out.pixels.get(), full.pixels.get(), size_t(w) * 3 * 8), 0);
}

}  // namespace
