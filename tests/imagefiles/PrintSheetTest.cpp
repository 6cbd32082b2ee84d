#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "imagefiles/PdfPlacement.h"

using namespace imagefiles;

namespace {

constexpr double kA4W = 210 * 72 / 25.4, kA4H = 297 * 72 / 25.4;

PdfSheet A4(PdfMargins upright) { return {kA4W, kA4H, upright, Turned(upright)}; }

bool Inside(const PdfRect& inner, const PdfRect& outer) {
  constexpr double e = 1e-9;
  return inner.x >= outer.x - e && inner.y >= outer.y - e &&
         inner.x + inner.width <= outer.x + outer.width + e &&
         inner.y + inner.height <= outer.y + outer.height + e;
}

}  // namespace

// A PDF's paper has no unprintable edge: placing on it must be the very
// same arithmetic as placing on a named paper, to the last bit.
TEST(PrintSheet, WithoutMarginsItIsThePdfPlacementBitForBit) {
  for (int paper = 1; paper <= 5; ++paper) {
    for (int placement = 0; placement < 4; ++placement) {
      for (const auto& card : {std::pair{432.0, 288.0}, std::pair{360.0, 504.0},
                               std::pair{700.0, 1000.0}, std::pair{285.0, 420.94}}) {
        const PdfPageOptions options{PdfPaper(paper), PdfPlacement(placement)};
        PdfSheet sheet;
        ASSERT_TRUE(PdfPaperSheet(options.paper, &sheet));
        const PdfPageLayout a = PlaceCardOnPage(card.first, card.second, options);
        const PdfPageLayout b =
            PlaceCardOnSheet(card.first, card.second, sheet, options.placement);
        ASSERT_EQ(a.cards.size(), b.cards.size());
        ASSERT_EQ(a.cutMarks.size(), b.cutMarks.size());
        EXPECT_EQ(std::memcmp(&a.pageWidth, &b.pageWidth, sizeof(double)), 0);
        EXPECT_EQ(std::memcmp(a.cards.data(), b.cards.data(), a.cards.size() * sizeof(PdfRect)),
                  0);
        EXPECT_EQ(std::memcmp(a.cutMarks.data(), b.cutMarks.data(),
                              a.cutMarks.size() * sizeof(PdfLine)),
                  0);
      }
    }
  }
  PdfSheet none;
  EXPECT_FALSE(PdfPaperSheet(PdfPaper::Card, &none));
}

TEST(PrintSheet, ThePrintersMarginsDecideWhatFitsAndWhatIsCropped) {
  const struct {
    const char* what;
    double cardW, cardH;
    PdfSheet sheet;
    PdfPlacement placement;
    size_t cards;
    bool turned, cropped;
  } cases[] = {
      {"6x4 on A4, small margins: two, one above the other", 432, 288,
       A4({12, 12, 12, 12}), PdfPlacement::Sheet, 2, false, false},
      {"6x4 on A4, wide margins leave room for one", 432, 288, A4({60, 150, 60, 150}),
       PdfPlacement::Sheet, 1, false, false},
      {"6x4 actual on A4 lies on its side, whole", 432, 288, A4({12, 12, 12, 12}),
       PdfPlacement::Actual, 1, true, false},
      {"4x6 actual on 4x6 paper with margins is cropped", 288, 432,
       {288, 432, {9, 9, 9, 9}, {9, 9, 9, 9}}, PdfPlacement::Actual, 1, false, true},
      {"4x6 actual on borderless 4x6 paper is whole", 288, 432, {288, 432, {}, {}},
       PdfPlacement::Actual, 1, false, false},
      {"fill with margins is cropped", 432, 288, A4({12, 12, 12, 12}), PdfPlacement::Fill, 1,
       true, true},
      {"fit never is", 432, 288, A4({30, 5, 70, 5}), PdfPlacement::Fit, 1, true, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const PdfPageLayout layout = PlaceCardOnSheet(c.cardW, c.cardH, c.sheet, c.placement);
    EXPECT_EQ(layout.cards.size(), c.cards);
    EXPECT_EQ(layout.turned, c.turned);
    EXPECT_EQ(layout.cropped, c.cropped);
    // The printable area is the page less the margins of the way it lies.
    const PdfMargins& m = c.turned ? c.sheet.turned : c.sheet.upright;
    EXPECT_DOUBLE_EQ(layout.printable.x, m.left);
    EXPECT_DOUBLE_EQ(layout.printable.y, m.top);
    EXPECT_DOUBLE_EQ(layout.printable.x + layout.printable.width, layout.pageWidth - m.right);
    EXPECT_DOUBLE_EQ(layout.printable.y + layout.printable.height, layout.pageHeight - m.bottom);
    if (!c.cropped) {
      for (const PdfRect& card : layout.cards) EXPECT_TRUE(Inside(card, layout.printable));
    }
    // Cut marks are printed, and never on a card.
    for (const PdfLine& line : layout.cutMarks) {
      const PdfRect mark{std::min(line.x0, line.x1), std::min(line.y0, line.y1),
                         std::abs(line.x1 - line.x0), std::abs(line.y1 - line.y0)};
      EXPECT_TRUE(Inside(mark, layout.printable));
      for (const PdfRect& card : layout.cards) {
        const bool overlaps = mark.x < card.x + card.width && card.x < mark.x + mark.width &&
                              mark.y < card.y + card.height && card.y < mark.y + mark.height;
        EXPECT_FALSE(overlaps);
      }
    }
  }
}

TEST(PrintSheet, AWiderMarginOnOneSideMovesTheCardOnlyAsFarAsItMust) {
  // 250 points unprintable on the left of a turned A4: centring puts a
  // 6 x 4 in card 205 points in, into it; a fitted card is pushed clear.
  const PdfSheet sheet = A4({0, 0, 0, 0});
  PdfSheet leftHeavy = sheet;
  leftHeavy.turned = {250, 0, 0, 0};
  const PdfPageLayout actual = PlaceCardOnSheet(432, 288, leftHeavy, PdfPlacement::Actual);
  EXPECT_DOUBLE_EQ(actual.cards[0].x, (kA4H - 432) / 2);  // centred, and cropped
  EXPECT_TRUE(actual.cropped);
  const PdfPageLayout fit = PlaceCardOnSheet(432, 288, leftHeavy, PdfPlacement::Fit);
  EXPECT_DOUBLE_EQ(fit.cards[0].x, 250);
  EXPECT_LE(fit.cards[0].x + fit.cards[0].width, kA4H - kPdfPaperMargin + 1e-9);
  EXPECT_FALSE(fit.cropped);
  // Margins under the quarter inch change nothing.
  PdfSheet narrow = sheet;
  narrow.turned = {10, 10, 10, 10};
  const PdfPageLayout a = PlaceCardOnSheet(432, 288, narrow, PdfPlacement::Fit);
  const PdfPageLayout b = PlaceCardOnSheet(432, 288, sheet, PdfPlacement::Fit);
  EXPECT_DOUBLE_EQ(a.cards[0].x, b.cards[0].x);
  EXPECT_DOUBLE_EQ(a.cards[0].width, b.cards[0].width);
}

TEST(PrintSheet, TurningThePageTurnsItsMargins) {
  const PdfMargins m = Turned({1, 2, 3, 4});  // left, top, right, bottom
  EXPECT_EQ(m.left, 4);
  EXPECT_EQ(m.top, 1);
  EXPECT_EQ(m.right, 2);
  EXPECT_EQ(m.bottom, 3);
}
