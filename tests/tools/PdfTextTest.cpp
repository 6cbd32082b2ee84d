// Words in tessary-render's PDFs are text: found by a reader, drawn from the
// embedded font, and where the card's pixels have them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "engine/raster/Raster.h"
#include "imagefiles/DecodeImage.h"
#include "resources/BuiltInImages.h"
#include "text/FontFiles.h"
#include "tools/ToolRunner.h"

namespace {

#ifndef _WIN32
std::string Output(const std::string& command) { return tooltest::ShellOutput(command); }

const char* Missing() {
  if (resources::FindPngResource(201).size == 0 || text::BundledFontFolder().empty())
    return "built-in artwork or bundled fonts not in this build";
  if (Output("command -v pdftotext && command -v pdffonts && command -v pdftoppm").empty())
    return "poppler-utils (pdftotext, pdffonts, pdftoppm) is missing";
  return nullptr;
}

size_t Count(const std::string& text, const std::string& part) {
  size_t n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

engine::Raster Decode(const std::vector<uint8_t>& file) {
  engine::Raster picture;
  imagefiles::DecodeImage(file.data(), uint32_t(file.size()), false, &picture);
  return picture;
}

struct Change {
  double words = 0;     // how much the words change the card's pixels
  double mismatch = 0;  // how much the page's change differs from that
};

// Inside a box (fractions of the card), the words' change to the card's
// pixels against their change to the page, each the mean of every pixel's
// largest channel difference. Comparing changes leaves out how the page's
// JPEG differs from the pixels it was made from.
Change Compare(const engine::Raster& page, const engine::Raster& pagePlain,
               const engine::Raster& card, const engine::Raster& cardPlain, const double box[4]) {
  Change change;
  for (const engine::Raster* r : {&pagePlain, &card, &cardPlain})
    if (r->width != page.width || r->height != page.height || r->format != page.format ||
        page.width == 0) {
      change.mismatch = 1e9;
      return change;
    }
  const uint32_t channels = engine::BytesPerPixel(page.format);
  const auto x0 = uint32_t(box[0] * page.width), x1 = uint32_t((box[0] + box[2]) * page.width);
  const auto y0 = uint32_t(box[1] * page.height), y1 = uint32_t((box[1] + box[3]) * page.height);
  for (uint32_t y = y0; y < y1; ++y)
    for (uint32_t x = x0; x < x1; ++x) {
      int words = 0, mismatch = 0;
      for (uint32_t c = 0; c < std::min<uint32_t>(channels, 3); ++c) {
        const size_t at = size_t(y) * page.Stride() + size_t(x) * channels + c;
        const int inPixels = int(card.pixels[at]) - int(cardPlain.pixels[at]);
        const int onPage = int(page.pixels[at]) - int(pagePlain.pixels[at]);
        words = std::max(words, std::abs(inPixels));
        mismatch = std::max(mismatch, std::abs(onPage - inPixels));
      }
      change.words += words;
      change.mismatch += mismatch;
    }
  const double count = double(x1 - x0) * double(y1 - y0);
  change.words /= count;
  change.mismatch /= count;
  return change;
}
#endif

class PdfTextTest : public tooltest::ToolTest {};

TEST_F(PdfTextTest, WordsAreFoundDrawnFromTheirFontAndWhereThePixelsHaveThem) {
#ifdef _WIN32
  GTEST_SKIP() << "poppler-utils reads the PDFs on Linux";
#else
  if (const char* missing = Missing()) GTEST_SKIP() << missing;
  struct Case {
    const char* words;
    double box[4];
    std::vector<std::string> style;
    const char* font;  // as pdffonts lists it
  } cases[] = {
      {"Happy Birthday", {0.1, 0.1, 0.8, 0.25},
       {"--font", "DejaVu Sans", "--size", "40", "--colour", "#c02040", "--effect", "shadow"},
       "+DejaVuSans "},
      {"Bold Serif", {0.1, 0.6, 0.8, 0.25},
       {"--font", "DejaVu Serif", "--bold", "--colour", "#204020"},
       "+DejaVuSerif-Bold "},
      {"Dancing Words", {0.05, 0.35, 0.9, 0.3},
       {"--font", "Dancing Script", "--size", "44", "--colour", "#102080", "--effect", "outline"},
       "+DancingScript"},
      // Dancing Script has no italic: the slanted outlines go in as they are
      // drawn on the card's pixels.
      {"Slanted Script", {0.05, 0.35, 0.9, 0.3},
       {"--font", "Dancing Script", "--italic", "--size", "44", "--effect", "outline"},
       "Type 3"},
  };
  for (const Case& c : cases) {
    const std::string box = std::to_string(c.box[0]) + "," + std::to_string(c.box[1]) + "," +
                            std::to_string(c.box[2]) + "," + std::to_string(c.box[3]);
    std::vector<std::string> words = {"--text", c.words, "--text-box", box};
    words.insert(words.end(), c.style.begin(), c.style.end());
    auto render = [&](const std::string& out, bool withWords) {
      std::vector<std::string> args = {"--template", "0", "-o", Path(out)};
      if (withWords) args.insert(args.end(), words.begin(), words.end());
      const tooltest::ToolResult result = Render(args);
      EXPECT_EQ(result.exitCode, 0) << c.words << result.err;
    };
    render("card.pdf", true);
    render("card.png", true);
    render("plain.pdf", false);
    render("plain.png", false);

    EXPECT_EQ(Count(Output("pdftotext '" + Path("card.pdf") + "' -"), c.words), 1u) << c.words;
    const std::string fonts = Output("pdffonts '" + Path("card.pdf") + "'");
    EXPECT_NE(fonts.find(c.font), std::string::npos) << c.words << "\n" << fonts;

    // The page at the card's own 150 ppi: inside the box, the words change
    // it as they change the card's pixels, but for their edges, which the
    // pixels mix in linear light and a PDF reader does not (words moved by
    // two pixels differ by half as much as they change the card).
    for (const char* name : {"card", "plain"})
      Output("pdftoppm -r 150 -png '" + Path(std::string(name) + ".pdf") + "' '" +
             Path(std::string(name) + "-page") + "'");
    const Change change =
        Compare(Decode(ReadBytes("card-page-1.png")), Decode(ReadBytes("plain-page-1.png")),
                Decode(ReadBytes("card.png")), Decode(ReadBytes("plain.png")), c.box);
    EXPECT_GT(change.words, 5.0) << c.words;
    EXPECT_LT(change.mismatch, change.words * 0.4) << c.words << ": " << change.words;
  }
#endif
}

// Every copy on a sheet carries its words; a card without words has no
// fonts at all.
TEST_F(PdfTextTest, EveryCopyOnASheetHasItsWords) {
#ifdef _WIN32
  GTEST_SKIP() << "poppler-utils reads the PDFs on Linux";
#else
  if (const char* missing = Missing()) GTEST_SKIP() << missing;
  const std::vector<std::string> sheet = {"--template", "0", "--print", "--paper", "a4",
                                          "--placement", "sheet"};
  std::vector<std::string> args = sheet;
  args.insert(args.end(),
              {"--text", "Many Thanks", "--effect", "shadow", "-o", Path("sheet.pdf")});
  ASSERT_EQ(Render(args).exitCode, 0);
  EXPECT_EQ(Count(Output("pdftotext '" + Path("sheet.pdf") + "' -"), "Many Thanks"), 2u);
  // The card and its words' shadow are each held once, however many copies
  // show them: pdfimages lists every drawing by the object drawn.
  std::set<std::string> objects;
  std::istringstream lines(Output("pdfimages -list '" + Path("sheet.pdf") + "'"));
  std::string line;
  size_t drawn = 0;
  for (int skip = 0; skip < 2 && std::getline(lines, line);) ++skip;
  while (std::getline(lines, line)) {
    std::istringstream f(line);
    std::string field;
    for (int i = 0; i < 11 && f >> field; ++i) {}
    objects.insert(field);
    ++drawn;
  }
  EXPECT_EQ(drawn, 6u);  // each copy: the card, the shadow's picture and its alpha
  EXPECT_EQ(objects.size(), 2u);

  args = sheet;
  args.insert(args.end(), {"-o", Path("plain.pdf")});
  ASSERT_EQ(Render(args).exitCode, 0);
  const std::string fonts = Output("pdffonts '" + Path("plain.pdf") + "'");
  EXPECT_EQ(Count(fonts, "\n"), 2u) << fonts;  // the heading only
#endif
}

}  // namespace
