#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "engine/resample/GammaTables.h"
#include "text/DrawTexts.h"
#include "text/FontFiles.h"
#include "text/LineLayout.h"
#include "text/LinearCompose.h"

namespace {

// A white card picture.
struct Picture {
  uint32_t width, height;
  size_t stride;
  std::vector<uint8_t> pixels;
  Picture(uint32_t w, uint32_t h) : width(w), height(h), stride(size_t(w) * 3 + 1) {
    pixels.assign(stride * h, 255);
  }
  bool Inked(uint32_t x, uint32_t y) const {
    const uint8_t* p = &pixels[y * stride + x * 3];
    return p[0] != 255 || p[1] != 255 || p[2] != 255;
  }
};

struct InkBounds {
  int64_t left = std::numeric_limits<int64_t>::max(), top = left, right = -1, bottom = -1;
  int64_t Height() const { return bottom - top + 1; }
};

InkBounds Bounds(const Picture& picture) {
  InkBounds ink;
  for (uint32_t y = 0; y < picture.height; ++y)
    for (uint32_t x = 0; x < picture.width; ++x)
      if (picture.Inked(x, y)) {
        ink.left = std::min<int64_t>(ink.left, x);
        ink.right = std::max<int64_t>(ink.right, x);
        ink.top = std::min<int64_t>(ink.top, y);
        ink.bottom = std::max<int64_t>(ink.bottom, y);
      }
  return ink;
}

text::TextBox Box(const std::string& words, double points) {
  text::TextBox box;
  box.words = words;
  box.left = 0.1;
  box.top = 0.1;
  box.width = 0.8;
  box.height = 0.6;
  box.sizePoints = points;
  return box;
}

bool HaveBundledFonts() { return !text::BundledFontFolder().empty(); }

// A point is 1/72 of an inch of the printed card at every resolution: a
// capital H of DejaVu Sans (cap height 1493/2048 em) at 36 pt stands
// 0.729 x 0.5 in tall, and every box stays inside the card's own box.
TEST(TypeSettingTest, PointsAreInchesOfThePrintedCardAtEveryResolution) {
  if (!HaveBundledFonts()) GTEST_SKIP() << "bundled fonts not found";
  struct Case {
    double ppi;
    uint32_t width, height;
  } cases[] = {{100, 600, 400}, {150, 900, 600}, {300, 1800, 1200}, {600, 3600, 2400}};
  for (const Case& c : cases) {
    Picture picture(c.width, c.height);
    const text::TextBox box = Box("H", 36);
    text::TextNotes notes;
    text::DrawTexts(picture.pixels.data(), picture.stride, c.width, c.height, c.ppi, {box}, &notes);
    const InkBounds ink = Bounds(picture);
    const double expected = 1493.0 / 2048.0 * 0.5 * c.ppi;
    // Anti-aliasing may touch one more row at the top and the bottom.
    EXPECT_NEAR(double(ink.Height()), expected, 2.0) << c.ppi << " ppi";
    EXPECT_TRUE(notes.missingFonts.empty());
  }
}

TEST(TypeSettingTest, WordsStayInTheirBoxAndClipAtTheCardsEdge) {
  if (!HaveBundledFonts()) GTEST_SKIP() << "bundled fonts not found";
  struct Case {
    const char* name;
    double left, top, width, height;
    text::TextAlign align;
    text::TextEffect effect;
  } cases[] = {
      {"left", 0.1, 0.1, 0.8, 0.2, text::TextAlign::Left, text::TextEffect::None},
      {"centre", 0.1, 0.5, 0.8, 0.3, text::TextAlign::Centre, text::TextEffect::None},
      {"right", 0.3, 0.3, 0.6, 0.3, text::TextAlign::Right, text::TextEffect::Outline},
      {"shadow", 0.1, 0.1, 0.8, 0.3, text::TextAlign::Left, text::TextEffect::Shadow},
      {"off the edge", 0.7, 0.85, 0.8, 0.3, text::TextAlign::Left, text::TextEffect::Outline},
  };
  for (const Case& c : cases) {
    Picture picture(900, 600);
    text::TextBox box = Box("Hello", 40);
    box.left = c.left;
    box.top = c.top;
    box.width = c.width;
    box.height = c.height;
    box.align = c.align;
    box.effect = c.effect;
    box.colour = 0xff204080;
    text::DrawTexts(picture.pixels.data(), picture.stride, 900, 600, 150, {box});
    const InkBounds ink = Bounds(picture);
    ASSERT_GE(ink.right, 0) << c.name;
    const double left = c.left * 900, right = (c.left + c.width) * 900;
    const double top = c.top * 600, bottom = (c.top + c.height) * 600;
    EXPECT_GE(ink.left, left - 1) << c.name;
    EXPECT_LE(ink.right, right + 1) << c.name;
    EXPECT_GE(ink.top, top - 1) << c.name;
    EXPECT_LE(ink.bottom, bottom + 1) << c.name;
    // The line sits where its alignment puts it.
    const double middle = (ink.left + ink.right) / 2.0;
    if (c.align == text::TextAlign::Left) {
      EXPECT_LT(ink.left, left + 10) << c.name;
    }
    if (c.align == text::TextAlign::Right) {
      EXPECT_GT(ink.right, right - 10) << c.name;
    }
    if (c.align == text::TextAlign::Centre) {
      EXPECT_NEAR(middle, (left + right) / 2, 3) << c.name;
    }
  }
}

// Visual order, left to right, of the characters of one line.
std::vector<uint32_t> VisualOrder(const std::string& words) {
  FT_Library library = nullptr;
  FT_Init_FreeType(&library);
  text::FamilyFaces faces;
  EXPECT_TRUE(text::FindFamily("DejaVu Sans", &faces));
  std::unique_ptr<text::LoadedFont> font =
      text::LoadedFont::Load(library, faces.regular, 32 * 64, false, false);
  text::LayoutBox box;
  box.width = 100000 * 64;
  box.height = 1000 * 64;
  std::vector<text::PlacedGlyph> glyphs = text::LayOutWords(words, box, *font, nullptr);
  std::stable_sort(
      glyphs.begin(), glyphs.end(),
      [](const text::PlacedGlyph& a, const text::PlacedGlyph& b) { return a.x < b.x; });
  std::vector<uint32_t> order;
  for (const text::PlacedGlyph& g : glyphs)
    if (order.empty() || order.back() != g.cluster) order.push_back(g.cluster);
  font.reset();
  FT_Done_FreeType(library);
  return order;
}

TEST(TypeSettingTest, RightToLeftScriptsRunRightToLeftAndNumbersLeftToRight) {
  if (!HaveBundledFonts()) GTEST_SKIP() << "bundled fonts not found";
  struct Case {
    const char* words;
    std::vector<uint32_t> order;
  } cases[] = {
      {"abc", {0, 1, 2}},
      {"\u05e9\u05dc\u05d5\u05dd", {3, 2, 1, 0}},    // Hebrew
      {"\u0639\u0645\u0631", {2, 1, 0}},             // Arabic, joined
      {"ab \u05e9\u05dc", {0, 1, 2, 4, 3}},          // in a left-to-right line
      {"\u05e9\u05dc ab", {3, 4, 2, 1, 0}},          // a right-to-left line
      {"\u05e9\u05dc 12", {3, 4, 2, 1, 0}},          // its numbers
      {"\u05e9\u05dc, ab!", {6, 4, 5, 3, 2, 1, 0}},  // neutrals take the line's
  };
  for (const Case& c : cases) EXPECT_EQ(VisualOrder(c.words), c.order) << c.words;
}

TEST(TypeSettingTest, LinesBreakAtSpacesInsideLongWordsAndAtNewLines) {
  if (!HaveBundledFonts()) GTEST_SKIP() << "bundled fonts not found";
  FT_Library library = nullptr;
  FT_Init_FreeType(&library);
  text::FamilyFaces faces;
  ASSERT_TRUE(text::FindFamily("DejaVu Sans", &faces));
  auto font = text::LoadedFont::Load(library, faces.regular, 20 * 64, false, false);
  ASSERT_TRUE(font);
  struct Case {
    const char* words;
    int64_t widthPixels;
    size_t lines;
  } cases[] = {
      {"one two three", 1000, 1},
      {"one two three", 90, 2},
      {"one two three", 62, 3},
      {"one\ntwo", 1000, 2},
      {"a\n\nb", 1000, 3},
      {"abcdefghij", 45, 3},
      {"   ", 1000, 0},
      {"", 1000, 0},
      {"x y", 0, 2},
  };
  for (const Case& c : cases) {
    text::LayoutBox box;
    box.width = c.widthPixels * 64;
    box.height = 64 * 64;
    const std::vector<text::PlacedGlyph> glyphs = text::LayOutWords(c.words, box, *font, nullptr);
    std::set<int64_t> baselines;
    for (const auto& g : glyphs) baselines.insert(g.y);
    // Empty lines hold no glyph but push the next one down.
    const int64_t lineHeight = font->Ascender() - font->Descender() + font->LineGap();
    const size_t lines =
        baselines.empty() ? 0 : size_t((*baselines.rbegin() - *baselines.begin()) / lineHeight) + 1;
    EXPECT_EQ(lines, c.lines) << c.words << " in " << c.widthPixels;
    for (const auto& g : glyphs)
      if (c.widthPixels >= 40) {
        EXPECT_LE(g.x, box.width) << c.words;
      }
  }
  font.reset();
  FT_Done_FreeType(library);
}

TEST(TypeSettingTest, AMissingFamilyIsSetInTheBundledSansAndNoted) {
  if (!HaveBundledFonts()) GTEST_SKIP() << "bundled fonts not found";
  Picture asked(600, 400), sans(600, 400), script(600, 400);
  text::TextBox box = Box("Greetings", 30);
  box.font = "No Such Family 42";
  text::TextNotes notes;
  text::DrawTexts(asked.pixels.data(), asked.stride, 600, 400, 100, {box, box}, &notes);
  EXPECT_EQ(notes.missingFonts, std::vector<std::string>{"No Such Family 42"});
  box.font = "DejaVu Sans";
  text::DrawTexts(sans.pixels.data(), sans.stride, 600, 400, 100, {box, box});
  EXPECT_EQ(asked.pixels, sans.pixels);
  box.font = "Dancing Script";
  text::TextNotes none;
  text::DrawTexts(script.pixels.data(), script.stride, 600, 400, 100, {box}, &none);
  EXPECT_TRUE(none.missingFonts.empty());
  EXPECT_NE(script.pixels, sans.pixels);
  const std::vector<std::string> families = text::FontFamilies();
  ASSERT_GE(families.size(), 3u);
  EXPECT_EQ(families[0], "DejaVu Sans");
  EXPECT_EQ(families[1], "DejaVu Serif");
  EXPECT_EQ(families[2], "Dancing Script");
}

// White words on white paper show only through their effect, which is
// black, around them (outline) or below and right of them (shadow); and a
// family without an italic face gets a slanted one.
TEST(TypeSettingTest, EffectsContrastAndStylesAreMadeWhenMissing) {
  if (!HaveBundledFonts()) GTEST_SKIP() << "bundled fonts not found";
  auto draw = [](text::TextBox box) {
    Picture picture(600, 400);
    text::DrawTexts(picture.pixels.data(), picture.stride, 600, 400, 100, {box});
    return picture;
  };
  text::TextBox box = Box("Wo", 48);
  box.colour = 0xff000000;
  const InkBounds plain = Bounds(draw(box));
  box.colour = 0xffffffff;
  struct Case {
    text::TextEffect effect;
    bool beforeTheWords;  // reaches further left and up than the words
    uint8_t darkest;      // the darkest pixel is at most this
  } cases[] = {{text::TextEffect::None, false, 255},
               {text::TextEffect::Outline, true, 40},
               {text::TextEffect::Shadow, false, 190}};
  for (const Case& c : cases) {
    box.effect = c.effect;
    const Picture picture = draw(box);
    const InkBounds ink = Bounds(picture);
    if (c.effect == text::TextEffect::None) {
      EXPECT_LT(ink.right, 0);
      continue;
    }
    ASSERT_GE(ink.right, 0);
    EXPECT_EQ(ink.left < plain.left, c.beforeTheWords) << int(c.effect);
    EXPECT_EQ(ink.top < plain.top, c.beforeTheWords) << int(c.effect);
    EXPECT_GT(ink.right, plain.right) << int(c.effect);
    EXPECT_GT(ink.bottom, plain.bottom) << int(c.effect);
    uint8_t darkest = 255;
    for (uint8_t v : picture.pixels) darkest = std::min(darkest, v);
    EXPECT_LE(darkest, c.darkest) << int(c.effect);
  }

  box = Box("Hello", 40);
  box.font = "Dancing Script";
  const Picture upright = draw(box);
  box.italic = true;
  const Picture slanted = draw(box);
  EXPECT_NE(upright.pixels, slanted.pixels);
  // Slanting leans the tops right: the ink reaches further right.
  EXPECT_GT(Bounds(slanted).right, Bounds(upright).right);
}

// Half-covered black over white is half the light, which sRGB writes as
// about 186, not 128.
TEST(TypeSettingTest, CoverageMixesInLinearLight) {
  const auto tables = engine::SharedGammaTables(2.2f);
  struct Case {
    uint8_t cover;
    uint32_t colour;
    uint8_t paper;
    int low, high;
  } cases[] = {
      {0, 0xff000000, 255, 255, 255},   {255, 0xff000000, 255, 0, 0},
      {128, 0xff000000, 255, 185, 188}, {255, 0x80000000, 255, 185, 188},
      {128, 0xffffffff, 0, 185, 188},   {255, 0x00000000, 90, 90, 90},
  };
  for (const Case& c : cases) {
    uint8_t pixel[3] = {c.paper, c.paper, c.paper};
    text::CoverageMask mask;
    mask.width = mask.height = 1;
    mask.values = {c.cover};
    text::ComposeCoverage(pixel, 3, 1, 1, mask, 0, 0, c.colour);
    EXPECT_GE(pixel[0], c.low) << int(c.cover) << " " << std::hex << c.colour;
    EXPECT_LE(pixel[0], c.high) << int(c.cover) << " " << std::hex << c.colour;
  }
}

TEST(TypeSettingTest, BadBoxesAndWordsDrawNothingOrSomethingButNeverFail) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  struct Case {
    std::string words;
    double left, top, width, height, points;
    bool draws;
  } cases[] = {
      {"", 0.1, 0.1, 0.8, 0.2, 36, false},
      {"x", nan, 0.1, 0.8, 0.2, 36, false},
      {"x", 0.1, 0.1, inf, 0.2, 36, false},
      {"x", 0.1, 0.1, 0.8, 0.2, -3, false},
      {"x", 0.1, 0.1, 0.8, 0.2, 1e300, false},  // its ink far below the card
      {"x", -5, -5, 0.1, 0.1, 36, false},
      {"\xff\xfe\xc3 \xf4\x90\x80\x80 \xed\xa0\x80", 0.1, 0.1, 0.8, 0.2, 36, true},
      {std::string(3000, 'w'), 0.1, 0.1, 0.0, 0.0, 12, true},
  };
  for (const Case& c : cases) {
    Picture picture(300, 200);
    text::TextBox box = Box(c.words, c.points);
    box.left = c.left;
    box.top = c.top;
    box.width = c.width;
    box.height = c.height;
    text::DrawTexts(picture.pixels.data(), picture.stride, 300, 200, 50, {box});
    if (!HaveBundledFonts()) continue;
    EXPECT_EQ(Bounds(picture).right >= 0, c.draws) << c.words.substr(0, 10);
  }
}

}  // namespace
