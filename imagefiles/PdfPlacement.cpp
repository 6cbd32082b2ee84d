#include "imagefiles/PdfPlacement.h"

#include <algorithm>
#include <cmath>

namespace imagefiles {

namespace {

constexpr double kPointsPerMm = 72.0 / 25.4;

struct PaperEntry {
  const char* name;
  PdfPaper paper;
  double width;  // upright, in points
  double height;
};

const PaperEntry kPapers[] = {
    {"a4", PdfPaper::A4, 210 * kPointsPerMm, 297 * kPointsPerMm},
    {"letter", PdfPaper::Letter, 612, 792},
    {"a6", PdfPaper::A6, 105 * kPointsPerMm, 148 * kPointsPerMm},
    {"4x6in", PdfPaper::Photo4x6, 288, 432},
    {"5x7in", PdfPaper::Photo5x7, 360, 504},
};

struct Grid {
  int columns;
  int rows;
};

// Whole cards that fit inside the margins; the small allowance keeps a card
// that fits exactly (a 4 x 6 in card on 4 x 6 in paper less nothing) from
// being lost to rounding in the paper's millimetres.
int CardsAcross(double room, double card) {
  if (card <= 0) return 1;
  return std::max(0, int(std::floor((room + 1e-6) / card)));
}

Grid SheetGrid(double pageWidth, double pageHeight, double cardWidth, double cardHeight) {
  return {CardsAcross(pageWidth - 2 * kPdfPaperMargin, cardWidth),
          CardsAcross(pageHeight - 2 * kPdfPaperMargin, cardHeight)};
}

void AddCutMarks(const PdfRect& grid, const Grid& count, double cardWidth, double cardHeight,
                 std::vector<PdfLine>* marks) {
  const double top = grid.y;
  const double bottom = grid.y + grid.height;
  const double left = grid.x;
  const double right = grid.x + grid.width;
  const double near = kPdfCutMarkGap;
  const double far = kPdfCutMarkGap + kPdfCutMarkLength;
  for (int c = 0; c <= count.columns; ++c) {
    const double x = left + c * cardWidth;
    marks->push_back({x, top - far, x, top - near});
    marks->push_back({x, bottom + near, x, bottom + far});
  }
  for (int r = 0; r <= count.rows; ++r) {
    const double y = top + r * cardHeight;
    marks->push_back({left - far, y, left - near, y});
    marks->push_back({right + near, y, right + far, y});
  }
}

}  // namespace

PdfPageLayout PlaceCardOnPage(double cardWidth, double cardHeight, const PdfPageOptions& options) {
  PdfPageLayout layout;
  if (options.paper == PdfPaper::Card) {
    layout.pageWidth = cardWidth;
    layout.pageHeight = cardHeight;
    layout.cards.push_back({0, 0, cardWidth, cardHeight});
    return layout;
  }
  double paperWidth = 0;
  double paperHeight = 0;
  for (const PaperEntry& entry : kPapers) {
    if (entry.paper == options.paper) {
      paperWidth = entry.width;
      paperHeight = entry.height;
    }
  }
  const bool landscapeCard = cardWidth > cardHeight;
  if (options.placement == PdfPlacement::Sheet) {
    const Grid upright = SheetGrid(paperWidth, paperHeight, cardWidth, cardHeight);
    const Grid turned = SheetGrid(paperHeight, paperWidth, cardWidth, cardHeight);
    const bool turn = turned.columns * turned.rows > upright.columns * upright.rows;
    layout.pageWidth = turn ? paperHeight : paperWidth;
    layout.pageHeight = turn ? paperWidth : paperHeight;
    Grid grid = turn ? turned : upright;
    grid.columns = std::max(grid.columns, 1);
    grid.rows = std::max(grid.rows, 1);
    const PdfRect whole{(layout.pageWidth - grid.columns * cardWidth) / 2,
                        (layout.pageHeight - grid.rows * cardHeight) / 2, grid.columns * cardWidth,
                        grid.rows * cardHeight};
    for (int r = 0; r < grid.rows; ++r) {
      for (int c = 0; c < grid.columns; ++c) {
        layout.cards.push_back(
            {whole.x + c * cardWidth, whole.y + r * cardHeight, cardWidth, cardHeight});
      }
    }
    AddCutMarks(whole, grid, cardWidth, cardHeight, &layout.cutMarks);
    return layout;
  }
  layout.pageWidth = landscapeCard ? paperHeight : paperWidth;
  layout.pageHeight = landscapeCard ? paperWidth : paperHeight;
  double scale = 1;
  if (options.placement == PdfPlacement::Fit) {
    scale = std::min((layout.pageWidth - 2 * kPdfPaperMargin) / cardWidth,
                     (layout.pageHeight - 2 * kPdfPaperMargin) / cardHeight);
  } else if (options.placement == PdfPlacement::Fill) {
    scale = std::max(layout.pageWidth / cardWidth, layout.pageHeight / cardHeight);
  }
  const double width = cardWidth * scale;
  const double height = cardHeight * scale;
  layout.cards.push_back(
      {(layout.pageWidth - width) / 2, (layout.pageHeight - height) / 2, width, height});
  return layout;
}

bool PdfPaperFromName(const std::string& name, PdfPaper* out) {
  for (const PaperEntry& entry : kPapers) {
    if (name == entry.name) {
      *out = entry.paper;
      return true;
    }
  }
  return false;
}

bool PdfPlacementFromName(const std::string& name, PdfPlacement* out) {
  static const struct {
    const char* name;
    PdfPlacement placement;
  } kNames[] = {{"actual", PdfPlacement::Actual},
                {"fit", PdfPlacement::Fit},
                {"fill", PdfPlacement::Fill},
                {"sheet", PdfPlacement::Sheet}};
  for (const auto& entry : kNames) {
    if (name == entry.name) {
      *out = entry.placement;
      return true;
    }
  }
  return false;
}

}  // namespace imagefiles
