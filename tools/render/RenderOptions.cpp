#include "tools/render/RenderOptions.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "engine/card/PhotoPlacement.h"
#include "engine/raster/PixelFormat.h"
#include "engine/raster/Raster.h"
#include "document/BuiltInDesigns.h"

namespace tools {

const char kRenderUsage[] =
    "usage: tessary-render [--template N | --layout FILE | --project FILE] [--photo I=PATH]...\n"
    "                      [--pan I=X,Y]... [--zoom I=Z]... [--turn I=DEG]... [--mirror I]...\n"
    "                      [--print | --size WxH] [--draft] [--format jpeg|png|pdf]\n"
    "                      [--paper NAME [--placement P]] [--slots]\n"
    "                      [--save-project FILE [--with-photos]]\n"
    "                      [--text WORDS [--text-box X,Y,W,H] [--font FAMILY] [--size PT]\n"
    "                       [--colour #RRGGBB] [--align A] [--bold] [--italic] [--effect E]]...\n"
    "                      -o OUT\n"
    "       tessary-render --designs\n"
    "Renders a card exactly as the program renders and saves it.\n"
    "  --template N    built-in design N, as --designs lists them (default 0)\n"
    "  --layout FILE   a custom layout file (.jli) instead of a built-in template\n"
    "  --project FILE  a project (.tessary) saved by the program: its design, photos,\n"
    "                  pans and zooms; --photo, --pan and --zoom then change it\n"
    "  --photo I=PATH  put the JPEG, PNG, HEIC, WebP or TIFF picture at PATH into slot I\n"
    "                  (0-based, in the program's slot order, as --slots lists them)\n"
    "  --pan I=X,Y     centre of the visible part of slot I's photo, as fractions of its\n"
    "                  width and height (default 0.5,0.5; stored as given, the crop\n"
    "                  always stays inside the photo)\n"
    "  --zoom I=Z      magnification of slot I's photo, from 1 (the whole photo covers\n"
    "                  the region, the default) to 8; the visible part is 1/Z of it\n"
    "                  each way, centred on the pan\n"
    "  --turn I=DEG    turn slot I's photo clockwise by 90, 180 or 270 degrees, after\n"
    "                  the orientation its file records; pans are of the turned photo\n"
    "  --mirror I      exchange left and right of slot I's photo, after any --turn\n"
    "  --print         render at the design's print size (a built-in design's 300 ppi\n"
    "                  version, 1800 x 1200 for a 6 x 4 in card; a layout's own size when\n"
    "                  its layers record 200 ppi or more), framed as at screen size, with\n"
    "                  the resolution in the file and JPEG quality 92 without chroma\n"
    "                  subsampling; photos that would print below 200 ppi are named on\n"
    "                  standard error\n"
    "  --size WxH      (with an x) render the whole card at W x H pixels (default: the template's\n"
    "                  size, which is what the program saves at screen size)\n"
    "  --draft         nearest-neighbour scaling, as on screen, instead of the saved\n"
    "                  quality\n"
    "  --format F      jpeg, png or pdf (default: png or pdf when OUT ends in .png or\n"
    "                  .pdf, else jpeg). A PDF is one page as large as the card is in\n"
    "                  print (pixels / ppi; 6 x 4 in for a 900 x 600 screen card) with\n"
    "                  the card's JPEG in it as -o card.jpg would write it, but for\n"
    "                  the words, which are text over it in their embedded font\n"
    "  --paper NAME    a PDF on a4, letter, a6, 4x6in or 5x7in paper instead, turned to\n"
    "                  the card's orientation\n"
    "  --placement P   how the card sits on the paper: actual (centred at its print\n"
    "                  size, the default), fit (as large as fits within a 1/4 in\n"
    "                  margin), fill (covering the page, cut by its edge) or sheet (as\n"
    "                  many cards at print size as fit, centred, with cut marks)\n"
    "  --text WORDS    words set on the card (UTF-8; \\n in a shell's $'...' starts a\n"
    "                  line); each --text is a box of its own, drawn in order over the\n"
    "                  card, and the options below until the next --text apply to it.\n"
    "                  What is not given comes from the design's place for a greeting\n"
    "  --text-box X,Y,W,H  the box's left, top, width and height as fractions of the\n"
    "                  card (0,0 is the top left corner, 1,1 the bottom right); long\n"
    "                  lines break at spaces to fit its width, the lines sit in the\n"
    "                  middle of its height\n"
    "  --font FAMILY   a bundled family (DejaVu Sans, DejaVu Serif, Dancing Script) or\n"
    "                  one the system has; a missing one is set in DejaVu Sans, with a\n"
    "                  warning on standard error\n"
    "  --size PT       after --text: the type size in points of the printed card (72 to\n"
    "                  the inch: a 36 pt line is half an inch tall at every output size)\n"
    "  --colour #RRGGBB  the words' colour (#RRGGBBAA with opacity)\n"
    "  --align A       left, centre or right within the box (default centre)\n"
    "  --bold, --italic  the family's bold and italic faces (made from the regular\n"
    "                  face when it has none)\n"
    "  --effect E      none, shadow (a soft shadow) or outline, in black or white,\n"
    "                  whichever stands out from the words' colour\n"
    "  --slots         print one line per slot: slot I key 0xKKKKKK box L T R B (with\n"
    "                  --print, the boxes at print size); without -o, print and exit\n"
    "  --designs       list the built-in designs: index, name, pixels, physical size\n"
    "                  and the print version's pixels, then exit\n"
    "  -o OUT          the card file to write (replaced only when complete); - writes\n"
    "                  the card to standard output\n"
    "Exit status: 0 success; 1 a photo, the layout, the project, the built-in template or\n"
    "OUT failed, or a photo the project names was not found\n"
    "(one line on stderr naming the file and the reason; OUT is left as it was);\n"
    "2 usage error, including a slot index that the template does not have.\n";

namespace {

bool ParseCount(const std::string& text, uint64_t limit, uint64_t* value) {
  if (text.empty() || text.size() > 10) return false;
  uint64_t v = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + uint64_t(c - '0');
  }
  if (v > limit) return false;
  *value = v;
  return true;
}

bool ParseFloat(const std::string& text, float* value) {
  if (text.empty()) return false;
  errno = 0;
  char* end = nullptr;
  const float v = std::strtof(text.c_str(), &end);
  if (end != text.c_str() + text.size() || errno == ERANGE || !std::isfinite(v)) return false;
  *value = v;
  return true;
}

bool ParseDouble(const std::string& text, double* value) {
  if (text.empty()) return false;
  errno = 0;
  char* end = nullptr;
  const double v = std::strtod(text.c_str(), &end);
  if (end != text.c_str() + text.size() || errno == ERANGE || !std::isfinite(v)) return false;
  *value = v;
  return true;
}

// "I=REST" with I a slot index.
bool SplitSlot(const std::string& text, size_t* slot, std::string* rest) {
  const size_t equals = text.find('=');
  if (equals == std::string::npos) return false;
  uint64_t index = 0;
  if (!ParseCount(text.substr(0, equals), 1000000, &index)) return false;
  *slot = size_t(index);
  *rest = text.substr(equals + 1);
  return true;
}

}  // namespace

