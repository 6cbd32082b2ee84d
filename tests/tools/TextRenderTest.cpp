#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "document/ProjectFile.h"
#include "engine/raster/Raster.h"
#include "imagefiles/DecodeImage.h"
#include "imagefiles/ImageFiles.h"
#include "resources/BuiltInImages.h"
#include "text/FontFiles.h"
#include "tools/ToolRunner.h"

namespace {

bool CanSetType() {
  return resources::FindPngResource(201).size != 0 && !text::BundledFontFolder().empty();
}

engine::Raster Decode(const std::vector<uint8_t>& file) {
  engine::Raster picture;
  imagefiles::DecodeImage(file.data(), uint32_t(file.size()), false, &picture);
  return picture;
}

// The smallest rectangle holding every pixel in which two pictures differ.
struct Difference {
  int64_t left = std::numeric_limits<int64_t>::max(), top = left, right = -1, bottom = -1;
  bool Any() const { return right >= 0; }
};

Difference Compare(const engine::Raster& a, const engine::Raster& b) {
  Difference d;
  if (a.width != b.width || a.height != b.height || a.format != b.format) return d;
  const uint32_t channels = engine::BytesPerPixel(a.format);
  for (uint32_t y = 0; y < a.height; ++y)
    for (uint32_t x = 0; x < a.width; ++x)
      for (uint32_t c = 0; c < channels; ++c) {
        const size_t at = size_t(y) * a.Stride() + size_t(x) * channels + c;
        if (a.pixels[at] == b.pixels[at]) continue;
        d.left = std::min<int64_t>(d.left, x);
        d.right = std::max<int64_t>(d.right, x);
        d.top = std::min<int64_t>(d.top, y);
        d.bottom = std::max<int64_t>(d.bottom, y);
      }
  return d;
}

class TextRenderTest : public tooltest::ToolTest {};

// Words change the card only inside their box, and a point is the same
// length on the printed card whatever the picture's pixels: the print
// version's glyphs are twice as tall.
TEST_F(TextRenderTest, WordsChangeOnlyTheirBoxAndKeepTheirPrintedSize) {
  if (!CanSetType()) GTEST_SKIP() << "built-in artwork or bundled fonts not in this build";
  const std::vector<std::string> words = {"--text",          "Hello",  "--text-box",
                                          "0.1,0.1,0.8,0.2", "--size", "48"};
  struct Case {
    const char* name;
    std::vector<std::string> size;
    uint32_t width, height;
  } cases[] = {{"screen", {}, 900, 600}, {"print", {"--print"}, 1800, 1200}};
  int64_t heights[2] = {0, 0};
  for (int i = 0; i < 2; ++i) {
    const Case& c = cases[i];
    std::vector<std::string> plain = {"--template", "0", "-o", Path("plain.png")};
    plain.insert(plain.end(), c.size.begin(), c.size.end());
    std::vector<std::string> with = plain;
    with[3] = Path("words.png");
    with.insert(with.end(), words.begin(), words.end());
    ASSERT_EQ(Render(plain).exitCode, 0) << c.name;
    const tooltest::ToolResult result = Render(with);
    ASSERT_EQ(result.exitCode, 0) << c.name << result.err;
    EXPECT_EQ(result.err, "") << c.name;
    const engine::Raster a = Decode(ReadBytes("plain.png"));
    const engine::Raster b = Decode(ReadBytes("words.png"));
    ASSERT_EQ(a.width, c.width);
    const Difference d = Compare(a, b);
    ASSERT_TRUE(d.Any()) << c.name;
    EXPECT_GE(d.left, int64_t(0.1 * c.width)) << c.name;
    EXPECT_LT(d.right, int64_t(0.9 * c.width)) << c.name;
    EXPECT_GE(d.top, int64_t(0.1 * c.height)) << c.name;
    EXPECT_LT(d.bottom, int64_t(0.3 * c.height)) << c.name;
    heights[i] = d.bottom - d.top + 1;
  }
  // The design's shadow grows with the type, so the whole mark doubles too.
  EXPECT_NEAR(double(heights[1]), 2.0 * heights[0], 2.0);
}

TEST_F(TextRenderTest, BadTextOptionsAreUsageErrors) {
  const std::string out = Path("a.png");
  const std::vector<std::vector<std::string>> badLines = {
      {"--font", "DejaVu Sans", "--text", "a", "-o", out},
      {"--bold", "--text", "a", "-o", out},
      {"--size", "36", "-o", out},
      {"--text", "", "-o", out},
      {"--text", "a", "--text-box", "0.1,0.1,0.8", "-o", out},
      {"--text", "a", "--text-box", "0.1,0.1,0,0.2", "-o", out},
      {"--text", "a", "--text-box", "0.1,nan,0.8,0.2", "-o", out},
      {"--text", "a", "--size", "0", "-o", out},
      {"--text", "a", "--size", "big", "-o", out},
      {"--text", "a", "--colour", "red", "-o", out},
      {"--text", "a", "--colour", "#12345", "-o", out},
      {"--text", "a", "--align", "middle", "-o", out},
      {"--text", "a", "--effect", "glow", "-o", out},
      {"--text", "a", "--font", "", "-o", out},
  };
  for (const auto& args : badLines) {
    const tooltest::ToolResult result = Render(args);
    EXPECT_EQ(result.exitCode, 2) << args[0] << " " << args[1];
    EXPECT_NE(result.err.find("usage: tessary-render"), std::string::npos);
  }
  EXPECT_FALSE(std::filesystem::exists(out));
}

// A project keeps its words: rendered from it, the card is the one rendered
// with the words given on the command line; a missing family is named.
TEST_F(TextRenderTest, AProjectKeepsItsWordsAndAMissingFontIsNamed) {
  if (!CanSetType()) GTEST_SKIP() << "built-in artwork or bundled fonts not in this build";
  const std::vector<std::string> words = {
      "--template",
      "3",
      "--text",
      "Happy birthday, Anna!",
      "--font",
      "Dancing Script",
      "--size",
      "36",
      "--colour",
      "#b03060",
      "--align",
      "centre",
      "--effect",
      "outline",
      "--text",
      "\xd0\x9f\xd1\x80\xd0\xb8\xd0\xb2\xd0\xb5\xd1\x82 \xd9\x85\xd8\xb1\xd8\xad\xd8\xa8\xd8\xa7",
      "--text-box",
      "0.1,0.05,0.8,0.2",
      "--font",
      "No Such Family",
      "--bold",
      "--italic"};
  std::vector<std::string> direct = words;
  direct.insert(direct.end(), {"--save-project", Path("card.tessary"), "-o", Path("direct.png")});
  const tooltest::ToolResult made = Render(direct);
  ASSERT_EQ(made.exitCode, 0) << made.err;
  EXPECT_NE(made.err.find("\"No Such Family\" is not installed; set in DejaVu Sans"),
            std::string::npos)
      << made.err;
  const tooltest::ToolResult again =
      Render({"--project", Path("card.tessary"), "-o", Path("again.png")});
  ASSERT_EQ(again.exitCode, 0) << again.err;
  EXPECT_EQ(ReadBytes("again.png"), ReadBytes("direct.png"));
  const tooltest::ToolResult none = Render({"--template", "3", "-o", Path("none.png")});
  ASSERT_EQ(none.exitCode, 0);
  EXPECT_NE(ReadBytes("none.png"), ReadBytes("direct.png"));

  const imagefiles::ImageFiles files;
  document::CardState state;
  document::ProjectMemory memory;
  ASSERT_TRUE(document::ReadProject(Path("card.tessary"), files, &state, &memory).Ok());
  ASSERT_EQ(state.texts.size(), 2u);
  EXPECT_EQ(state.texts[0].font, "Dancing Script");
  EXPECT_EQ(state.texts[0].colour, 0xffb03060u);
  EXPECT_EQ(state.texts[0].effect, text::TextEffect::Outline);
  EXPECT_EQ(state.texts[1].font, "No Such Family");
  EXPECT_TRUE(state.texts[1].bold && state.texts[1].italic);
  EXPECT_EQ(state.texts[1].top, 0.05);
}

}  // namespace
