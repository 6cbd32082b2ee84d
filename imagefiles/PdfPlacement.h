#pragma once

#include <string>
#include <vector>

namespace imagefiles {

// The sheet a card PDF's page is: the card's own size, or a paper.
enum class PdfPaper { Card, A4, Letter, A6, Photo4x6, Photo5x7 };

// How the card sits on a paper.
enum class PdfPlacement {
  Actual,  // centred at its physical size (cropped by the page edge if larger)
  Fit,     // as large as fits inside the paper's margins, whole
  Fill,    // covering the whole page, the overhang cut off by the page edge
  Sheet,   // as many copies at physical size as fit, in a centred grid, with cut marks
};

struct PdfPageOptions {
  PdfPaper paper = PdfPaper::Card;
  PdfPlacement placement = PdfPlacement::Actual;
};

// Points (1/72 in), from the page's top left corner.
struct PdfRect {
  double x, y, width, height;
};
struct PdfLine {
  double x0, y0, x1, y1;
};

struct PdfPageLayout {
  double pageWidth = 0;
  double pageHeight = 0;
  std::vector<PdfRect> cards;     // where the card is drawn, whole, each time
  std::vector<PdfLine> cutMarks;  // only on a sheet; all outside every card
  bool turned = false;  // the paper lies on its side (landscape)
  PdfRect printable{0, 0, 0, 0};  // what the printer reaches, on this page
  // Part of a card lies outside `printable` and will not be printed.
  bool cropped = false;
};

// What a printer cannot reach at each edge of a page, in points.
struct PdfMargins {
  double left = 0, top = 0, right = 0, bottom = 0;
};

// A paper a printer takes: its size held upright (width <= height), in
// points, and what the printer cannot reach with the page upright and with
// it on its side (Turned() of the upright ones, unless a driver knows
// better).
struct PdfSheet {
  double width = 0;
  double height = 0;
  PdfMargins upright;
  PdfMargins turned;
};

// The upright paper's margins as a landscape page has them: printers draw
// a landscape page turned a quarter to the left on the upright paper, so
// the paper's left edge is the page's top.
PdfMargins Turned(const PdfMargins& upright);
// A paper by name with no unprintable edge (a PDF's page). False for Card.
bool PdfPaperSheet(PdfPaper paper, PdfSheet* out);

// White space kept round a fitted card and round a sheet's grid (where its
// cut marks go): a quarter inch, inside what home printers can reach.
constexpr double kPdfPaperMargin = 18.0;
// Cut marks start this far from the grid and are this long.
constexpr double kPdfCutMarkGap = 3.0;
constexpr double kPdfCutMarkLength = 12.0;

// Where a card of cardWidth x cardHeight points goes. A paper is turned to
// the card's orientation (a landscape card on a landscape page); a sheet
// takes whichever way round holds more cards, upright when both hold as
// many, and at least one card even when none fits whole. Sheet cards touch,
// so one cut between two frees both, and each grid line gets a mark beyond
// both ends of the grid.
PdfPageLayout PlaceCardOnPage(double cardWidth, double cardHeight, const PdfPageOptions& options);

// The same on a printer's paper: white space round a fitted card and a
// sheet's grid is the quarter inch or the printer's margin where that is
// wider, and a sheet's cut marks stay where the printer reaches. A card or
// grid is centred on the page, moved only as far as it must to stay clear
// of a wider margin on one side. On a sheet with no margins this is
// exactly PlaceCardOnPage.
PdfPageLayout PlaceCardOnSheet(double cardWidth, double cardHeight, const PdfSheet& sheet,
                               PdfPlacement placement);

// Command-line and dialog names: "a4", "letter", "a6", "4x6in", "5x7in";
// "actual", "fit", "fill", "sheet". False, with *out untouched, for any
// other name.
bool PdfPaperFromName(const std::string& name, PdfPaper* out);
bool PdfPlacementFromName(const std::string& name, PdfPlacement* out);

}  // namespace imagefiles
