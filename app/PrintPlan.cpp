#include "app/PrintPlan.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace app {

using imagefiles::PdfPlacement;
using platform::PrinterPaper;

namespace {

constexpr double kPointsPerMm = 72.0 / 25.4;

// The papers every page setup offers, upright, in points.
const struct {
  const char* name;
  double width, height;
} kUsualPapers[] = {
    {"A4", 210 * kPointsPerMm, 297 * kPointsPerMm},
    {"Letter", 612, 792},
    {"4 x 6 in", 288, 432},
    {"5 x 7 in", 360, 504},
    {"A6", 105 * kPointsPerMm, 148 * kPointsPerMm},
};

// Drivers round their sizes to whole points or tenths of a millimetre.
bool SameSize(const PrinterPaper& paper, double width, double height) {
  return std::abs(paper.width - width) < 2 && std::abs(paper.height - height) < 2;
}

// "6", "4.25", "5.83": inches as people write them.
std::string Inches(double points) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", points / 72);
  std::string s = text;
  while (s.back() == '0') s.pop_back();
  if (s.back() == '.') s.pop_back();
  return s;
}

imagefiles::PdfMargins ToPdf(const platform::PrintMargins& m) {
  return {m.left, m.top, m.right, m.bottom};
}

uint8_t Mix(uint8_t a, uint8_t b, int bWeight) {
  return uint8_t((a * (256 - bWeight) + b * bWeight) >> 8);
}

}  // namespace

const std::vector<PlacementChoice>& PlacementChoices() {
  static const std::vector<PlacementChoice> choices = {
      {PdfPlacement::Actual, "actual", "Actual size, centred"},
      {PdfPlacement::Fit, "fit", "Fit to the printable area"},
      {PdfPlacement::Fill, "fill", "Fill the page"},
      {PdfPlacement::Sheet, "sheet", "Several on a sheet, with cut marks"},
  };
  return choices;
}

std::vector<PrinterPaper> OfferedPapers(const platform::PrinterDescription& printer) {
  std::vector<PrinterPaper> papers = printer.papers;
  PrinterPaper model;
  if (printer.paper < papers.size()) model = papers[printer.paper];
  for (const auto& usual : kUsualPapers) {
    const bool listed = std::any_of(papers.begin(), papers.end(), [&](const PrinterPaper& p) {
      return SameSize(p, usual.width, usual.height);
    });
    if (listed) continue;
    PrinterPaper paper = model;
    paper.name = usual.name;
    paper.width = usual.width;
    paper.height = usual.height;
    paper.key.clear();
    papers.push_back(paper);
  }
  return papers;
}

size_t StartingPaper(const std::vector<PrinterPaper>& papers, const std::string& remembered,
                     size_t dialogPaper) {
  for (size_t i = 0; i < papers.size(); ++i)
    if (!remembered.empty() && papers[i].name == remembered) return i;
  return dialogPaper < papers.size() ? dialogPaper : 0;
}

PrintPlan PlanPrint(const document::DesignSize& size, const PrinterPaper& paper,
                    int32_t printerDpi, PdfPlacement placement) {
  PrintPlan plan;
  const double ppi = size.ppi ? double(size.ppi) : double(document::kUnstatedLayoutPpi);
  const double cardWidth = size.width * 72.0 / ppi;
  const double cardHeight = size.height * 72.0 / ppi;
  // The paper's edges stay where they are when a page lies on it sideways.
  // A driver may list a paper on its side; the placement wants it upright.
  imagefiles::PdfSheet sheet{paper.width, paper.height, ToPdf(paper.margins), {}};
  if (sheet.width > sheet.height) {
    const imagefiles::PdfMargins m = sheet.upright;
    std::swap(sheet.width, sheet.height);
    sheet.upright = {m.top, m.right, m.bottom, m.left};  // turned back
  }
  sheet.turned = imagefiles::Turned(sheet.upright);
  plan.layout = imagefiles::PlaceCardOnSheet(cardWidth, cardHeight, sheet, placement);
  const imagefiles::PdfRect& card = plan.layout.cards.front();
  plan.cardPpi = size.width / (card.width / 72);
  const int32_t renderPpi = std::min(printerDpi > 0 ? printerDpi : 300, kMaxPrintRenderPpi);
  plan.renderWidth = uint32_t(std::max(1L, std::lround(card.width / 72 * renderPpi)));
  plan.renderHeight = uint32_t(std::max(1L, std::lround(card.height / 72 * renderPpi)));

  const size_t count = plan.layout.cards.size();
  plan.details = paper.name + (plan.layout.turned ? ", landscape: " : ", portrait: ") +
                 std::to_string(count) + (count == 1 ? " card of " : " cards of ") +
                 Inches(card.width) + " x " + Inches(card.height) + " in at " +
                 std::to_string(int(plan.cardPpi)) + " ppi";
  if (plan.layout.cropped)
    plan.warning = "Part of the card lies outside what the printer can reach and will be cut off.";
  if (plan.cardPpi < document::kMinPrintPpi) {
    if (!plan.warning.empty()) plan.warning += "\n";
    plan.warning += "The card will print at " + std::to_string(int(plan.cardPpi)) +
                    " ppi and may look soft.";
  }
  return plan;
}

