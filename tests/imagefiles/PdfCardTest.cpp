#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "TestImages.h"
#include "imagefiles/CardWriter.h"
#include "imagefiles/PdfCardWriter.h"
#include "imagefiles/PdfPlacement.h"
#include "imagefiles/SafeOutputFile.h"

namespace {

using imagefiles::PdfPageLayout;
using imagefiles::PdfPaper;
using imagefiles::PdfPlacement;
using imagefiles::PdfRect;

constexpr double kTolerance = 0.01;  // points

struct PlacementCase {
  const char* what;
  double cardWidth, cardHeight;
  PdfPaper paper;
  PdfPlacement placement;
  double pageWidth, pageHeight;
  std::vector<PdfRect> cards;
};

bool Overlaps(const imagefiles::PdfLine& line, const PdfRect& card) {
  // Marks are upright or level; a mark on a card's edge line but outside
  // its span does not overlap it.
  const double left = std::min(line.x0, line.x1), right = std::max(line.x0, line.x1);
  const double top = std::min(line.y0, line.y1), bottom = std::max(line.y0, line.y1);
  return left < card.x + card.width - kTolerance && right > card.x + kTolerance &&
         top < card.y + card.height - kTolerance && bottom > card.y + kTolerance;
}

TEST(PdfPlacement, PagesCardsAndCutMarks) {
  const PlacementCase cases[] = {
      {"the card's own page", 432, 288, PdfPaper::Card, PdfPlacement::Sheet, 432, 288,
       {{0, 0, 432, 288}}},
      {"actual: a landscape card turns A4 and sits in its middle", 432, 288, PdfPaper::A4,
       PdfPlacement::Actual, 841.89, 595.28, {{204.94, 153.64, 432, 288}}},
      {"fit: a 5 x 7 in card grows to letter's margins", 360, 504, PdfPaper::Letter,
       PdfPlacement::Fit, 612, 792, {{36, 18, 540, 756}}},
      {"fit: a card larger than the paper shrinks", 864, 576, PdfPaper::Photo4x6,
       PdfPlacement::Fit, 432, 288, {{27, 18, 378, 252}}},
      {"fill: covers A6, the overhang cut evenly", 432, 288, PdfPaper::A6, PdfPlacement::Fill,
       419.53, 297.64, {{-13.46, 0, 446.46, 297.64}}},
      {"fill: a card of the paper's shape fits exactly", 288, 432, PdfPaper::Photo4x6,
       PdfPlacement::Fill, 288, 432, {{0, 0, 288, 432}}},
      {"sheet: two 6 x 4 in cards on upright A4", 432, 288, PdfPaper::A4, PdfPlacement::Sheet,
       595.28, 841.89, {{81.64, 132.94, 432, 288}, {81.64, 420.94, 432, 288}}},
      {"sheet: letter turns when that holds more", 360, 504, PdfPaper::Letter,
       PdfPlacement::Sheet, 792, 612, {{36, 54, 360, 504}, {396, 54, 360, 504}}},
      {"sheet: one card even when none fits", 432, 288, PdfPaper::A6, PdfPlacement::Sheet,
       297.64, 419.53, {{-67.18, 65.76, 432, 288}}},
  };
  for (const PlacementCase& c : cases) {
    SCOPED_TRACE(c.what);
    const PdfPageLayout layout =
        imagefiles::PlaceCardOnPage(c.cardWidth, c.cardHeight, {c.paper, c.placement});
    EXPECT_NEAR(layout.pageWidth, c.pageWidth, kTolerance);
    EXPECT_NEAR(layout.pageHeight, c.pageHeight, kTolerance);
    ASSERT_EQ(layout.cards.size(), c.cards.size());
    for (size_t i = 0; i < c.cards.size(); ++i) {
      EXPECT_NEAR(layout.cards[i].x, c.cards[i].x, kTolerance) << i;
      EXPECT_NEAR(layout.cards[i].y, c.cards[i].y, kTolerance) << i;
      EXPECT_NEAR(layout.cards[i].width, c.cards[i].width, kTolerance) << i;
      EXPECT_NEAR(layout.cards[i].height, c.cards[i].height, kTolerance) << i;
      // Never stretched.
      EXPECT_NEAR(layout.cards[i].width * c.cardHeight, layout.cards[i].height * c.cardWidth,
                  kTolerance);
    }
    if (c.placement != PdfPlacement::Sheet || c.paper == PdfPaper::Card) {
      EXPECT_TRUE(layout.cutMarks.empty());
      continue;
    }
    // Two marks for every grid line, none touching a card, each on the
    // line of a card's edge.
    double left = 1e9, top = 1e9, right = -1e9, bottom = -1e9;
    for (const PdfRect& r : layout.cards) {
      left = std::min(left, r.x);
      top = std::min(top, r.y);
      right = std::max(right, r.x + r.width);
      bottom = std::max(bottom, r.y + r.height);
    }
    const size_t columns = size_t(std::lround((right - left) / c.cardWidth));
    const size_t rows = size_t(std::lround((bottom - top) / c.cardHeight));
    EXPECT_EQ(columns * rows, c.cards.size());
    EXPECT_EQ(layout.cutMarks.size(), 2 * (columns + 1) + 2 * (rows + 1));
    for (const imagefiles::PdfLine& mark : layout.cutMarks) {
      for (const PdfRect& r : layout.cards) EXPECT_FALSE(Overlaps(mark, r));
      const bool upright = mark.x0 == mark.x1;
      EXPECT_TRUE(upright || mark.y0 == mark.y1);
      EXPECT_NEAR(std::fabs(upright ? mark.y1 - mark.y0 : mark.x1 - mark.x0),
                  imagefiles::kPdfCutMarkLength, kTolerance);
      const double along = upright ? mark.x0 : mark.y0;
      const double first = upright ? left : top;
      const double step = upright ? c.cardWidth : c.cardHeight;
      const double lines = (along - first) / step;
      EXPECT_NEAR(lines, std::round(lines), 1e-9);
    }
  }
}

TEST(PdfPlacement, NamesOfPapersAndPlacements) {
  PdfPaper paper = PdfPaper::Card;
  EXPECT_TRUE(imagefiles::PdfPaperFromName("5x7in", &paper));
  EXPECT_EQ(paper, PdfPaper::Photo5x7);
  for (const char* bad : {"", "A4", "a5", "4x6", "letter "})
    EXPECT_FALSE(imagefiles::PdfPaperFromName(bad, &paper)) << bad;
  EXPECT_EQ(paper, PdfPaper::Photo5x7);
  PdfPlacement placement = PdfPlacement::Actual;
  EXPECT_TRUE(imagefiles::PdfPlacementFromName("sheet", &placement));
  EXPECT_EQ(placement, PdfPlacement::Sheet);
  EXPECT_FALSE(imagefiles::PdfPlacementFromName("centre", &placement));
  EXPECT_EQ(placement, PdfPlacement::Sheet);
}

bool Contains(const std::vector<uint8_t>& haystack, const std::vector<uint8_t>& needle) {
  return std::search(haystack.begin(), haystack.end(), needle.begin(), needle.end()) !=
         haystack.end();
}

std::vector<uint8_t> Text(const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); }

