#include <gtest/gtest.h>

#include "engine/card/CardTemplate.h"
#include "imagefiles/CardWriter.h"
#include "imagefiles/DecodeImage.h"
#include "imagefiles/ImageFiles.h"
#include "imagefiles/LayoutFile.h"
#include "imagefiles/LayoutTestFiles.h"
#include "tools/ToolRunner.h"

namespace {

using layouttest::Bytes;

class LayoutToolTest : public tooltest::ToolTest {
 protected:
  void SetUp() override {
    ToolTest::SetUp();
    WriteBytes("map.png", layouttest::RegionMapPng(120, 80));
    WriteBytes("overlay.png", layouttest::OverlayPng(120, 80));
  }
};

TEST_F(LayoutToolTest, PackedLayoutLoadsAndRendersAtItsOwnSize) {
  const tooltest::ToolResult packed =
      Layout({Path("map.png"), Path("overlay.png"), "-o", Path("card.jli")});
  ASSERT_EQ(packed.exitCode, 0) << packed.err;
  EXPECT_TRUE(packed.err.empty());
  // Same layers, same file: it is the container of the format, byte for byte.
  const Bytes file = ReadBytes("card.jli");
  const Bytes map = ReadBytes("map.png");
  const Bytes overlay = ReadBytes("overlay.png");
  EXPECT_EQ(file.size(), 32 + 20 + 8 + ((map.size() + 3) & ~size_t(3)) + 24 + 8 +
                             ((overlay.size() + 3) & ~size_t(3)));

  engine::Card card;
  imagefiles::LayoutLayers layers;
  ASSERT_EQ(imagefiles::ReadLayoutFile(Path("card.jli"), imagefiles::ImageFiles(), &layers),
            imagefiles::LayoutStatus::Ok);
  ASSERT_TRUE(engine::SetTemplate(card, std::move(layers.regionMap), std::move(layers.overlay)));
  EXPECT_EQ(card.cardTemplate.width, 120u);
  EXPECT_EQ(card.slots.size(), 2u);

  const tooltest::ToolResult rendered =
      Render({"--layout", Path("card.jli"), "-o", Path("card.png")});
  ASSERT_EQ(rendered.exitCode, 0) << rendered.err;
  engine::Raster picture;
  const Bytes png = ReadBytes("card.png");
  ASSERT_TRUE(imagefiles::DecodeImage(png.data(), uint32_t(png.size()), false, &picture));
  EXPECT_EQ(picture.width, 120u);
  EXPECT_EQ(picture.height, 80u);
}

TEST_F(LayoutToolTest, RefusesInputsTheProgramWouldNotLoad) {
  // A JPEG, which layers may not be.
  Bytes grey(40 * 30 * 3, 128);
  ASSERT_TRUE(imagefiles::WriteCard(Path("photo.jpg"), imagefiles::CardFormat::Jpeg,
                                        grey.data(), 40, 30, 120).Ok());
  WriteBytes("notes.png", Bytes{'n', 'o', 't', ' ', 'a', ' ', 'p', 'i', 'c', 't', 'u', 'r', 'e'});
  Bytes damaged = ReadBytes("map.png");
  damaged.resize(damaged.size() / 2);
  WriteBytes("damaged.png", damaged);
  WriteBytes("taller.png", layouttest::OverlayPng(120, 81));
  WriteBytes("card.jli", Bytes{'o', 'l', 'd'});

  struct Case {
    std::string regions;
    std::string overlay;
    std::string named;
  };
  const std::vector<Case> cases = {
      {"photo.jpg", "overlay.png", "photo.jpg"}, {"map.png", "photo.jpg", "photo.jpg"},
      {"notes.png", "overlay.png", "notes.png"}, {"map.png", "damaged.png", "damaged.png"},
      {"map.png", "taller.png", "taller.png"},   {"map.png", "absent.png", "absent.png"},
  };
  for (const Case& c : cases) {
    const tooltest::ToolResult result =
        Layout({Path(c.regions), Path(c.overlay), "-o", Path("card.jli")});
    EXPECT_EQ(result.exitCode, 1) << c.named;
    EXPECT_EQ(tooltest::CountLines(result.err), 1) << result.err;
    EXPECT_EQ(result.err.rfind("tessary-layout: " + Path(c.named) + ": ", 0), 0u) << result.err;
    EXPECT_EQ(ReadBytes("card.jli"), (Bytes{'o', 'l', 'd'}));
  }
}

// More regions than a card may have: refused, not only warned about, with
// the number and the rule that made them.
TEST_F(LayoutToolTest, RefusesMoreRegionsThanACardMayHave) {
  WriteBytes("card.jli", Bytes{'o', 'l', 'd'});
  for (int regions : {65, 64}) {
    Bytes pixels(120 * 80 * 4, 0);
    for (int i = 0; i < regions; ++i) {  // 8 x 8 squares a pixel apart
      const int x0 = (i % 13) * 9, y0 = (i / 13) * 9;
      for (int y = y0; y < y0 + 8; ++y) {
        for (int x = x0; x < x0 + 8; ++x) {
          uint8_t* p = &pixels[size_t(y * 120 + x) * 4];
          p[0] = uint8_t((i % 32) * 8);
          p[1] = uint8_t((i / 32) * 8);
          p[2] = 128;
          p[3] = 255;
        }
      }
    }
    WriteBytes("many.png", layouttest::EncodePng(120, 80, 4, pixels));
    const tooltest::ToolResult result =
        Layout({Path("many.png"), Path("overlay.png"), "-o", Path("card.jli")});
    if (regions == 64) {
      EXPECT_EQ(result.exitCode, 0) << result.err;  // with a warning about more than 16
      continue;
    }
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("tessary-layout: " + Path("many.png") +
                              ": 65 regions, more than the 64 a card can have"),
              std::string::npos)
        << result.err;
    EXPECT_EQ(ReadBytes("card.jli"), (Bytes{'o', 'l', 'd'}));
  }
}

TEST_F(LayoutToolTest, UsageErrorsExitWith2) {
  const std::vector<std::vector<std::string>> badLines = {
      {},
      {Path("map.png"), "-o", Path("x.jli")},
      {Path("map.png"), Path("overlay.png")},
      {Path("map.png"), Path("overlay.png"), Path("map.png"), "-o", Path("x.jli")},
      {Path("map.png"), Path("overlay.png"), "--fast", "-o", Path("x.jli")},
      {Path("map.png"), Path("overlay.png"), "-o"},
  };
  for (const auto& args : badLines) {
    const tooltest::ToolResult result = Layout(args);
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.err.find("usage: tessary-layout"), std::string::npos);
  }
  EXPECT_FALSE(std::filesystem::exists(Path("x.jli")));
}

}  // namespace
