#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/Geometry.h"

namespace platform {

// What a printer cannot reach at each edge of the page, in points (1/72 in).
struct PrintMargins {
  double left = 0, top = 0, right = 0, bottom = 0;
};

// A paper the printer takes, in points, with its unprintable margins as
// the driver tells them for the paper as it lists it (upright, as a rule).
struct PrinterPaper {
  std::string name;  // the driver's own, shown to the user: "A4", "4x6"
  double width = 0;
  double height = 0;
  PrintMargins margins;
  // The driver's own size (a name or number it knows it by), handed back
  // to print on it; empty for a paper the driver did not list.
  std::string key;
};

// The printer the system's print dialog chose, and what the user set there.
struct PrinterDescription {
  std::string name;
  int32_t dpi = 300;  // device pixels per inch
  int32_t copies = 1;
  std::vector<PrinterPaper> papers;  // never empty
  size_t paper = 0;  // the one the dialog had
};

// One page to print: the card's picture drawn into each of `cards` (points
// from the page's top left, the page as it lies), thin cut marks between
// the points of `marks`. The picture is scaled to each rectangle exactly.
struct PrintPage {
  std::string title;  // the job's name in the printer's queue
  PrinterPaper paper;   // one of the description's, or a size it did not list
  bool turned = false;  // landscape
  int32_t width = 0;    // the picture's pixels, bytes R, G, B
  int32_t height = 0;
  size_t stride = 0;
  const uint8_t* rgb = nullptr;
  struct Box {
    double x, y, width, height;
  };
  struct Line {
    double x0, y0, x1, y1;
  };
  std::vector<Box> cards;
  std::vector<Line> marks;
};

// A printer chosen in the system's dialog, ready for one job.
class Printer {
 public:
  virtual ~Printer() = default;
  virtual const PrinterDescription& Description() const = 0;
  // Prints `page` as many times as the dialog asked. An empty string when
  // the job went to the printer, else why it did not.
  virtual std::string Print(const PrintPage& page) = 0;
};

// The program's own page setup, shown between the system's dialog and the
// printing: the choices and a preview the program draws.
struct PageSetupModel {
  std::string title;  // "Print"
  std::string paperLabel, placementLabel, printLabel, cancelLabel;
  std::vector<std::string> papers;
  size_t paper = 0;
  std::vector<std::string> placements;
  size_t placement = 0;
  IconImage preview;    // the page as it will print
  std::string details;  // a line under the preview: paper, size, resolution
  std::string warning;  // empty, or what will not come out well
};

class PageSetupHandler {
 public:
  virtual ~PageSetupHandler() = default;
  // The user chose another paper or placement: `model` is the dialog as it
  // stands; the handler brings its preview, details and warning up to date.
  virtual void PageSetupChanged(PageSetupModel& model) = 0;
};

}  // namespace platform