std::vector<std::string> Sorted(std::vector<std::string> names) {
  std::sort(names.begin(), names.end());
  return names;
}

TEST(PdfCardWriter, EmbedsTheCardFilesJpegOnceAndFailsWithoutHarm) {
  testimages::TempFolder folder;
  const uint32_t width = 300, height = 200;
  const std::vector<uint8_t> pixels = testimages::SyntheticPhoto(width, height, 3);
  const imagefiles::CardEncoding encoding = imagefiles::CardEncoding::Print(300);
  ASSERT_TRUE(imagefiles::WriteCard(folder.File("card.jpg"), imagefiles::CardFormat::Jpeg,
                                    pixels.data(), width, height, width * 3, encoding));
  const std::vector<uint8_t> jpeg = testimages::ReadBytes(folder.File("card.jpg"));

  // 1 x 2/3 in cards on 4 x 6 in paper: 25 on it turned, 24 upright.
  const std::string path = folder.File("card.pdf");
  const imagefiles::PdfPageOptions sheet{PdfPaper::Photo4x6, PdfPlacement::Sheet};
  ASSERT_TRUE(imagefiles::WriteCardPdf(path, pixels.data(), width, height, width * 3, encoding,
                                       300, sheet));
  const std::vector<uint8_t> pdf = testimages::ReadBytes(path);
  ASSERT_GT(pdf.size(), jpeg.size());
  EXPECT_TRUE(Contains(pdf, Text("%PDF-")));
  EXPECT_TRUE(Contains(pdf, Text("/MediaBox [ 0 0 432 288 ]")));
  EXPECT_TRUE(Contains(pdf, jpeg));  // not decoded and compressed again
  // Shown many times, stored once.
  const auto second = std::search(pdf.begin(), pdf.end(), jpeg.begin(), jpeg.end()) + 1;
  EXPECT_EQ(std::search(second, pdf.end(), jpeg.begin(), jpeg.end()), pdf.end());

  // Any failed write leaves the old file as it was and nothing beside it.
  uint32_t nth = 1;
  for (;; ++nth) {
    imagefiles::FailOutputWriteForTesting(nth);
    const imagefiles::SaveResult result = imagefiles::WriteCardPdf(
        path, pixels.data(), width, height, width * 3, encoding, 150, {});
    imagefiles::FailOutputWriteForTesting(0);
    EXPECT_EQ(Sorted(folder.Names()), (std::vector<std::string>{"card.jpg", "card.pdf"}));
    if (result) break;
    EXPECT_EQ(result.step, imagefiles::SaveStep::Write);
    EXPECT_EQ(testimages::ReadBytes(path), pdf) << "write " << nth;
  }
  EXPECT_GE(nth, 3u);
  EXPECT_TRUE(Contains(testimages::ReadBytes(path), Text("/MediaBox [ 0 0 144 96 ]")));

  // A card cairo cannot hold is refused before the target is touched.
  const std::vector<uint8_t> wide(size_t(imagefiles::kMaxPdfCardSide + 1) * 3, 0);
  const imagefiles::SaveResult tooWide =
      imagefiles::WriteCardPdf(folder.File("wide.pdf"), wide.data(),
                               imagefiles::kMaxPdfCardSide + 1, 1, uint32_t(wide.size()),
                               encoding, 300, {});
  EXPECT_EQ(tooWide.step, imagefiles::SaveStep::Card);
  EXPECT_EQ(tooWide.cause, imagefiles::SaveError::TooLargeForPdf);
  EXPECT_EQ(imagefiles::WriteCardPdf(folder.File("none.pdf"), pixels.data(), width, height,
                                     width * 3, encoding, 0, {})
                .cause,
            imagefiles::SaveError::BadCard);
  EXPECT_EQ(Sorted(folder.Names()), (std::vector<std::string>{"card.jpg", "card.pdf"}));
}

