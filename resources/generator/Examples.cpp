#include "resources/generator/Examples.h"

#include <sys/stat.h>

#include <cmath>

#include "resources/generator/Drawing.h"
#include "resources/generator/PngFile.h"

namespace artwork {

namespace {

struct Colour {
  double r, g, b;
};

void Set(cairo_t* cr, const Colour& c, double alpha = 1.0) {
  cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha);
}

// Region colours use only 0 and 255 per channel: cairo's smoothed edges then
// keep the exact colour at every alpha, so no stray shades become regions.
constexpr Colour kRed = {1, 0, 0};
constexpr Colour kGreen = {0, 1, 0};
constexpr Colour kYellow = {1, 1, 0};
constexpr Colour kBlue = {0, 0, 1};

// ------------------------------------------------------------ instant prints

// Three instant-camera prints pinned to a board, each tilted a little. The
// region is the print's picture area grown by 3 pixels, so the white border
// of the print covers the region's smoothed edge.
struct Print {
  double cx, cy, angle;  // centre of the picture area, tilt in radians
  Colour key;
};
constexpr int kPrintsWidth = 1200, kPrintsHeight = 800;
constexpr double kPictureSide = 300, kBorder = 22, kChin = 78;
const Print kPrints[3] = {
    {250, 370, -0.10, kRed}, {600, 400, 0.05, kGreen}, {950, 370, -0.04, kBlue}};

void InPrintSpace(cairo_t* cr, const Print& p) {
  cairo_translate(cr, p.cx, p.cy);
  cairo_rotate(cr, p.angle);
}

Picture PrintsRegions() {
  CairoCanvas canvas(kPrintsWidth, kPrintsHeight);
  cairo_t* cr = canvas.cr();
  for (const Print& p : kPrints) {
    cairo_save(cr);
    InPrintSpace(cr, p);
    const double half = kPictureSide / 2 + 3;
    cairo_rectangle(cr, -half, -half, 2 * half, 2 * half);
    cairo_restore(cr);
    Set(cr, p.key);
    cairo_fill(cr);
  }
  return canvas.ToPicture();
}

Picture PrintsOverlay() {
  CairoCanvas canvas(kPrintsWidth, kPrintsHeight);
  cairo_t* cr = canvas.cr();
  // A soft blue-grey board with a lighter middle.
  cairo_pattern_t* board = cairo_pattern_create_radial(600, 380, 80, 600, 400, 760);
  cairo_pattern_add_color_stop_rgb(board, 0, 0.86, 0.89, 0.92);
  cairo_pattern_add_color_stop_rgb(board, 1, 0.55, 0.62, 0.70);
  cairo_set_source(cr, board);
  cairo_paint(cr);
  cairo_pattern_destroy(board);
  // Wide pale stripes, like a linen cover.
  for (int x = -800; x < kPrintsWidth; x += 48) {
    cairo_move_to(cr, x, 0);
    cairo_line_to(cr, x + 800, kPrintsHeight);
  }
  cairo_set_line_width(cr, 14);
  cairo_set_source_rgba(cr, 1, 1, 1, 0.08);
  cairo_stroke(cr);

  const double half = kPictureSide / 2;
  for (const Print& p : kPrints) {
    cairo_save(cr);
    InPrintSpace(cr, p);
    // Shadow, then the print with its wide lower edge.
    for (int i = 6; i >= 1; --i) {
      RoundedRect(cr, -half - kBorder + 4 - i, -half - kBorder + 7 - i,
                  kPictureSide + 2 * kBorder + 2 * i, kPictureSide + kBorder + kChin + 2 * i,
                  4 + i);
      cairo_set_source_rgba(cr, 0.05, 0.08, 0.15, 0.05);
      cairo_fill(cr);
    }
    RoundedRect(cr, -half - kBorder, -half - kBorder, kPictureSide + 2 * kBorder,
                kPictureSide + kBorder + kChin, 3);
    cairo_pattern_t* paper = cairo_pattern_create_linear(0, -half - kBorder, 0, half + kChin);
    cairo_pattern_add_color_stop_rgb(paper, 0, 1.0, 1.0, 0.99);
    cairo_pattern_add_color_stop_rgb(paper, 1, 0.93, 0.92, 0.89);
    cairo_set_source(cr, paper);
    cairo_fill(cr);
    cairo_pattern_destroy(paper);
    // The picture area is cut out; a faint line marks its edge.
    cairo_rectangle(cr, -half, -half, kPictureSide, kPictureSide);
    cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
    cairo_fill(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    cairo_rectangle(cr, -half + 0.5, -half + 0.5, kPictureSide - 1, kPictureSide - 1);
    cairo_set_line_width(cr, 1);
    cairo_set_source_rgba(cr, 0.3, 0.3, 0.3, 0.45);
    cairo_stroke(cr);
    // Three coloured dots on the wide edge, where a caption would go.
    const Colour dots[3] = {{0.93, 0.42, 0.36}, {0.98, 0.76, 0.26}, {0.36, 0.67, 0.86}};
    for (int i = 0; i < 3; ++i) {
      cairo_arc(cr, -28 + 28 * i, half + kChin / 2 - 4, 7, 0, 2 * kPi);
      Set(cr, dots[i]);
      cairo_fill(cr);
    }
    // A pin at the top.
    cairo_arc(cr, 2, -half - kBorder / 2 + 1, 9, 0, 2 * kPi);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.25);
    cairo_fill(cr);
    cairo_arc(cr, 0, -half - kBorder / 2 - 1, 9, 0, 2 * kPi);
    cairo_pattern_t* pin =
        cairo_pattern_create_radial(-3, -half - kBorder / 2 - 4, 1, 0, -half - kBorder / 2 - 1, 9);
    cairo_pattern_add_color_stop_rgb(pin, 0, 1.0, 0.75, 0.7);
    cairo_pattern_add_color_stop_rgb(pin, 1, 0.78, 0.12, 0.1);
    cairo_set_source(cr, pin);
    cairo_fill(cr);
    cairo_pattern_destroy(pin);
    cairo_restore(cr);
  }
  return canvas.ToPicture();
}

// ----------------------------------------------------------------- film strip

// Four frames of a film strip across a wide card. The regions are the frames
// grown by 3 pixels under the strip's rounded window edges.
constexpr int kFilmWidth = 1600, kFilmHeight = 560;
constexpr double kFrameTop = 130, kFrameHeight = 300, kFrameWidth = 340, kFrameGap = 40;
constexpr double kFirstFrame = (kFilmWidth - 4 * kFrameWidth - 3 * kFrameGap) / 2;
const Colour kFrameKeys[4] = {kRed, kGreen, kYellow, kBlue};  // slot order, left to right

double FrameLeft(int i) { return kFirstFrame + i * (kFrameWidth + kFrameGap); }

Picture FilmRegions() {
  CairoCanvas canvas(kFilmWidth, kFilmHeight);
  cairo_t* cr = canvas.cr();
  for (int i = 0; i < 4; ++i) {
    RoundedRect(cr, FrameLeft(i) - 3, kFrameTop - 3, kFrameWidth + 6, kFrameHeight + 6, 14);
    Set(cr, kFrameKeys[i]);
    cairo_fill(cr);
  }
  return canvas.ToPicture();
}

Picture FilmOverlay() {
  CairoCanvas canvas(kFilmWidth, kFilmHeight);
  cairo_t* cr = canvas.cr();
  // Warm evening colours above and below the strip.
  cairo_pattern_t* sky = cairo_pattern_create_linear(0, 0, 0, kFilmHeight);
  cairo_pattern_add_color_stop_rgb(sky, 0, 0.99, 0.84, 0.58);
  cairo_pattern_add_color_stop_rgb(sky, 1, 0.91, 0.47, 0.45);
  cairo_set_source(cr, sky);
  cairo_paint(cr);
  cairo_pattern_destroy(sky);
  for (int i = 0; i < 9; ++i) {
    cairo_arc(cr, 90 + i * 180, i % 2 ? 40 : kFilmHeight - 40, 18 + 6 * (i % 3), 0, 2 * kPi);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.18);
    cairo_fill(cr);
  }

