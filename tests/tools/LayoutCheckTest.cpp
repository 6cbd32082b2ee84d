#include <gtest/gtest.h>

#include <cstring>
#include <regex>

#include "imagefiles/LayoutTestFiles.h"
#include "tools/ToolRunner.h"
#include "tools/layout/LayoutCheck.h"

namespace {

using tools::LayoutProblem;
using tools::LayoutWarning;

// An Rgba32 picture painted with rectangles, as a test would draw one in a
// paint program: transparent to start with.
struct Painting {
  uint32_t width, height;
  std::vector<uint8_t> rgba;

  Painting(uint32_t w, uint32_t h) : width(w), height(h), rgba(size_t(w) * h * 4, 0) {}
  // Columns x0..x1-1, rows y0..y1-1.
  Painting& Fill(uint32_t x0, uint32_t y0, uint32_t x1, uint32_t y1, uint8_t r, uint8_t g,
                 uint8_t b, uint8_t a = 255) {
    for (uint32_t y = y0; y < y1; ++y)
      for (uint32_t x = x0; x < x1; ++x) {
        uint8_t* p = &rgba[(size_t(y) * width + x) * 4];
        p[0] = r, p[1] = g, p[2] = b, p[3] = a;
      }
    return *this;
  }
  Painting& All(uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
    return Fill(0, 0, width, height, r, g, b, a);
  }
  engine::Raster ToRaster() const {
    engine::Raster raster = engine::Raster::Allocate(width, height, engine::PixelFormat::Rgba32);
    std::memcpy(raster.pixels.get(), rgba.data(), rgba.size());
    return raster;
  }
  layouttest::Bytes Png() const { return layouttest::EncodePng(width, height, 4, rgba); }
};

// Two regions, red on the left and green on the right, on a transparent
// background; the overlay a frame that is opaque outside them.
Painting TwoRegions() {
  return std::move(
      Painting(120, 80).Fill(10, 10, 55, 70, 255, 0, 0).Fill(65, 10, 110, 70, 0, 255, 0));
}
Painting Frame() {
  return std::move(Painting(120, 80)
                       .All(40, 40, 120, 255)
                       .Fill(14, 14, 51, 66, 0, 0, 0, 0)
                       .Fill(69, 14, 106, 66, 0, 0, 0, 0));
}

std::vector<LayoutWarning> Check(const Painting& map, const Painting& overlay) {
  return tools::CheckLayout(map.ToRaster(), overlay.ToRaster());
}

std::vector<LayoutProblem> Problems(const std::vector<LayoutWarning>& warnings) {
  std::vector<LayoutProblem> out;
  for (const LayoutWarning& w : warnings) out.push_back(w.problem);
  return out;
}

TEST(LayoutCheck, AGoodLayoutAndTheBuiltInOnesHaveNoWarnings) {
  EXPECT_TRUE(Check(TwoRegions(), Frame()).empty());
  // Regions exactly 8 x 8 with 64 pixels, 16 of them, are still fine.
  Painting sixteen(200, 200);
  for (uint8_t i = 0; i < 16; ++i) sixteen.Fill(10 + i * 10, 10, 18 + i * 10, 18, 8 * i, 0, 0);
  EXPECT_TRUE(Check(sixteen, Painting(200, 200)).empty());
}

TEST(LayoutCheck, AnOpaqueBackgroundIsNamedWithItsColourAndBox) {
  // The case of a map exported without transparency: white around the regions.
  Painting map = TwoRegions();
  for (size_t i = 0; i < map.rgba.size(); i += 4)
    if (map.rgba[i + 3] == 0) std::memset(&map.rgba[i], 255, 4);
  const std::vector<LayoutWarning> warnings = Check(map, Frame());
  ASSERT_EQ(Problems(warnings), std::vector<LayoutProblem>{LayoutProblem::Background});
  EXPECT_FALSE(warnings[0].aboutOverlay);
  // White sorts last: region 3 of 3.
  EXPECT_EQ(warnings[0].text.rfind("region 3 of 3, colour (255, 255, 255), x 0-119, y 0-79: ", 0),
            0u)
      << warnings[0].text;
  EXPECT_NE(warnings[0].text.find("covers 43% of it"), std::string::npos) << warnings[0].text;

  // A whole map in one opaque colour is one region over the whole card.
  EXPECT_EQ(Problems(Check(Painting(120, 80).All(255, 255, 255, 255), Painting(120, 80))),
            std::vector<LayoutProblem>{LayoutProblem::Background});
  // Opaque black is a region too (the first one).
  Painting black = TwoRegions();
  for (size_t i = 3; i < black.rgba.size(); i += 4) black.rgba[i] = 255;
  const std::vector<LayoutWarning> onBlack = Check(black, Frame());
  ASSERT_EQ(Problems(onBlack), std::vector<LayoutProblem>{LayoutProblem::Background});
  EXPECT_EQ(onBlack[0].text.rfind("region 1 of 3, colour (0, 0, 0)", 0), 0u);
  // Reaching three edges is a border strip, not a background.
  EXPECT_TRUE(Check(Painting(120, 80).Fill(0, 0, 120, 79, 255, 0, 0), Painting(120, 80)).empty());
}

TEST(LayoutCheck, SmallRegionsByBoxOrByPixelCount) {
  Painting map = TwoRegions();
  map.Fill(56, 10, 63, 70, 128, 128, 0);  // 7 x 60: a seam between the two
  map.Fill(10, 72, 110, 79, 0, 0, 255);   // 100 x 7
  for (uint32_t i = 0; i < 8; ++i) map.Fill(111 + i / 2, 10 + i, 112 + i / 2, 11 + i, 9, 99, 200);
  const std::vector<LayoutWarning> warnings = Check(map, Painting(120, 80));
  ASSERT_EQ(Problems(warnings), std::vector<LayoutProblem>(3, LayoutProblem::SmallRegion));
  // Slot order: (128, 128, 0) before green (0, 255, 0)? Blue channel first,
  // then green: red, (128, 128, 0), green, the line (9, 99, 200), blue.
  EXPECT_EQ(warnings[0].text.rfind("region 2 of 5, colour (128, 128, 0), x 56-62, y 10-69: only "
                                   "420 pixels, smaller than 8 x 8",
                                   0),
            0u)
      << warnings[0].text;
  EXPECT_EQ(warnings[1].text.rfind("region 4 of 5, colour (9, 99, 200), x 111-114, y 10-17: "
                                   "only 8 pixels",
                                   0),
            0u)
      << warnings[1].text;
  EXPECT_EQ(warnings[2].text.rfind("region 5 of 5, colour (0, 0, 255), x 10-109, y 72-78", 0), 0u)
      << warnings[2].text;
  // An 8 x 8 box holding fewer than 64 pixels: a diagonal line.
  Painting diagonal(40, 40);
  for (uint32_t i = 0; i < 8; ++i) diagonal.Fill(5 + i, 5 + i, 6 + i, 6 + i, 255, 0, 0);
  EXPECT_EQ(Problems(Check(diagonal, Painting(40, 40))),
            std::vector<LayoutProblem>{LayoutProblem::SmallRegion});
}

TEST(LayoutCheck, OverlayOpaqueOverAWholeRegion) {
  // An overlay without transparency hides every photo.
  const std::vector<LayoutWarning> flat = Check(TwoRegions(), Painting(120, 80).All(9, 9, 9, 255));
  ASSERT_EQ(Problems(flat), std::vector<LayoutProblem>(2, LayoutProblem::OpaqueOverlay));
  EXPECT_TRUE(flat[0].aboutOverlay);
  EXPECT_EQ(flat[0].text.rfind("region 1 of 2, colour (255, 0, 0), x 10-54, y 10-69: the overlay "
                               "covers all of it",
                               0),
            0u)
      << flat[0].text;
  EXPECT_EQ(flat[1].text.rfind("region 2 of 2, colour (0, 255, 0)", 0), 0u);

  // Alpha 128 is too opaque; one pixel of 127 lets the photo show.
  Painting overlay = Frame();
  overlay.Fill(65, 0, 120, 80, 200, 200, 200, 128);
  EXPECT_EQ(Problems(Check(TwoRegions(), overlay)),
            std::vector<LayoutProblem>{LayoutProblem::OpaqueOverlay});
  overlay.Fill(109, 69, 110, 70, 200, 200, 200, 127);
  EXPECT_TRUE(Check(TwoRegions(), overlay).empty());
  // Transparency outside the region does not count for it.
  overlay.Fill(109, 69, 110, 70, 200, 200, 200, 128).Fill(111, 0, 112, 80, 0, 0, 0, 0);
  EXPECT_EQ(Problems(Check(TwoRegions(), overlay)),
            std::vector<LayoutProblem>{LayoutProblem::OpaqueOverlay});
}

TEST(LayoutCheck, TooManyRegionsComesFirstAndNamesTheSmallest) {
  Painting map(400, 100);
  for (uint8_t i = 0; i < 17; ++i) map.Fill(5 + i * 20, 10, 20 + i * 20, 30 + i, 0, 8 * i, 0);
  const std::vector<LayoutWarning> warnings = Check(map, Painting(400, 100));
  ASSERT_EQ(Problems(warnings), std::vector<LayoutProblem>{LayoutProblem::TooManyRegions});
  EXPECT_EQ(warnings[0].text,
            "17 regions, more than 16: each colour is a region (colours that "
            "differ only in the low 3 bits of each channel count as one); the "
            "smallest is region 1 of 17, colour (0, 0, 0), x 5-19, y 10-29, "
            "300 pixels");
  // Colours one step apart in the low bits are one region, not two.
  map.Fill(0, 90, 400, 100, 0, 4, 0);
  EXPECT_EQ(Problems(Check(map, Painting(400, 100))),
            std::vector<LayoutProblem>{LayoutProblem::TooManyRegions});
}

TEST(LayoutCheck, AMapWithoutRegions) {
  const std::vector<LayoutWarning> warnings = Check(Painting(30, 20), Painting(30, 20));
  ASSERT_EQ(Problems(warnings), std::vector<LayoutProblem>{LayoutProblem::NoRegions});
  EXPECT_NE(warnings[0].text.find("x 0-29, y 0-19"), std::string::npos);
}

// The tool itself: warnings on stderr naming the picture to fix, the file
// written anyway, and --strict refusing.
class LayoutWarningsToolTest : public tooltest::ToolTest {};

TEST_F(LayoutWarningsToolTest, WarnsAndWritesOrWithStrictRefuses) {
  WriteBytes("map.png", TwoRegions().Png());
  WriteBytes("flat.png", Painting(120, 80).All(9, 9, 9, 255).Png());
  WriteBytes("card.jli", {'o', 'l', 'd'});

  const tooltest::ToolResult warned =
      Layout({Path("map.png"), Path("flat.png"), "-o", Path("card.jli")});
  EXPECT_EQ(warned.exitCode, 0) << warned.err;
  EXPECT_EQ(tooltest::CountLines(warned.err), 2) << warned.err;
  EXPECT_EQ(warned.err.rfind("tessary-layout: warning: " + Path("flat.png") +
                                 ": region 1 of 2, colour (255, 0, 0), x 10-54, y 10-69: ",
                             0),
            0u)
      << warned.err;
  const layouttest::Bytes written = ReadBytes("card.jli");
  EXPECT_EQ(std::string(written.begin(), written.begin() + 16), "JQLayeredImage_1");

  WriteBytes("card.jli", {'o', 'l', 'd'});
  const tooltest::ToolResult strict =
      Layout({"--strict", Path("map.png"), Path("flat.png"), "-o", Path("card.jli")});
  EXPECT_EQ(strict.exitCode, 1);
  EXPECT_EQ(tooltest::CountLines(strict.err), 3) << strict.err;
  EXPECT_NE(strict.err.find("tessary-layout: " + Path("card.jli") +
                            ": not written: 2 warnings and --strict\n"),
            std::string::npos)
      << strict.err;
  EXPECT_EQ(ReadBytes("card.jli"), (layouttest::Bytes{'o', 'l', 'd'}));

  // Without warnings --strict writes as usual.
  WriteBytes("frame.png", Frame().Png());
  const tooltest::ToolResult clean =
      Layout({Path("map.png"), Path("frame.png"), "--strict", "-o", Path("card.jli")});
  EXPECT_EQ(clean.exitCode, 0);
  EXPECT_TRUE(clean.err.empty()) << clean.err;
}

TEST_F(LayoutWarningsToolTest, AFloodOfWarningsIsCut) {
  // The overlay given as the region map: every shade is a region.
  Painting shades(64, 64);
  for (uint32_t y = 0; y < 64; ++y)
    for (uint32_t x = 0; x < 64; ++x)
      shades.Fill(x, y, x + 1, y + 1, uint8_t(x * 4), uint8_t(y * 4), 0);
  WriteBytes("shades.png", shades.Png());
  WriteBytes("clear.png", Painting(64, 64).Png());
  const tooltest::ToolResult result =
      Layout({Path("shades.png"), Path("clear.png"), "-o", Path("card.jli")});
  // Cut to 20 and a count, then refused: more regions than a card may have.
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(tooltest::CountLines(result.err), 22) << result.err;
  EXPECT_NE(result.err.find(": 1024 regions, more than 16"), std::string::npos);
  EXPECT_NE(result.err.find(": 1024 regions, more than the 64 a card can have"),
            std::string::npos);
  // 1024 small regions, one of which reaches... none reaches all four edges.
  EXPECT_NE(result.err.find("tessary-layout: warning: 1005 more warnings not shown\n"),
            std::string::npos)
      << result.err;
  // Every warning line names a colour and a place.
  std::istringstream lines(result.err);
  std::string line;
  const std::regex named(R"(colour \(\d+, \d+, \d+\), x \d+-\d+, y \d+-\d+)");
  int checked = 0;
  while (std::getline(lines, line) && checked < 20) {
    EXPECT_TRUE(std::regex_search(line, named)) << line;
    ++checked;
  }
}

}  // namespace
