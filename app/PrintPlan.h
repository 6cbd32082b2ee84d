#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "document/DesignSizes.h"
#include "imagefiles/PdfPlacement.h"
#include "platform/Printing.h"

namespace app {

// The placements the page setup offers, in its order, with their names in
// the settings and on screen.
struct PlacementChoice {
  imagefiles::PdfPlacement placement;
  const char* key;    // "actual"
  const char* label;  // "Actual size"
};
const std::vector<PlacementChoice>& PlacementChoices();

// The printer's papers, then those a card is usually printed on that the
// driver did not list (A4, Letter, 4 x 6 in, 5 x 7 in, A6), with the
// margins of the paper the dialog had.
std::vector<platform::PrinterPaper> OfferedPapers(const platform::PrinterDescription& printer);

// Which paper the page setup opens with: the one used last (by name) when
// this printer has it, else the one the system's dialog had.
size_t StartingPaper(const std::vector<platform::PrinterPaper>& papers,
                     const std::string& remembered, size_t dialogPaper);

// The highest resolution a card is rendered at for a printer; finer adds
// nothing a photo printer shows and costs memory by the square.
constexpr int32_t kMaxPrintRenderPpi = 600;

// How a card of `size` prints on `paper`: where each copy lies, the pixels
// it is rendered at, and what the user should know first.
struct PrintPlan {
  imagefiles::PdfPageLayout layout;
  double cardPpi = 0;  // the design's pixels over the printed inches
  uint32_t renderWidth = 0;  // the picture sent to the printer
  uint32_t renderHeight = 0;
  std::string details;  // "A4, landscape: 2 cards of 6 x 4 in at 300 ppi"
  std::string warning;  // empty, or the cropping and soft print, a line each
};
PrintPlan PlanPrint(const document::DesignSize& size, const platform::PrinterPaper& paper,
                    int32_t printerDpi, imagefiles::PdfPlacement placement);

// The page as the preview shows it, at most `side` pixels along its longer
// edge: the paper, the margins the printer cannot reach shaded, each card
// from `card` (a small picture of it, bytes R, G, B, rows packed) and the
// cut marks.
platform::IconImage DrawPrintPreview(const PrintPlan& plan, const std::vector<uint8_t>& card,
                                     int32_t cardWidth, int32_t cardHeight, int32_t side);

}  // namespace app
