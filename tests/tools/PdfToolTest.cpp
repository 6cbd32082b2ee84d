// tessary-render's PDFs, read back with poppler's own tools.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "resources/BuiltInImages.h"
#include "tools/ToolRunner.h"

namespace {

#ifndef _WIN32

bool HasArtwork() { return resources::FindPngResource(301).size != 0; }

std::string Output(const std::string& command) { return tooltest::ShellOutput(command); }

bool HasPoppler() {
  return !Output("command -v pdfinfo && command -v pdfimages && command -v pdftoppm").empty();
}

std::string PageSize(const std::string& pdf) {
  std::istringstream lines(Output("pdfinfo '" + pdf + "'"));
  std::string line;
  while (std::getline(lines, line)) {
    if (line.rfind("Page size:", 0) == 0) return line.substr(line.find_first_not_of(' ', 10));
  }
  return "";
}

// One "width height enc x-ppi" per image drawn, from pdfimages -list.
std::vector<std::string> Images(const std::string& pdf) {
  std::istringstream lines(Output("pdfimages -list '" + pdf + "'"));
  std::vector<std::string> images;
  std::string line;
  for (int skip = 0; skip < 2 && std::getline(lines, line);) ++skip;
  while (std::getline(lines, line)) {
    std::istringstream f(line);
    std::string page, num, type, width, height, color, comp, bpc, enc, interp, object, gen, xppi;
    f >> page >> num >> type >> width >> height >> color >> comp >> bpc >> enc >> interp >>
        object >> gen >> xppi;
    images.push_back(width + " " + height + " " + enc + " " + xppi + " object " + object);
  }
  return images;
}
#endif

class PdfToolTest : public tooltest::ToolTest {};

TEST_F(PdfToolTest, PagesArePhysicalSizesAndSheetsCentreTheirCards) {
#ifdef _WIN32
  GTEST_SKIP() << "poppler-utils reads the PDFs on Linux (scripts/windows-render-check.sh)";
#else
  if (!HasArtwork()) GTEST_SKIP() << "built-in artwork not in this build";
  if (!HasPoppler()) GTEST_SKIP() << "poppler-utils (pdfinfo, pdfimages, pdftoppm) is missing";
  struct Case {
    std::vector<std::string> args;
    std::string pageSize;
    std::vector<std::string> images;
  };
  const Case cases[] = {
      {{"--template", "0", "--print", "-o", Path("print.pdf")},
       "432 x 288 pts",
       {"1800 1200 jpeg 300 object 6"}},
      // A screen card is the same 6 x 4 in, at 150 ppi.
      {{"--template", "0", "--format", "pdf", "-o", Path("screen.card")},
       "432 x 288 pts",
       {"900 600 jpeg 150 object 6"}},
      {{"--template", "5", "--print", "--paper", "letter", "--placement", "fit", "-o",
        Path("fit.pdf")},
       "612 x 792 pts (letter)",
       {"1500 2100 jpeg 200 object 6"}},
      {{"--template", "0", "--print", "--paper", "a4", "--placement", "sheet", "-o",
        Path("sheet.pdf")},
       "595.276 x 841.89 pts (A4)",
       {"1800 1200 jpeg 300 object 6", "1800 1200 jpeg 300 object 6"}},
  };
  for (const Case& c : cases) {
    const tooltest::ToolResult result = Render(c.args);
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const std::string& pdf = c.args.back();
    EXPECT_EQ(PageSize(pdf), c.pageSize) << pdf;
    EXPECT_EQ(Images(pdf), c.images) << pdf;
  }

  // The sheet at two pixels a point: the two cards fill a centred
  // 6 x 8 in block (81.64 to 513.64 across, 132.94 to 708.94 down, the cut
  // between them at 420.94), white round it but for the cut marks, which
  // end 3 points short of the cards.
  Output("pdftoppm -r 144 -gray '" + Path("sheet.pdf") + "' '" + Path("sheet") + "'");
  const std::string pgm = tooltest::ReadText(dir_ / "sheet-1.pgm");
  ASSERT_EQ(pgm.rfind("P5\n1191 1684\n255\n", 0), 0u) << pgm.substr(0, 20);
  const size_t header = std::string("P5\n1191 1684\n255\n").size();
  auto at = [&](double x, double y) {
    return int(uint8_t(pgm[header + size_t(y * 2) * 1191 + size_t(x * 2)]));
  };
  for (double top : {132.94, 420.94}) {
    long sum = 0, count = 0;
    for (double y = top + 2; y < top + 286; y += 1) {
      for (double x = 83.64; x < 511.64; x += 1, ++count) sum += at(x, y);
    }
    EXPECT_LT(sum / count, 235) << "card at " << top;
  }
  for (double y : {5.0, 60.0, 420.94, 780.0, 836.0}) {
    for (double x : {5.0, 40.0, 555.0, 590.0}) EXPECT_EQ(at(x, y), 255) << x << "," << y;
  }
  int darkest = 255;
  for (double x = 68; x <= 78; x += 0.5) darkest = std::min(darkest, at(x, 420.94));
  EXPECT_LT(darkest, 160);
  EXPECT_EQ(at(80, 420.94), 255);  // between the mark and the cards
  EXPECT_EQ(at(80, 200), 255);

  // The page options belong to a PDF and to nothing else.
  const std::vector<std::vector<std::string>> badLines = {
      {"--paper", "a4", "-o", Path("bad.jpg")},
      {"--paper", "a5", "-o", Path("bad.pdf")},
      {"--placement", "sheet", "-o", Path("bad.pdf")},
      {"--paper", "a4", "--placement", "middle", "-o", Path("bad.pdf")},
      {"--format", "pdf", "--paper", "a4", "--format", "png", "-o", Path("bad.pdf")},
  };
  for (const auto& args : badLines) {
    const tooltest::ToolResult result = Render(args);
    EXPECT_EQ(result.exitCode, 2) << args[1];
    EXPECT_NE(result.err.find("usage: tessary-render"), std::string::npos);
  }
  EXPECT_FALSE(std::filesystem::exists(Path("bad.pdf")));
  EXPECT_FALSE(std::filesystem::exists(Path("bad.jpg")));
#endif
}

}  // namespace