namespace {

// "X,Y,W,H": four finite numbers, the width and height above 0.
bool ParseBox(const std::string& text, text::TextBox* box) {
  double v[4];
  size_t from = 0;
  for (int i = 0; i < 4; ++i) {
    const size_t comma = i < 3 ? text.find(',', from) : text.size();
    if (comma == std::string::npos || !ParseDouble(text.substr(from, comma - from), &v[i]) ||
        std::fabs(v[i]) > 16)
      return false;
    from = comma + 1;
  }
  if (v[2] <= 0 || v[3] <= 0) return false;
  box->left = v[0];
  box->top = v[1];
  box->width = v[2];
  box->height = v[3];
  return true;
}

bool ParseHexColour(const std::string& text, uint32_t* colour) {
  if (text.size() != 7 && text.size() != 9) return false;
  if (text[0] != '#') return false;
  uint32_t v = 0;
  for (size_t i = 1; i < text.size(); ++i) {
    const char c = text[i];
    uint32_t digit = 0;
    if (c >= '0' && c <= '9') {
      digit = uint32_t(c - '0');
    } else if (c >= 'a' && c <= 'f') {
      digit = uint32_t(c - 'a' + 10);
    } else if (c >= 'A' && c <= 'F') {
      digit = uint32_t(c - 'A' + 10);
    } else {
      return false;
    }
    v = v << 4 | digit;
  }
  *colour = text.size() == 7 ? 0xff000000u | v : (v >> 8) | (v << 24);
  return true;
}

}  // namespace

