#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "text/DrawTexts.h"
#include "text/FontFiles.h"
#include "text/VectorWords.h"

namespace {

constexpr uint32_t kWidth = 600, kHeight = 400;
constexpr double kPpi = 100;

struct Bounds {
  double left = std::numeric_limits<double>::max(), top = left;
  double right = -left, bottom = -left;
  void Add(double x, double y) {
    left = std::min(left, x);
    right = std::max(right, x);
    top = std::min(top, y);
    bottom = std::max(bottom, y);
  }
};

// The ink the words leave on a white picture, in pixels.
Bounds InkOf(const text::TextBox& box) {
  const size_t stride = kWidth * 3;
  std::vector<uint8_t> pixels(stride * kHeight, 255);
  text::DrawTexts(pixels.data(), stride, kWidth, kHeight, kPpi, {box});
  Bounds ink;
  for (uint32_t y = 0; y < kHeight; ++y)
    for (uint32_t x = 0; x < kWidth; ++x)
      if (pixels[y * stride + x * 3] != 255) ink.Add(x, y);
  return ink;
}

TEST(VectorWordsTest, GlyphsFacesAndCharactersAreTheCardsOwn) {
  if (text::BundledFontFolder().empty()) GTEST_SKIP() << "bundled fonts not found";
  struct Case {
    const char* words;
    const char* font;
    bool bold, italic;
    text::TextEffect effect;
    bool madeUp;
    const char* characters;  // all the glyphs stand for, in their order
  } cases[] = {
      {"Hello there", "DejaVu Sans", false, false, text::TextEffect::None, false, "Hello there"},
      {"Two\nlines", "DejaVu Serif", true, false, text::TextEffect::Outline, false, "Twolines"},
      {"Slanted", "Dancing Script", false, true, text::TextEffect::Shadow, true, "Slanted"},
      // Dancing Script's bold file, slanted.
      {"Bold slant", "Dancing Script", true, true, text::TextEffect::None, true, "Bold slant"},
      // In the bundled sans's own bold file.
      {"Stand in", "Missing Family Name", true, false, text::TextEffect::None, false,
       "Stand in"},
  };
  for (const Case& c : cases) {
    text::TextBox box;
    box.words = c.words;
    box.font = c.font;
    box.bold = c.bold;
    box.italic = c.italic;
    box.effect = c.effect;
    box.colour = 0xff102030;
    const text::VectorWords words = text::SetVectorWords(kWidth, kHeight, kPpi, {box});
    ASSERT_EQ(words.texts.size(), 1u) << c.words;
    const text::VectorText& set = words.texts[0];
    EXPECT_EQ(set.colour, box.colour);
    EXPECT_EQ(set.outlineRadius > 0, c.effect == text::TextEffect::Outline) << c.words;
    EXPECT_EQ(!set.shadow.Empty(), c.effect == text::TextEffect::Shadow) << c.words;
    if (c.effect != text::TextEffect::None) {
      EXPECT_EQ(set.effectColour & 0xffffff, 0xffffffu);
    }

    std::string characters;
    for (const text::VectorGlyph& g : set.glyphs) characters += g.characters;
    EXPECT_EQ(characters, c.characters);

    ASSERT_EQ(words.faces.size(), 1u) << c.words;
    const text::VectorFace& face = words.faces[0];
    EXPECT_EQ(face.madeUp, c.madeUp) << c.words;
    EXPECT_EQ(face.emSize, std::llround(36 * kPpi * 64 / 72));
    if (!face.madeUp) {
      EXPECT_TRUE(face.outlines.empty());
      continue;
    }
    // The made-up outlines, where the glyphs stand, cover what the card's
    // pixels get, to the pixel.
    Bounds paths;
    for (const text::VectorGlyph& g : set.glyphs) {
      const auto found = face.outlines.find(g.glyph);
      ASSERT_NE(found, face.outlines.end()) << c.words << " glyph " << g.glyph;
      const std::vector<double>& p = found->second.points;
      for (size_t i = 0; i + 1 < p.size(); i += 2)
        paths.Add((double(g.x) + p[i]) / 64, (double(g.y) - p[i + 1]) / 64);
    }
    box.effect = text::TextEffect::None;
    const Bounds ink = InkOf(box);
    EXPECT_NEAR(paths.left, ink.left, 1.0) << c.words;
    EXPECT_NEAR(paths.right, ink.right + 1, 1.0) << c.words;
    EXPECT_NEAR(paths.top, ink.top, 1.0) << c.words;
    EXPECT_NEAR(paths.bottom, ink.bottom + 1, 1.0) << c.words;
  }
}

TEST(VectorWordsTest, NothingToDrawIsEmpty) {
  text::TextBox offCard;
  offCard.words = "away";
  offCard.left = 3;  // entirely right of the card
  text::TextBox noWords;
  noWords.words = "";
  text::TextBox spaces;
  spaces.words = "   \n ";
  for (const auto& boxes : std::vector<std::vector<text::TextBox>>{
           {}, {offCard}, {noWords}, {spaces}, {offCard, noWords}}) {
    EXPECT_TRUE(text::SetVectorWords(kWidth, kHeight, kPpi, boxes).Empty());
  }
  text::TextBox fine;
  fine.words = "here";
  EXPECT_TRUE(text::SetVectorWords(0, kHeight, kPpi, {fine}).Empty());
  EXPECT_TRUE(text::SetVectorWords(kWidth, kHeight, std::nan(""), {fine}).Empty());
}

}  // namespace
