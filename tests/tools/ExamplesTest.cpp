#include <gtest/gtest.h>

#include "engine/card/CardTemplate.h"
#include "imagefiles/DecodeImage.h"
#include "imagefiles/ImageFiles.h"
#include "imagefiles/LayoutFile.h"
#include "imagefiles/LayoutTestFiles.h"
#include "tools/ToolRunner.h"

namespace {

using layouttest::Bytes;

struct Example {
  std::string name;
  uint32_t width, height;
  size_t regions;
};

const Example kExamples[] = {{"instant-prints", 1200, 800, 3}, {"film-strip", 1600, 560, 4}};

class ExamplesTest : public tooltest::ToolTest {
 protected:
  static std::string Source(const std::string& relative) {
    return std::string(TESSARY_EXAMPLES_DIR) + "/" + relative;
  }
  static Bytes SourceBytes(const std::string& relative) {
    const std::string text = tooltest::ReadText(Source(relative));
    return Bytes(text.begin(), text.end());
  }
  static engine::Raster Decode(const Bytes& file) {
    engine::Raster picture;
    EXPECT_TRUE(imagefiles::DecodeImage(file.data(), uint32_t(file.size()), false, &picture));
    return picture;
  }
};

TEST_F(ExamplesTest, CommittedLayoutsAreWhatTheToolPacksWithoutWarnings) {
  for (const Example& e : kExamples) {
    const std::string dir = e.name + "/";
    const tooltest::ToolResult packed =
        Layout({"--strict", Source(dir + "regions.png"), Source(dir + "overlay.png"), "-o",
                Path(e.name + ".jli")});
    ASSERT_EQ(packed.exitCode, 0) << e.name << ": " << packed.err;
    EXPECT_TRUE(packed.err.empty()) << packed.err;
    const Bytes committed = SourceBytes(dir + e.name + ".jli");
    ASSERT_FALSE(committed.empty()) << "missing " << Source(dir + e.name + ".jli");
    EXPECT_TRUE(ReadBytes(e.name + ".jli") == committed)
        << e.name << ".jli differs from what tessary-layout packs; run scripts/make-examples.sh";

    engine::Card card;
    imagefiles::LayoutLayers layers;
    ASSERT_EQ(imagefiles::ReadLayoutFile(Source(dir + e.name + ".jli"), imagefiles::ImageFiles(),
                                         &layers),
              imagefiles::LayoutStatus::Ok);
    ASSERT_TRUE(engine::SetTemplate(card, std::move(layers.regionMap), std::move(layers.overlay)));
    EXPECT_EQ(card.cardTemplate.width, e.width);
    EXPECT_EQ(card.cardTemplate.height, e.height);
    EXPECT_EQ(card.slots.size(), e.regions) << e.name;
  }
}

TEST_F(ExamplesTest, ExamplesRenderWithPhotosAndTheirCardsAreThere) {
  // A photo of our own in every region: the renderer takes the committed file.
  Bytes pixels(300 * 200 * 3);
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = uint8_t(i * 7);
  WriteBytes("photo.png", layouttest::EncodePng(300, 200, 3, pixels));
  for (const Example& e : kExamples) {
    std::vector<std::string> args = {"--layout", Source(e.name + "/" + e.name + ".jli")};
    for (size_t slot = 0; slot < e.regions; ++slot) {
      args.push_back("--photo");
      args.push_back(std::to_string(slot) + "=" + Path("photo.png"));
    }
    args.insert(args.end(), {"-o", Path(e.name + ".png")});
    const tooltest::ToolResult rendered = Render(args);
    ASSERT_EQ(rendered.exitCode, 0) << e.name << ": " << rendered.err;
    const engine::Raster card = Decode(ReadBytes(e.name + ".png"));
    EXPECT_EQ(card.width, e.width);
    EXPECT_EQ(card.height, e.height);

    // The card shown beside the layout is a JPEG of the layout's size.
    const Bytes shown = SourceBytes(e.name + "/card.jpg");
    ASSERT_GE(shown.size(), 2u);
    EXPECT_EQ(shown[0], 0xFF);
    const engine::Raster picture = Decode(shown);
    EXPECT_EQ(picture.width, e.width);
    EXPECT_EQ(picture.height, e.height);
  }
}

}  // namespace