bool EndsWithExtension(const std::string& path, const char* dotExtension) {
  const size_t n = std::strlen(dotExtension);
  if (path.size() < n) return false;
  std::string tail = path.substr(path.size() - n);
  for (char& c : tail) {
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  }
  return tail == dotExtension;
}

bool ParseRenderOptions(int argc, const char* const* argv, RenderOptions* options,
                        std::string* problem) {
  RenderOptions parsed;
  bool templateGiven = false;
  bool paperGiven = false;
  bool placementGiven = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "-h" || arg == "--help") {
      options->help = true;
      return true;
    }
    if (arg == "--draft") {
      parsed.draft = true;
      continue;
    }
    if (arg == "--slots") {
      parsed.listSlots = true;
      continue;
    }
    if (arg == "--with-photos") {
      parsed.withPhotos = true;
      continue;
    }
    if (arg == "--print") {
      parsed.print = true;
      continue;
    }
    if (arg == "--designs") {
      parsed.listDesigns = true;
      continue;
    }
    if (arg == "--bold" || arg == "--italic") {
      if (parsed.texts.empty()) {
        *problem = arg + " goes after the --text it sets";
        return false;
      }
      (arg == "--bold" ? parsed.texts.back().box.bold : parsed.texts.back().box.italic) = true;
      continue;
    }
    if (arg != "--template" && arg != "--layout" && arg != "--photo" && arg != "--pan" &&
        arg != "--zoom" && arg != "--turn" && arg != "--mirror" && arg != "--size" &&
        arg != "--format" && arg != "-o" && arg != "--project" && arg != "--save-project" &&
        arg != "--paper" && arg != "--placement" && arg != "--text" && arg != "--text-box" &&
        arg != "--font" && arg != "--colour" && arg != "--align" && arg != "--effect") {
      *problem = "unknown argument " + arg;
      return false;
    }
    if (i + 1 >= argc) {
      *problem = arg + " needs a value";
      return false;
    }
    const std::string value = argv[++i];
    const bool textSize = arg == "--size" && value.find('x') == std::string::npos;
    if ((arg == "--text-box" || arg == "--font" || arg == "--colour" || arg == "--align" ||
         arg == "--effect" || textSize) &&
        parsed.texts.empty()) {
      *problem = textSize ? "--size " + value +
                                ": a type size goes after the --text it sets; the card's size "
                                "is --size WxH"
                          : arg + " goes after the --text it sets";
      return false;
    }
    if (arg == "--text") {
      if (value.empty()) {
        *problem = "--text needs words";
        return false;
      }
      TextOption option;
      option.box.words = value;
      parsed.texts.push_back(std::move(option));
    } else if (arg == "--text-box") {
      if (!ParseBox(value, &parsed.texts.back().box)) {
        *problem = "--text-box takes X,Y,W,H as fractions of the card, W and H above 0, "
                   "such as 0.1,0.7,0.8,0.2";
        return false;
      }
      parsed.texts.back().placeGiven = true;
    } else if (arg == "--font") {
      if (value.empty() || value.size() > 256) {
        *problem = "--font needs a family name, such as \"DejaVu Serif\"";
        return false;
      }
      parsed.texts.back().box.font = value;
      parsed.texts.back().fontGiven = true;
    } else if (textSize) {
      double points = 0;
      if (!ParseDouble(value, &points) || points < 1 || points > 1000) {
        *problem = "--size after --text takes a type size in points from 1 to 1000, such as 36";
        return false;
      }
      parsed.texts.back().box.sizePoints = points;
      parsed.texts.back().sizeGiven = true;
    } else if (arg == "--colour") {
      if (!ParseHexColour(value, &parsed.texts.back().box.colour)) {
        *problem = "--colour takes #RRGGBB or #RRGGBBAA in hex digits, such as \"#b03060\"";
        return false;
      }
      parsed.texts.back().colourGiven = true;
    } else if (arg == "--align") {
      text::TextAlign& align = parsed.texts.back().box.align;
      if (value == "left") {
        align = text::TextAlign::Left;
      } else if (value == "centre" || value == "center") {
        align = text::TextAlign::Centre;
      } else if (value == "right") {
        align = text::TextAlign::Right;
      } else {
        *problem = "--align takes left, centre or right";
        return false;
      }
      parsed.texts.back().alignGiven = true;
    } else if (arg == "--effect") {
      text::TextEffect& effect = parsed.texts.back().box.effect;
      if (value == "none") {
        effect = text::TextEffect::None;
      } else if (value == "shadow") {
        effect = text::TextEffect::Shadow;
      } else if (value == "outline") {
        effect = text::TextEffect::Outline;
      } else {
        *problem = "--effect takes none, shadow or outline";
        return false;
      }
      parsed.texts.back().effectGiven = true;
    } else if (arg == "--template") {
      uint64_t index = 0;
      if (!ParseCount(value, uint64_t(document::BuiltInDesignCount() - 1), &index)) {
        *problem = "--template takes 0 to " + std::to_string(document::BuiltInDesignCount() - 1) +
                   " (--designs lists them)";
        return false;
      }
      parsed.templateIndex = int(index);
      templateGiven = true;
    } else if (arg == "--layout") {
      if (value.empty()) {
        *problem = "--layout needs a file name";
        return false;
      }
      parsed.layoutPath = value;
    } else if (arg == "--project" || arg == "--save-project") {
      if (value.empty()) {
        *problem = arg + " needs a file name";
        return false;
      }
      (arg == "--project" ? parsed.projectPath : parsed.saveProjectPath) = value;
    } else if (arg == "--photo") {
      PhotoOption photo{0, {}};
      if (!SplitSlot(value, &photo.slot, &photo.path) || photo.path.empty()) {
        *problem = "--photo takes I=PATH, such as 0=beach.jpg";
        return false;
      }
      parsed.photos.push_back(std::move(photo));
    } else if (arg == "--pan") {
      PanOption pan{0, 0.5f, 0.5f};
      std::string rest;
      size_t comma = std::string::npos;
      if (SplitSlot(value, &pan.slot, &rest)) comma = rest.find(',');
      if (comma == std::string::npos || !ParseFloat(rest.substr(0, comma), &pan.panX) ||
          !ParseFloat(rest.substr(comma + 1), &pan.panY)) {
        *problem = "--pan takes I=X,Y with finite numbers, such as 0=0.5,0.25";
        return false;
      }
      parsed.pans.push_back(pan);
    } else if (arg == "--zoom") {
      ZoomOption zoom{0, 1.0f};
      std::string rest;
      if (!SplitSlot(value, &zoom.slot, &rest) || !ParseFloat(rest, &zoom.zoom) ||
          zoom.zoom < engine::kMinZoom || zoom.zoom > engine::kMaxZoom) {
        *problem = "--zoom takes I=Z with Z from 1 to 8, such as 0=1.5";
        return false;
      }
      parsed.zooms.push_back(zoom);
    } else if (arg == "--turn") {
      TurnOption turn{0, 0};
      std::string rest;
      if (!SplitSlot(value, &turn.slot, &rest) || (rest != "90" && rest != "180" && rest != "270")) {
        *problem = "--turn takes I=90, I=180 or I=270, such as 0=90";
        return false;
      }
      turn.quarters = std::atoi(rest.c_str()) / 90;
      parsed.turns.push_back(turn);
    } else if (arg == "--mirror") {
      uint64_t slot = 0;
      if (!ParseCount(value, 1000000, &slot)) {
        *problem = "--mirror takes a slot index, such as 0";
        return false;
      }
      parsed.mirrors.push_back(size_t(slot));
    } else if (arg == "--size") {
      const size_t x = value.find('x');
      uint64_t w = 0;
      uint64_t h = 0;
      size_t bytes = 0;
      // The card buffer is a Raster-sized block of padded rows, and the
      // compositor takes signed 32-bit sizes.
      if (x == std::string::npos || !ParseCount(value.substr(0, x), 0x7FFFFFFF / 3 - 1, &w) ||
          !ParseCount(value.substr(x + 1), 0x7FFFFFFF, &h) || w == 0 || h == 0 ||
          !engine::CheckedRasterSize(uint32_t(w), uint32_t(h), engine::PixelFormat::Rgb24,
                                     &bytes)) {
        *problem = "--size takes WxH, such as 1800x1200, of at most " +
                   std::to_string(engine::kMaxRasterPixels) + " pixels";
        return false;
      }
      parsed.width = uint32_t(w);
      parsed.height = uint32_t(h);
    } else if (arg == "--format") {
      if (value == "jpeg") {
        parsed.format = RenderOptions::Format::Jpeg;
      } else if (value == "png") {
        parsed.format = RenderOptions::Format::Png;
      } else if (value == "pdf") {
        parsed.format = RenderOptions::Format::Pdf;
      } else {
        *problem = "--format takes jpeg, png or pdf";
        return false;
      }
    } else if (arg == "--paper") {
      if (!imagefiles::PdfPaperFromName(value, &parsed.page.paper)) {
        *problem = "--paper takes a4, letter, a6, 4x6in or 5x7in";
        return false;
      }
      paperGiven = true;
    } else if (arg == "--placement") {
      if (!imagefiles::PdfPlacementFromName(value, &parsed.page.placement)) {
        *problem = "--placement takes actual, fit, fill or sheet";
        return false;
      }
      placementGiven = true;
    } else {
      if (value.empty()) {
        *problem = "-o needs a file name";
        return false;
      }
      parsed.output = value;
    }
  }
  if (templateGiven && !parsed.layoutPath.empty()) {
    *problem = "--template and --layout exclude each other";
    return false;
  }
  if (!parsed.projectPath.empty() && (templateGiven || !parsed.layoutPath.empty())) {
    *problem = "--project brings its own design: no --template or --layout with it";
    return false;
  }
  if (parsed.withPhotos && parsed.saveProjectPath.empty()) {
    *problem = "--with-photos goes with --save-project";
    return false;
  }
  if (parsed.print && parsed.width != 0) {
    *problem = "--print and --size exclude each other";
    return false;
  }
  if (parsed.format == RenderOptions::Format::FromName && EndsWithExtension(parsed.output, ".pdf"))
    parsed.format = RenderOptions::Format::Pdf;
  if ((paperGiven || placementGiven) && parsed.format != RenderOptions::Format::Pdf) {
    *problem = "--paper and --placement are for a PDF (-o OUT.pdf or --format pdf)";
    return false;
  }
  if (placementGiven && !paperGiven) {
    *problem = "--placement needs --paper: without one the page is the card";
    return false;
  }
  if (parsed.listDesigns) {
    *options = std::move(parsed);
    return true;
  }
  if (parsed.output == "-" && parsed.listSlots) {
    *problem = "--slots prints to standard output, which -o - gives to the card";
    return false;
  }
  if (parsed.output.empty() && !parsed.listSlots && parsed.saveProjectPath.empty()) {
    *problem = "no output file (-o OUT)";
    return false;
  }
  *options = std::move(parsed);
  return true;
}

}  // namespace tools