platform::IconImage DrawPrintPreview(const PrintPlan& plan, const std::vector<uint8_t>& card,
                                     int32_t cardWidth, int32_t cardHeight, int32_t side) {
  const imagefiles::PdfPageLayout& layout = plan.layout;
  platform::IconImage image;
  const double scale = side / std::max(layout.pageWidth, layout.pageHeight);
  image.width = std::max(1, int32_t(std::lround(layout.pageWidth * scale)));
  image.height = std::max(1, int32_t(std::lround(layout.pageHeight * scale)));
  image.rgba.assign(size_t(image.width) * image.height * 4, 255);
  const auto pixel = [&](int32_t x, int32_t y) {
    return &image.rgba[(size_t(y) * image.width + x) * 4];
  };
  const auto span = [&](double from, double length, int32_t limit, int32_t* a, int32_t* b) {
    *a = std::clamp(int32_t(std::lround(from * scale)), 0, limit);
    *b = std::clamp(int32_t(std::lround((from + length) * scale)), 0, limit);
  };
  const bool hasCard = cardWidth > 0 && cardHeight > 0 &&
                       card.size() >= size_t(cardWidth) * cardHeight * 3;
  for (const imagefiles::PdfRect& r : layout.cards) {
    int32_t x0, x1, y0, y1;
    span(r.x, r.width, image.width, &x0, &x1);
    span(r.y, r.height, image.height, &y0, &y1);
    const int32_t w = std::max(1L, std::lround(r.width * scale));
    const int32_t h = std::max(1L, std::lround(r.height * scale));
    const int32_t left = int32_t(std::lround(r.x * scale));
    const int32_t top = int32_t(std::lround(r.y * scale));
    for (int32_t y = y0; y < y1; ++y) {
      for (int32_t x = x0; x < x1; ++x) {
        uint8_t* p = pixel(x, y);
        if (!hasCard) {
          p[0] = p[1] = p[2] = 160;
          continue;
        }
        const int32_t sx = std::min(cardWidth - 1, int32_t(int64_t(x - left) * cardWidth / w));
        const int32_t sy = std::min(cardHeight - 1, int32_t(int64_t(y - top) * cardHeight / h));
        const uint8_t* s = &card[(size_t(sy) * cardWidth + std::max(0, sx)) * 3];
        p[0] = s[0], p[1] = s[1], p[2] = s[2];
      }
    }
  }
  // What the printer cannot reach, shaded over whatever lies there, so a
  // card running into it shows where it will be cut.
  int32_t px0, px1, py0, py1;
  span(layout.printable.x, layout.printable.width, image.width, &px0, &px1);
  span(layout.printable.y, layout.printable.height, image.height, &py0, &py1);
  for (int32_t y = 0; y < image.height; ++y) {
    for (int32_t x = 0; x < image.width; ++x) {
      if (x >= px0 && x < px1 && y >= py0 && y < py1) continue;
      uint8_t* p = pixel(x, y);
      // Diagonal stripes tell the margin from a grey card.
      const uint8_t shade = ((x + y) / 3) % 2 ? 150 : 110;
      p[0] = Mix(p[0], shade, 140), p[1] = Mix(p[1], shade, 140), p[2] = Mix(p[2], shade, 140);
    }
  }
  for (const imagefiles::PdfLine& line : layout.cutMarks) {
    const int32_t xa = int32_t(std::lround(std::min(line.x0, line.x1) * scale));
    const int32_t xb = int32_t(std::lround(std::max(line.x0, line.x1) * scale));
    const int32_t ya = int32_t(std::lround(std::min(line.y0, line.y1) * scale));
    const int32_t yb = int32_t(std::lround(std::max(line.y0, line.y1) * scale));
    for (int32_t y = std::max(0, ya); y <= std::min(image.height - 1, yb); ++y)
      for (int32_t x = std::max(0, xa); x <= std::min(image.width - 1, xb); ++x) {
        uint8_t* p = pixel(x, y);
        p[0] = p[1] = p[2] = 0;
      }
  }
  // The paper's edge.
  for (int32_t x = 0; x < image.width; ++x) {
    uint8_t* a = pixel(x, 0);
    uint8_t* b = pixel(x, image.height - 1);
    a[0] = a[1] = a[2] = b[0] = b[1] = b[2] = 90;
  }
  for (int32_t y = 0; y < image.height; ++y) {
    uint8_t* a = pixel(0, y);
    uint8_t* b = pixel(image.width - 1, y);
    a[0] = a[1] = a[2] = b[0] = b[1] = b[2] = 90;
  }
  return image;
}

}  // namespace app
