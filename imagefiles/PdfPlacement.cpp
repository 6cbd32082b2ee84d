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

// How far in from each edge a fitted card or a sheet's grid keeps: the
// quarter inch, or past what the printer cannot reach (and, for a sheet,
// its cut marks) when that is more.
PdfMargins Insets(const PdfMargins& unprintable, bool sheet) {
  const double marks = sheet ? kPdfCutMarkGap + kPdfCutMarkLength : 0;
  const auto inset = [&](double m) { return m > 0 ? std::max(kPdfPaperMargin, m + marks) : kPdfPaperMargin; };
  return {inset(unprintable.left), inset(unprintable.top), inset(unprintable.right),
          inset(unprintable.bottom)};
}

Grid SheetGrid(double pageWidth, double pageHeight, const PdfMargins& insets, double cardWidth,
               double cardHeight) {
  return {CardsAcross(pageWidth - (insets.left + insets.right), cardWidth),
          CardsAcross(pageHeight - (insets.top + insets.bottom), cardHeight)};
}

// Centred from `low` to `high`, moved in from a wider margin when the
// length fits between; the allowance keeps what fits exactly where
// centring puts it.
double Centre(double page, double length, double low, double high) {
  const double at = (page - length) / 2;
  if (length > page - (low + high)) return at;
  if (at < low - 1e-6) return low;
  if (at + length > page - high + 1e-6) return page - high - length;
  return at;
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

PdfMargins Turned(const PdfMargins& upright) {
  return {upright.bottom, upright.left, upright.top, upright.right};
}

bool PdfPaperSheet(PdfPaper paper, PdfSheet* out) {
  for (const PaperEntry& entry : kPapers) {
    if (entry.paper == paper) {
      *out = PdfSheet{entry.width, entry.height, PdfMargins(), PdfMargins()};
      return true;
    }
  }
  return false;
}

PdfPageLayout PlaceCardOnPage(double cardWidth, double cardHeight, const PdfPageOptions& options) {
  PdfSheet sheet;
  if (!PdfPaperSheet(options.paper, &sheet)) {
    PdfPageLayout layout;
    layout.pageWidth = cardWidth;
    layout.pageHeight = cardHeight;
    layout.cards.push_back({0, 0, cardWidth, cardHeight});
    layout.printable = {0, 0, cardWidth, cardHeight};
    return layout;
  }
  return PlaceCardOnSheet(cardWidth, cardHeight, sheet, options.placement);
}

PdfPageLayout PlaceCardOnSheet(double cardWidth, double cardHeight, const PdfSheet& sheet,
                               PdfPlacement placement) {
  PdfPageLayout layout;
  const double paperWidth = sheet.width;
  const double paperHeight = sheet.height;
  const bool sheetPlacement = placement == PdfPlacement::Sheet;
  bool turn = cardWidth > cardHeight;
  Grid grid{1, 1};
  if (sheetPlacement) {
    const Grid upright = SheetGrid(paperWidth, paperHeight, Insets(sheet.upright, true),
                                   cardWidth, cardHeight);
    const Grid turned = SheetGrid(paperHeight, paperWidth, Insets(sheet.turned, true),
                                  cardWidth, cardHeight);
    turn = turned.columns * turned.rows > upright.columns * upright.rows;
    grid = turn ? turned : upright;
    grid.columns = std::max(grid.columns, 1);
    grid.rows = std::max(grid.rows, 1);
  }
  layout.turned = turn;
  layout.pageWidth = turn ? paperHeight : paperWidth;
  layout.pageHeight = turn ? paperWidth : paperHeight;
  const PdfMargins& unprintable = turn ? sheet.turned : sheet.upright;
  layout.printable = {unprintable.left, unprintable.top,
                      layout.pageWidth - unprintable.left - unprintable.right,
                      layout.pageHeight - unprintable.top - unprintable.bottom};
  const PdfMargins insets = Insets(unprintable, sheetPlacement);
  if (sheetPlacement) {
    const double width = grid.columns * cardWidth;
    const double height = grid.rows * cardHeight;
    const PdfRect whole{Centre(layout.pageWidth, width, insets.left, insets.right),
                        Centre(layout.pageHeight, height, insets.top, insets.bottom), width,
                        height};
    for (int r = 0; r < grid.rows; ++r) {
      for (int c = 0; c < grid.columns; ++c) {
        layout.cards.push_back(
            {whole.x + c * cardWidth, whole.y + r * cardHeight, cardWidth, cardHeight});
      }
    }
    AddCutMarks(whole, grid, cardWidth, cardHeight, &layout.cutMarks);
  } else {
    double scale = 1;
    if (placement == PdfPlacement::Fit) {
      scale = std::min((layout.pageWidth - (insets.left + insets.right)) / cardWidth,
                       (layout.pageHeight - (insets.top + insets.bottom)) / cardHeight);
    } else if (placement == PdfPlacement::Fill) {
      scale = std::max(layout.pageWidth / cardWidth, layout.pageHeight / cardHeight);
    }
    const double width = cardWidth * scale;
    const double height = cardHeight * scale;
    if (placement == PdfPlacement::Fit) {
      layout.cards.push_back({Centre(layout.pageWidth, width, insets.left, insets.right),
                              Centre(layout.pageHeight, height, insets.top, insets.bottom),
                              width, height});
    } else {
      layout.cards.push_back(
          {(layout.pageWidth - width) / 2, (layout.pageHeight - height) / 2, width, height});
    }
  }
  // A hair of slack: a card drawn exactly to the printable edge is whole.
  constexpr double kSlack = 0.01;
  const PdfRect& p = layout.printable;
  for (const PdfRect& card : layout.cards) {
    if (card.x < p.x - kSlack || card.y < p.y - kSlack ||
        card.x + card.width > p.x + p.width + kSlack ||
        card.y + card.height > p.y + p.height + kSlack)
      layout.cropped = true;
  }
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