  // The strip, slightly lifted off the card.
  const double stripTop = kFrameTop - 62, stripHeight = kFrameHeight + 124;
  for (int i = 5; i >= 1; --i) {
    cairo_rectangle(cr, 0, stripTop + 5 - i, kFilmWidth, stripHeight + 2 * i);
    cairo_set_source_rgba(cr, 0.2, 0.05, 0.05, 0.06);
    cairo_fill(cr);
  }
  cairo_rectangle(cr, 0, stripTop, kFilmWidth, stripHeight);
  cairo_pattern_t* film = cairo_pattern_create_linear(0, stripTop, 0, stripTop + stripHeight);
  cairo_pattern_add_color_stop_rgb(film, 0, 0.16, 0.13, 0.12);
  cairo_pattern_add_color_stop_rgb(film, 0.5, 0.09, 0.08, 0.08);
  cairo_pattern_add_color_stop_rgb(film, 1, 0.16, 0.13, 0.12);
  cairo_set_source(cr, film);
  cairo_fill(cr);
  cairo_pattern_destroy(film);
  // Sprocket holes along both edges: the card shows through them.
  for (double x = 18; x < kFilmWidth; x += 44) {
    for (double y : {stripTop + 18, stripTop + stripHeight - 40}) {
      RoundedRect(cr, x, y, 22, 22, 4);
      cairo_set_source_rgb(cr, 0.98, 0.80, 0.60);
      cairo_fill(cr);
    }
  }
  // The frames are cut out, with a thin light rim.
  for (int i = 0; i < 4; ++i) {
    RoundedRect(cr, FrameLeft(i), kFrameTop, kFrameWidth, kFrameHeight, 12);
    cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
    cairo_fill(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    RoundedRect(cr, FrameLeft(i) + 0.5, kFrameTop + 0.5, kFrameWidth - 1, kFrameHeight - 1, 12);
    cairo_set_line_width(cr, 1.5);
    cairo_set_source_rgba(cr, 1, 0.9, 0.75, 0.5);
    cairo_stroke(cr);
  }
  return canvas.ToPicture();
}

// ------------------------------------------------------------- stand-in photos

// A landscape: sky gradient, a sun or moon, two rows of hills or waves.
struct Scene {
  Colour skyTop, skyBottom, sun, far, near;
  double sunX, sunY, sunR;
  bool waves;
};

Picture DrawScene(const Scene& s) {
  constexpr int w = 800, h = 600;
  CairoCanvas canvas(w, h);
  cairo_t* cr = canvas.cr();
  cairo_pattern_t* sky = cairo_pattern_create_linear(0, 0, 0, h);
  cairo_pattern_add_color_stop_rgb(sky, 0, s.skyTop.r, s.skyTop.g, s.skyTop.b);
  cairo_pattern_add_color_stop_rgb(sky, 1, s.skyBottom.r, s.skyBottom.g, s.skyBottom.b);
  cairo_set_source(cr, sky);
  cairo_paint(cr);
  cairo_pattern_destroy(sky);
  cairo_arc(cr, s.sunX, s.sunY, s.sunR, 0, 2 * kPi);
  Set(cr, s.sun);
  cairo_fill(cr);
  const Colour rows[2] = {s.far, s.near};
  for (int row = 0; row < 2; ++row) {
    const double base = row == 0 ? 390 : 470;
    const double amplitude = s.waves ? 10 : (row == 0 ? 70 : 45);
    const double period = s.waves ? 90 : (row == 0 ? 520 : 380);
    cairo_move_to(cr, 0, h);
    for (int x = 0; x <= w; x += 4)
      cairo_line_to(cr, x, base - amplitude * std::sin((x + row * 140) * 2 * kPi / period));
    cairo_line_to(cr, w, h);
    cairo_close_path(cr);
    Set(cr, rows[row]);
    cairo_fill(cr);
  }
  return canvas.ToPicture();
}

const Scene kScenes[7] = {
    {{0.99, 0.81, 0.44},
     {0.88, 0.38, 0.49},
     {1.0, 0.95, 0.78},
     {0.24, 0.14, 0.32},
     {0.14, 0.07, 0.18},
     560,
     330,
     60,
     false},
    {{0.56, 0.83, 0.96},
     {0.80, 0.93, 0.99},
     {1.0, 0.98, 0.85},
     {0.11, 0.60, 0.67},
     {0.04, 0.36, 0.52},
     180,
     130,
     45,
     true},
    {{0.70, 0.90, 0.99},
     {0.88, 0.96, 0.99},
     {1.0, 0.93, 0.45},
     {0.61, 0.80, 0.40},
     {0.20, 0.41, 0.12},
     640,
     110,
     50,
     false},
    {{0.05, 0.11, 0.24},
     {0.29, 0.08, 0.55},
     {1.0, 0.98, 0.77},
     {0.16, 0.10, 0.32},
     {0.10, 0.06, 0.18},
     620,
     150,
     55,
     false},
    {{0.98, 0.60, 0.35},
     {0.99, 0.87, 0.60},
     {1.0, 0.99, 0.90},
     {0.80, 0.45, 0.25},
     {0.55, 0.27, 0.15},
     400,
     280,
     70,
     true},
    {{0.40, 0.66, 0.85},
     {0.86, 0.92, 0.96},
     {1.0, 1.0, 1.0},
     {0.55, 0.60, 0.70},
     {0.30, 0.45, 0.35},
     150,
     160,
     35,
     false},
    {{0.93, 0.95, 0.98},
     {0.70, 0.80, 0.90},
     {0.98, 0.85, 0.30},
     {0.85, 0.88, 0.95},
     {0.45, 0.55, 0.70},
     700,
     90,
     40,
     false},
};

void MakeFolder(const std::string& path) { ::mkdir(path.c_str(), 0755); }

}  // namespace

void WriteExampleLayouts(const std::string& folder) {
  MakeFolder(folder);
  MakeFolder(folder + "/instant-prints");
  WritePng(folder + "/instant-prints/regions.png", PrintsRegions());
  WritePng(folder + "/instant-prints/overlay.png", PrintsOverlay());
  MakeFolder(folder + "/film-strip");
  WritePng(folder + "/film-strip/regions.png", FilmRegions());
  WritePng(folder + "/film-strip/overlay.png", FilmOverlay());
}

void WriteExamplePhotos(const std::string& folder) {
  MakeFolder(folder);
  for (int i = 0; i < 7; ++i) {
    WritePng(folder + "/photo-" + std::to_string(i + 1) + ".png", DrawScene(kScenes[i]), true);
  }
}

}  // namespace artwork
