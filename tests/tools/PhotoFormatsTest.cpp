#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "imagefiles/DecodeImage.h"
#include "tools/ToolRunner.h"

namespace {

using Bytes = std::vector<uint8_t>;

engine::Raster DecodePhoto(const Bytes& file) {
  engine::Raster picture;
  const engine::ImageStatus status = imagefiles::DecodeImage(
      file.data(), uint32_t(file.size()), imagefiles::DecodeMode::Photo, &picture);
  EXPECT_TRUE(status.Ok());
  return picture;
}

struct Difference {
  double mean = 0;  // per channel, in levels
  int largest = 0;
};

Difference Compare(const engine::Raster& a, const engine::Raster& b) {
  Difference d;
  if (a.width != b.width || a.height != b.height || a.format != b.format) {
    d.mean = d.largest = 255;
    return d;
  }
  uint64_t sum = 0, count = 0;
  for (uint32_t y = 0; y < a.height; ++y) {
    const uint8_t* p = a.Row(y);
    const uint8_t* q = b.Row(y);
    for (uint32_t x = 0; x < a.width * 3; ++x, ++count) {
      const int diff = std::abs(int(p[x]) - int(q[x]));
      sum += uint64_t(diff);
      if (diff > d.largest) d.largest = diff;
    }
  }
  d.mean = count ? double(sum) / double(count) : 0;
  return d;
}

// One picture written in every format by Debian's tools
// (make-format-photos.sh), then rendered to cards by tessary-render.
class PhotoFormats : public tooltest::ToolTest {
 protected:
  void SetUp() override {
    ToolTest::SetUp();
#ifdef TESSARY_FORMAT_PHOTOS_SCRIPT
    const std::string command =
        std::string(TESSARY_FORMAT_PHOTOS_SCRIPT) + " '" + dir_.string() + "' --more";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
#else
    GTEST_SKIP() << "the formats are made with Debian's tools, on Linux";
#endif
  }

  engine::Raster Card(const std::string& photo) {
    const tooltest::ToolResult result =
        Render({"--template", "0", "--photo", "0=" + Path(photo), "-o", Path(photo + ".card.png")});
    EXPECT_EQ(result.exitCode, 0) << photo << ": " << result.err;
    return DecodePhoto(ReadBytes(photo + ".card.png"));
  }
};

TEST_F(PhotoFormats, CardsFromHeicWebpAndTiffMatchThePngOfTheSamePicture) {
  const engine::Raster opaque = Card("photo.png");
  const engine::Raster transparent = Card("alpha.png");
  ASSERT_GT(opaque.width, 0u);
  struct Case {
    const char* photo;
    const engine::Raster* expected;
    double meanAtMost;  // lossy formats differ a little, lossless not at all
    int largestAtMost;
  };
  const Case cases[] = {
      {"photo.heic", &opaque, 0.5, 64},
      {"photo.webp", &opaque, 0.5, 64},
      {"photo-lossless.webp", &opaque, 0, 0},
      {"photo.tiff", &opaque, 0, 0},
      // Turned upright by their Exif orientation.
      {"turned6.tiff", &opaque, 0, 0},
      {"turned6.webp", &opaque, 0, 0},
      // Transparent parts over white, as for PNG.
      {"alpha.webp", &transparent, 0, 0},
      {"alpha.tiff", &transparent, 0, 1},
      {"alpha.heic", &transparent, 0.5, 64},
  };
  for (const Case& c : cases) {
    const Difference d = Compare(Card(c.photo), *c.expected);
    EXPECT_LE(d.mean, c.meanAtMost) << c.photo;
    EXPECT_LE(d.largest, c.largestAtMost) << c.photo;
  }
}

TEST_F(PhotoFormats, DecodedPhotosAreThePngsPixels) {
  // Without the card's scaling, which could hide a pixel out of place.
  const engine::Raster opaque = DecodePhoto(ReadBytes("photo.png"));
  const engine::Raster transparent = DecodePhoto(ReadBytes("alpha.png"));
  struct Case {
    const char* photo;
    const engine::Raster* expected;
    int largestAtMost;
  };
  const Case cases[] = {
      {"photo.tiff", &opaque, 0},      {"photo-lossless.webp", &opaque, 0},
      {"turned6.tiff", &opaque, 0},    {"turned6.webp", &opaque, 0},
      {"alpha.webp", &transparent, 0},  // libtiff hands over premultiplied colour
      {"alpha.tiff", &transparent, 1},
  };
  for (const Case& c : cases) {
    EXPECT_LE(Compare(DecodePhoto(ReadBytes(c.photo)), *c.expected).largest, c.largestAtMost)
        << c.photo;
  }
  // The kinds of TIFF scanners and other programs write.
  const engine::Raster small = DecodePhoto(ReadBytes("more-small.png"));
  const struct {
    const char* photo;
    double meanAtMost;
    int largestAtMost;
  } kinds[] = {
      {"more-tiled.tiff", 0, 0},        {"more-big-endian.tiff", 0, 0},
      {"more-16bit.tiff", 0.5, 1},      {"more-cmyk.tiff", 1, 4},
      {"more-jpeg.tiff", 2, 64},        {"more-thumbnail.heic", 4, 64},
  };
  for (const auto& k : kinds) {
    const Difference d = Compare(DecodePhoto(ReadBytes(k.photo)), small);
    EXPECT_LE(d.mean, k.meanAtMost) << k.photo;
    EXPECT_LE(d.largest, k.largestAtMost) << k.photo;
  }
}

TEST_F(PhotoFormats, AnAnimationIsRefusedWithItsReason) {
  const tooltest::ToolResult result =
      Render({"--photo", "0=" + Path("more-animated.webp"), "-o", Path("card.png")});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_NE(result.err.find("more-animated.webp: is a kind of picture the program cannot read "
                            "(an animation, not a still picture)"),
            std::string::npos)
      << result.err;
  EXPECT_FALSE(std::filesystem::exists(Path("card.png")));
}

}  // namespace