// Without the time it was made, which two writes do not share.
std::vector<uint8_t> Undated(std::vector<uint8_t> pdf) {
  const std::vector<uint8_t> key = Text("/CreationDate (");
  const auto at = std::search(pdf.begin(), pdf.end(), key.begin(), key.end());
  if (at != pdf.end()) pdf.erase(at, std::find(at, pdf.end(), uint8_t(')')));
  return pdf;
}

// Words that cannot be drawn fail the write before the target is touched;
// words with nothing in them change nothing at all.
TEST(PdfCardWriter, WordsAreDrawnWholeOrTheWriteFails) {
  testimages::TempFolder folder;
  const uint32_t width = 300, height = 200;
  const std::vector<uint8_t> pixels = testimages::SyntheticPhoto(width, height, 5);
  const imagefiles::CardEncoding encoding;
  const std::string path = folder.File("card.pdf");
  ASSERT_TRUE(imagefiles::WriteCardPdf(path, pixels.data(), width, height, width * 3, encoding,
                                       150, {}));
  const std::vector<uint8_t> plain = testimages::ReadBytes(path);

  // A made-up face carries its own outlines: a square glyph.
  text::VectorWords square;
  square.width = width;
  square.height = height;
  text::VectorFace face;
  face.emSize = 40 * 64;
  face.madeUp = true;
  text::GlyphPath& path1 = face.outlines[7];
  using Step = text::GlyphPath::Step;
  path1.steps = {Step::Move, Step::Line, Step::Line, Step::Line, Step::Close};
  path1.points = {0, 0, 1280, 0, 1280, 1280, 0, 1280};
  path1.advance = 1400;
  square.faces.push_back(face);
  text::VectorText words;
  words.colour = 0xff000000;
  words.glyphs.push_back({0, 7, 50 * 64, 100 * 64, "A", true});
  square.texts.push_back(words);

  text::VectorWords gone = square;  // a face whose file went away
  gone.faces[0].madeUp = false;
  gone.faces[0].file.path = folder.File("no such font.ttf");
  text::VectorWords otherSize = square;
  otherSize.width = width + 1;

  struct Case {
    const char* what;
    const text::VectorWords* words;
    imagefiles::SaveStep step;
  } failures[] = {{"a face that does not read", &gone, imagefiles::SaveStep::Encode},
                  {"words set for another card", &otherSize, imagefiles::SaveStep::Card}};
  for (const Case& c : failures) {
    const imagefiles::SaveResult result = imagefiles::WriteCardPdf(
        path, pixels.data(), width, height, width * 3, encoding, 150, {}, c.words);
    EXPECT_FALSE(result) << c.what;
    EXPECT_EQ(result.step, c.step) << c.what;
    EXPECT_EQ(testimages::ReadBytes(path), plain) << c.what;
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"card.pdf"}) << c.what;
  }

  const text::VectorWords none;
  ASSERT_TRUE(imagefiles::WriteCardPdf(path, pixels.data(), width, height, width * 3, encoding,
                                       150, {}, &none));
  EXPECT_EQ(Undated(testimages::ReadBytes(path)), Undated(plain));

  ASSERT_TRUE(imagefiles::WriteCardPdf(path, pixels.data(), width, height, width * 3, encoding,
                                       150, {}, &square));
  const std::vector<uint8_t> worded = testimages::ReadBytes(path);
  EXPECT_TRUE(Contains(worded, Text("/Subtype /Type3")));
  EXPECT_NE(Undated(worded), Undated(plain));
}

}  // namespace
