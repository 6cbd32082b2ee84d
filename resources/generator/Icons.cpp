#include "resources/generator/Icons.h"

#include <cmath>
#include <stdexcept>

#include "resources/generator/Drawing.h"

namespace artwork {

namespace {

// The orange shared by the frame, the floppy disk and the star.
constexpr double kOrangeLight[3] = {1.0, 0.72, 0.28};
constexpr double kOrangeDark[3] = {0.90, 0.42, 0.04};
constexpr double kOrangeInk[3] = {0.55, 0.24, 0.02};

cairo_pattern_t* OrangeGradient(double y0, double y1) {
  cairo_pattern_t* p = cairo_pattern_create_linear(0, y0, 0, y1);
  cairo_pattern_add_color_stop_rgb(p, 0, kOrangeLight[0], kOrangeLight[1], kOrangeLight[2]);
  cairo_pattern_add_color_stop_rgb(p, 1, kOrangeDark[0], kOrangeDark[1], kOrangeDark[2]);
  return p;
}

void Ink(cairo_t* cr, double alpha = 1.0) {
  cairo_set_source_rgba(cr, kOrangeInk[0], kOrangeInk[1], kOrangeInk[2], alpha);
}

// The current path filled with the orange running from y0 to y1 and outlined
// in ink `width` wide.
void OrangeInked(cairo_t* cr, double y0, double y1, double width) {
  cairo_pattern_t* orange = OrangeGradient(y0, y1);
  cairo_set_source(cr, orange);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(orange);
  Ink(cr);
  cairo_set_line_width(cr, width);
  cairo_stroke(cr);
}

// Soft shadow under an icon's footprint: stacked translucent ellipses.
void GroundShadow(cairo_t* cr, double cx, double cy, double rx, double ry) {
  for (int i = 0; i < 4; ++i) {
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_scale(cr, rx * (1 - i * 0.15), ry * (1 - i * 0.15));
    cairo_arc(cr, 0, 0, 1, 0, 2 * kPi);
    cairo_restore(cr);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.07);
    cairo_fill(cr);
  }
}

// ---------------------------------------------------------------- window icon

// Everything is placed on whole pixels (lines on half pixels) so that the
// small sizes stay sharp; the small sizes also drop the sun and the bevel.
Picture MakeFrameIcon(int size) {
  CairoCanvas canvas(size, size);
  cairo_t* cr = canvas.cr();
  const double s = size;
  const bool tiny = size <= 24;
  const double margin = size >= 48 ? std::round(s * 0.06) : (size >= 24 ? 1 : 0);
  const double frame = size == 16 ? 3 : (size == 24 ? 4 : std::round(s * 0.17));
  const double x0 = margin, x1 = s - margin;
  const double y0 = margin + (size >= 48 ? std::round(s * 0.05) : (size == 32 ? 2 : 1));
  const double y1 = s - margin - (size >= 48 ? std::round(s * 0.03) : (size == 32 ? 2 : 1));
  const double line = size >= 256 ? 4 : 1;

  if (size >= 32) GroundShadow(cr, s / 2, y1 - s * 0.01, s * 0.46, s * 0.05);

  // Frame body.
  cairo_rectangle(cr, x0, y0, x1 - x0, y1 - y0);
  cairo_pattern_t* body = OrangeGradient(y0, y1);
  cairo_set_source(cr, body);
  cairo_fill(cr);
  cairo_pattern_destroy(body);
  if (!tiny) {
    // Mitred bevel: light from the top left.
    const double ix0 = x0 + frame, iy0 = y0 + frame, ix1 = x1 - frame, iy1 = y1 - frame;
    cairo_move_to(cr, x0, y0);
    cairo_line_to(cr, x1, y0);
    cairo_line_to(cr, ix1, iy0);
    cairo_line_to(cr, ix0, iy0);
    cairo_line_to(cr, ix0, iy1);
    cairo_line_to(cr, x0, y1);
    cairo_close_path(cr);
    cairo_set_source_rgba(cr, 1, 1, 0.85, 0.35);
    cairo_fill(cr);
    cairo_move_to(cr, x1, y1);
    cairo_line_to(cr, x0, y1);
    cairo_line_to(cr, ix0, iy1);
    cairo_line_to(cr, ix1, iy1);
    cairo_line_to(cr, ix1, iy0);
    cairo_line_to(cr, x1, y0);
    cairo_close_path(cr);
    cairo_set_source_rgba(cr, 0.5, 0.15, 0, 0.22);
    cairo_fill(cr);
    if (size >= 48) {
      // Carved groove half way across the moulding.
      const double g = std::round(frame / 2) + 0.5;
      cairo_rectangle(cr, x0 + g, y0 + g, x1 - x0 - 2 * g, y1 - y0 - 2 * g);
      cairo_set_line_width(cr, size >= 256 ? 3 : 1);
      cairo_set_source_rgba(cr, 1, 0.95, 0.75, 0.55);
      cairo_stroke(cr);
    }
  }

  // The picture: sky, sun, hills.
  const double px0 = x0 + frame, py0 = y0 + frame, px1 = x1 - frame, py1 = y1 - frame;
  const double pw = px1 - px0, ph = py1 - py0;
  cairo_save(cr);
  cairo_rectangle(cr, px0, py0, pw, ph);
  cairo_clip(cr);
  cairo_pattern_t* sky = cairo_pattern_create_linear(0, py0, 0, py1);
  cairo_pattern_add_color_stop_rgb(sky, 0, 0.33, 0.62, 0.93);
  cairo_pattern_add_color_stop_rgb(sky, 1, 0.72, 0.88, 1.0);
  cairo_set_source(cr, sky);
  cairo_paint(cr);
  cairo_pattern_destroy(sky);
  if (size >= 32) {
    cairo_arc(cr, px0 + pw * 0.72, py0 + ph * 0.3, ph * 0.14, 0, 2 * kPi);
    cairo_set_source_rgb(cr, 1.0, 0.9, 0.3);
    cairo_fill(cr);
  } else {
    cairo_rectangle(cr, px1 - (size == 16 ? 3 : 5), py0 + 1, size == 16 ? 2 : 3,
                    size == 16 ? 2 : 3);
    cairo_set_source_rgb(cr, 1.0, 0.9, 0.3);
    cairo_fill(cr);
  }
  const double hill = tiny ? std::round(ph * 0.45) : ph * 0.45;
  cairo_move_to(cr, px0, py1);
  cairo_line_to(cr, px0, py1 - hill);
  if (tiny) {
    cairo_line_to(cr, px0 + std::round(pw * 0.4), py1 - hill);
    cairo_line_to(cr, px1, py1 - std::round(ph * 0.25));
  } else {
    cairo_curve_to(cr, px0 + pw * 0.3, py1 - hill * 1.25, px0 + pw * 0.55, py1 - hill * 0.4,
                   px1, py1 - hill * 0.7);
  }
  cairo_line_to(cr, px1, py1);
  cairo_close_path(cr);
  cairo_set_source_rgb(cr, 0.30, 0.68, 0.22);
  cairo_fill(cr);
  if (!tiny) {
    cairo_move_to(cr, px0 + pw * 0.35, py1);
    cairo_curve_to(cr, px0 + pw * 0.55, py1 - hill * 0.75, px0 + pw * 0.8, py1 - hill * 0.55,
                   px1, py1 - hill * 0.5);
    cairo_line_to(cr, px1, py1);
    cairo_close_path(cr);
    cairo_set_source_rgb(cr, 0.18, 0.52, 0.15);
    cairo_fill(cr);
  }
  cairo_restore(cr);

  // Outlines: outer edge of the frame and the edge of the picture.
  cairo_set_line_width(cr, line);
  Ink(cr);
  cairo_rectangle(cr, x0 + line / 2, y0 + line / 2, x1 - x0 - line, y1 - y0 - line);
  cairo_stroke(cr);
  Ink(cr, tiny ? 0.8 : 0.6);
  cairo_rectangle(cr, px0 - line / 2, py0 - line / 2, pw + line, ph + line);
  cairo_stroke(cr);
  return canvas.ToPicture();
}

// ---------------------------------------------------------------- toolbar

Picture MakeFloppy() {
  CairoCanvas canvas(48, 48);
  cairo_t* cr = canvas.cr();
  GroundShadow(cr, 24, 44, 20, 2.5);
  // Body with the cut corner at the top right.
  cairo_move_to(cr, 8, 5);
  cairo_line_to(cr, 36, 5);
  cairo_line_to(cr, 43, 12);
  cairo_line_to(cr, 43, 41);
  cairo_arc(cr, 40, 41, 3, 0, kPi / 2);
  cairo_line_to(cr, 8, 44);
  cairo_arc(cr, 8, 41, 3, kPi / 2, kPi);
  cairo_line_to(cr, 5, 8);
  cairo_arc(cr, 8, 8, 3, kPi, 3 * kPi / 2);
  cairo_close_path(cr);
  OrangeInked(cr, 5, 44, 1.2);
  // Metal shutter with its window.
  RoundedRect(cr, 14, 5.5, 20, 13, 1.5);
  cairo_pattern_t* metal = cairo_pattern_create_linear(14, 0, 34, 0);
  cairo_pattern_add_color_stop_rgb(metal, 0, 0.93, 0.94, 0.96);
  cairo_pattern_add_color_stop_rgb(metal, 0.5, 0.74, 0.76, 0.80);
  cairo_pattern_add_color_stop_rgb(metal, 1, 0.88, 0.89, 0.92);
  cairo_set_source(cr, metal);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(metal);
  cairo_set_source_rgba(cr, 0.3, 0.3, 0.35, 0.8);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  cairo_rectangle(cr, 26, 8, 5, 8);
  cairo_set_source_rgb(cr, 0.32, 0.3, 0.3);
  cairo_fill(cr);
  // Label.
  RoundedRect(cr, 11, 25, 26, 16, 1.5);
  cairo_set_source_rgb(cr, 1, 0.98, 0.93);
  cairo_fill_preserve(cr);
  Ink(cr, 0.6);
  cairo_stroke(cr);
  for (int i = 0; i < 3; ++i) {
    cairo_move_to(cr, 14, 30.5 + i * 4);
    cairo_line_to(cr, 34, 30.5 + i * 4);
  }
  cairo_set_source_rgba(cr, 0.45, 0.55, 0.8, 0.8);
  cairo_stroke(cr);
  // Gloss along the top edge.
  cairo_move_to(cr, 8, 6.5);
  cairo_line_to(cr, 13, 6.5);
  cairo_move_to(cr, 6.5, 9);
  cairo_line_to(cr, 6.5, 22);
  cairo_set_source_rgba(cr, 1, 1, 1, 0.6);
  cairo_set_line_width(cr, 1.2);
  cairo_stroke(cr);
  return canvas.ToPicture();
}

Picture MakeDonate() {
  CairoCanvas canvas(48, 48);
  cairo_t* cr = canvas.cr();
  GroundShadow(cr, 24, 44.5, 18, 2.5);
  // Banknote standing in the bowl, tilted.
  cairo_save(cr);
  cairo_translate(cr, 20, 19);
  cairo_rotate(cr, -0.35);
  RoundedRect(cr, -12, -9, 24, 26, 1.5);
  cairo_pattern_t* note = cairo_pattern_create_linear(-12, 0, 12, 0);
  cairo_pattern_add_color_stop_rgb(note, 0, 0.62, 0.86, 0.55);
  cairo_pattern_add_color_stop_rgb(note, 1, 0.36, 0.68, 0.34);
  cairo_set_source(cr, note);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(note);
  cairo_set_source_rgb(cr, 0.12, 0.38, 0.14);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  RoundedRect(cr, -9, -6, 18, 20, 1);
  cairo_set_source_rgba(cr, 0.12, 0.38, 0.14, 0.5);
  cairo_stroke(cr);
  cairo_arc(cr, 0, 0, 4.5, 0, 2 * kPi);
  cairo_set_source_rgba(cr, 0.95, 1, 0.9, 0.8);
  cairo_fill_preserve(cr);
  cairo_set_source_rgba(cr, 0.12, 0.38, 0.14, 0.7);
  cairo_stroke(cr);
  cairo_restore(cr);
  // Coin leaning against the note.
  cairo_save(cr);
  cairo_translate(cr, 31, 22);
  cairo_scale(cr, 0.82, 1);
  cairo_arc(cr, 0, 0, 9, 0, 2 * kPi);
  cairo_restore(cr);
  cairo_pattern_t* gold = cairo_pattern_create_radial(28, 18, 1, 31, 22, 10);
  cairo_pattern_add_color_stop_rgb(gold, 0, 1.0, 0.97, 0.7);
  cairo_pattern_add_color_stop_rgb(gold, 0.6, 0.98, 0.78, 0.2);
  cairo_pattern_add_color_stop_rgb(gold, 1, 0.82, 0.55, 0.05);
  cairo_set_source(cr, gold);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(gold);
  cairo_set_source_rgb(cr, 0.55, 0.35, 0.02);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  cairo_save(cr);
  cairo_translate(cr, 31, 22);
  cairo_scale(cr, 0.82, 1);
  cairo_arc(cr, 0, 0, 6, 0, 2 * kPi);
  cairo_restore(cr);
  cairo_set_source_rgba(cr, 0.6, 0.38, 0.02, 0.6);
  cairo_stroke(cr);
  // The bowl in front: an orange glaze with a rim.
  cairo_move_to(cr, 4, 27);
  cairo_curve_to(cr, 5, 38, 12, 43, 24, 43);
  cairo_curve_to(cr, 36, 43, 43, 38, 44, 27);
  cairo_close_path(cr);
  cairo_pattern_t* glaze = cairo_pattern_create_linear(4, 0, 44, 0);
  cairo_pattern_add_color_stop_rgb(glaze, 0, kOrangeLight[0], kOrangeLight[1], kOrangeLight[2]);
  cairo_pattern_add_color_stop_rgb(glaze, 0.35, 0.98, 0.6, 0.16);
  cairo_pattern_add_color_stop_rgb(glaze, 1, kOrangeDark[0] * 0.85, kOrangeDark[1] * 0.85,
                                   kOrangeDark[2]);
  cairo_set_source(cr, glaze);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(glaze);
  Ink(cr);
  cairo_set_line_width(cr, 1.2);
  cairo_stroke(cr);
  cairo_save(cr);
  cairo_translate(cr, 24, 27);
  cairo_scale(cr, 20, 3);
  cairo_arc(cr, 0, 0, 1, 0, 2 * kPi);
  cairo_restore(cr);
  cairo_set_source_rgb(cr, 1, 0.82, 0.5);
  cairo_fill_preserve(cr);
  Ink(cr);
  cairo_stroke(cr);
  cairo_move_to(cr, 10, 33);
  cairo_curve_to(cr, 12, 37, 15, 39, 19, 40);
  cairo_set_source_rgba(cr, 1, 1, 1, 0.55);
  cairo_set_line_width(cr, 1.6);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_stroke(cr);
  return canvas.ToPicture();
}

Picture MakeBulb() {
  CairoCanvas canvas(48, 48);
  cairo_t* cr = canvas.cr();
  // Glow.
  cairo_pattern_t* glow = cairo_pattern_create_radial(24, 18, 4, 24, 18, 23);
  cairo_pattern_add_color_stop_rgba(glow, 0, 1, 0.95, 0.5, 0.85);
  cairo_pattern_add_color_stop_rgba(glow, 0.5, 1, 0.85, 0.3, 0.35);
  cairo_pattern_add_color_stop_rgba(glow, 1, 1, 0.8, 0.2, 0);
  cairo_set_source(cr, glow);
  cairo_arc(cr, 24, 18, 23, 0, 2 * kPi);
  cairo_fill(cr);
  cairo_pattern_destroy(glow);
  for (int i = 0; i < 8; ++i) {
    const double a = -kPi / 2 + (i - 3.5) * kPi / 7.0;
    if (std::sin(a) > 0.3) continue;
    cairo_move_to(cr, 24 + 15 * std::cos(a), 18 + 15 * std::sin(a));
    cairo_line_to(cr, 24 + 21 * std::cos(a), 18 + 21 * std::sin(a));
  }
  cairo_set_source_rgba(cr, 0.98, 0.7, 0.1, 0.9);
  cairo_set_line_width(cr, 2);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_stroke(cr);
  // Glass.
  cairo_move_to(cr, 19, 33);
  cairo_curve_to(cr, 19, 28, 13, 25, 13, 18);
  cairo_curve_to(cr, 13, 11.5, 18, 7, 24, 7);
  cairo_curve_to(cr, 30, 7, 35, 11.5, 35, 18);
  cairo_curve_to(cr, 35, 25, 29, 28, 29, 33);
  cairo_close_path(cr);
  cairo_pattern_t* glass = cairo_pattern_create_radial(21, 14, 1, 24, 18, 14);
  cairo_pattern_add_color_stop_rgb(glass, 0, 1, 1, 0.92);
  cairo_pattern_add_color_stop_rgb(glass, 0.6, 1, 0.93, 0.45);
  cairo_pattern_add_color_stop_rgb(glass, 1, 0.98, 0.78, 0.2);
  cairo_set_source(cr, glass);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(glass);
  cairo_set_source_rgb(cr, 0.7, 0.45, 0.02);
  cairo_set_line_width(cr, 1.2);
  cairo_stroke(cr);
  // Filament.
  cairo_move_to(cr, 21, 32);
  cairo_line_to(cr, 21, 23);
  cairo_curve_to(cr, 22, 20, 23, 24, 24, 21);
  cairo_curve_to(cr, 25, 24, 26, 20, 27, 23);
  cairo_line_to(cr, 27, 32);
  cairo_set_source_rgba(cr, 0.8, 0.4, 0.0, 0.9);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  cairo_move_to(cr, 17, 14);
  cairo_curve_to(cr, 17.5, 12, 19, 10.5, 21, 10);
  cairo_set_source_rgba(cr, 1, 1, 1, 0.9);
  cairo_set_line_width(cr, 1.8);
  cairo_stroke(cr);
  // Screw base.
  RoundedRect(cr, 18.5, 33, 11, 9, 1.5);
  cairo_pattern_t* metal = cairo_pattern_create_linear(18.5, 0, 29.5, 0);
  cairo_pattern_add_color_stop_rgb(metal, 0, 0.85, 0.86, 0.88);
  cairo_pattern_add_color_stop_rgb(metal, 0.4, 0.62, 0.64, 0.68);
  cairo_pattern_add_color_stop_rgb(metal, 1, 0.45, 0.47, 0.52);
  cairo_set_source(cr, metal);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(metal);
  cairo_set_source_rgb(cr, 0.3, 0.3, 0.34);
  cairo_stroke(cr);
  for (int i = 0; i < 2; ++i) {
    cairo_move_to(cr, 18.5, 36 + i * 3);
    cairo_line_to(cr, 29.5, 35 + i * 3);
  }
  cairo_stroke(cr);
  cairo_move_to(cr, 22, 42);
  cairo_line_to(cr, 26, 42);
  cairo_line_to(cr, 25, 44.5);
  cairo_line_to(cr, 23, 44.5);
  cairo_close_path(cr);
  cairo_set_source_rgb(cr, 0.3, 0.3, 0.34);
  cairo_fill(cr);
  return canvas.ToPicture();
}

void StarPath(cairo_t* cr, double cx, double cy, double outer, double inner) {
  for (int i = 0; i < 10; ++i) {
    const double a = -kPi / 2 + i * kPi / 5;
    const double r = (i % 2) ? inner : outer;
    if (i == 0)
      cairo_move_to(cr, cx + r * std::cos(a), cy + r * std::sin(a));
    else
      cairo_line_to(cr, cx + r * std::cos(a), cy + r * std::sin(a));
  }
  cairo_close_path(cr);
}

Picture MakeStar() {
  CairoCanvas canvas(48, 48);
  cairo_t* cr = canvas.cr();
  GroundShadow(cr, 24, 44, 17, 2.2);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  StarPath(cr, 24.8, 26.2, 20, 8.5);
  cairo_set_source_rgba(cr, 0.3, 0.12, 0, 0.22);
  cairo_set_line_width(cr, 7);
  cairo_stroke(cr);
  StarPath(cr, 24, 25, 20, 8.5);
  cairo_set_line_width(cr, 7);
  Ink(cr);
  cairo_stroke_preserve(cr);
  cairo_pattern_t* band = OrangeGradient(5, 42);
  cairo_set_source(cr, band);
  cairo_set_line_width(cr, 4.6);
  cairo_stroke_preserve(cr);
  cairo_pattern_destroy(band);
  cairo_set_source_rgba(cr, 1, 0.95, 0.75, 0.55);
  cairo_set_line_width(cr, 1.2);
  cairo_stroke(cr);
  return canvas.ToPicture();
}

// A round arrow turning back over itself: the outline of its shaft and
// head, drawn for undo (pointing left); redo is its mirror image.
void TurnArrowPath(cairo_t* cr) {
  // The shaft: an arc from the lower right round to the upper left.
  cairo_new_path(cr);
  cairo_arc_negative(cr, 25, 27, 13, kPi * 0.30, -kPi * 0.62);
}

Picture MakeTurnArrow(bool mirrored) {
  CairoCanvas canvas(48, 48);
  cairo_t* cr = canvas.cr();
  GroundShadow(cr, 24, 44, 15, 2.0);
  if (mirrored) {
    cairo_translate(cr, 48, 0);
    cairo_scale(cr, -1, 1);
  }
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  // The head at the shaft's upper end, pointing left and a little down.
  const double hx = 25 + 13 * std::cos(-kPi * 0.62), hy = 27 + 13 * std::sin(-kPi * 0.62);
  auto head = [&] {
    cairo_new_path(cr);
    cairo_move_to(cr, hx - 10, hy + 1);
    cairo_line_to(cr, hx + 4, hy - 9);
    cairo_line_to(cr, hx + 3.5, hy + 9);
    cairo_close_path(cr);
  };
  // Shadow, ink, then the orange band with a light edge, as the star.
  cairo_save(cr);
  cairo_translate(cr, 0.8, 1.2);
  TurnArrowPath(cr);
  cairo_set_source_rgba(cr, 0.3, 0.12, 0, 0.22);
  cairo_set_line_width(cr, 8);
  cairo_stroke(cr);
  head();
  cairo_fill(cr);
  cairo_restore(cr);
  TurnArrowPath(cr);
  Ink(cr);
  cairo_set_line_width(cr, 8);
  cairo_stroke(cr);
  head();
  cairo_set_line_width(cr, 2.4);
  cairo_stroke_preserve(cr);
  cairo_fill(cr);
  cairo_pattern_t* band = OrangeGradient(8, 42);
  TurnArrowPath(cr);
  cairo_set_source(cr, band);
  cairo_set_line_width(cr, 5);
  cairo_stroke(cr);
  head();
  cairo_set_source(cr, band);
  cairo_fill(cr);
  cairo_pattern_destroy(band);
  TurnArrowPath(cr);
  cairo_set_source_rgba(cr, 1, 0.95, 0.75, 0.55);
  cairo_set_line_width(cr, 1.2);
  cairo_stroke(cr);
  return canvas.ToPicture();
}

// A fan of three small cards, each with a picture: the design chooser.
Picture MakeCardFan() {
  CairoCanvas canvas(48, 48);
  cairo_t* cr = canvas.cr();
  GroundShadow(cr, 24, 44, 18, 2.2);
  const double angles[3] = {-0.38, 0.0, 0.38};
  const double sky[3][3] = {{0.55, 0.75, 0.95}, {0.98, 0.82, 0.55}, {0.85, 0.65, 0.9}};
  for (int i = 0; i < 3; ++i) {
    cairo_save(cr);
    cairo_translate(cr, 24, 40);
    cairo_rotate(cr, angles[i]);
    // Shadow, card, picture: the card stands on its bottom edge.
    RoundedRect(cr, -10.2, -33.2, 21, 30, 2.5);
    cairo_set_source_rgba(cr, 0.3, 0.12, 0, 0.25);
    cairo_fill(cr);
    RoundedRect(cr, -11, -34, 21, 30, 2.5);
    cairo_set_source_rgb(cr, 1, 0.99, 0.96);
    cairo_fill_preserve(cr);
    Ink(cr);
    cairo_set_line_width(cr, 1.4);
    cairo_stroke(cr);
    cairo_rectangle(cr, -7.5, -30.5, 14, 16);
    cairo_set_source_rgb(cr, sky[i][0], sky[i][1], sky[i][2]);
    cairo_fill(cr);
    cairo_move_to(cr, -7.5, -18);
    cairo_curve_to(cr, -3, -23, 1, -21, 6.5, -24);
    cairo_line_to(cr, 6.5, -14.5);
    cairo_line_to(cr, -7.5, -14.5);
    cairo_close_path(cr);
    cairo_pattern_t* hill = OrangeGradient(-24, -14.5);
    cairo_set_source(cr, hill);
    cairo_fill(cr);
    cairo_pattern_destroy(hill);
    cairo_rectangle(cr, -7.5, -11, 14, 1.6);
    cairo_rectangle(cr, -7.5, -8, 9, 1.6);
    Ink(cr, 0.55);
    cairo_fill(cr);
    cairo_restore(cr);
  }
  return canvas.ToPicture();
}

// A card with a big letter T over it: words on the card.
Picture MakeLetterOnCard() {
  CairoCanvas canvas(48, 48);
  cairo_t* cr = canvas.cr();
  GroundShadow(cr, 24, 44, 18, 2.2);
  // The card, standing a little askew behind the letter.
  cairo_save(cr);
  cairo_translate(cr, 24, 25);
  cairo_rotate(cr, -0.12);
  RoundedRect(cr, -16.2, -14.2, 33, 25, 2.5);
  cairo_set_source_rgba(cr, 0.3, 0.12, 0, 0.25);
  cairo_fill(cr);
  RoundedRect(cr, -17, -15, 33, 25, 2.5);
  cairo_set_source_rgb(cr, 1, 0.99, 0.96);
  cairo_fill_preserve(cr);
  Ink(cr);
  cairo_set_line_width(cr, 1.4);
  cairo_stroke(cr);
  cairo_rectangle(cr, -13, 4, 18, 1.6);
  Ink(cr, 0.45);
  cairo_fill(cr);
  cairo_restore(cr);
  // The T: a bar and a stem with small serifs, inked, then the orange band.
  auto letter = [cr](double dx, double dy) {
    cairo_new_path(cr);
    cairo_move_to(cr, 11 + dx, 7 + dy);
    cairo_line_to(cr, 37 + dx, 7 + dy);
    cairo_line_to(cr, 37 + dx, 15 + dy);
    cairo_line_to(cr, 34 + dx, 15 + dy);
    cairo_line_to(cr, 33 + dx, 12 + dy);
    cairo_line_to(cr, 28 + dx, 12 + dy);
    cairo_line_to(cr, 28 + dx, 36 + dy);
    cairo_line_to(cr, 31 + dx, 38 + dy);
    cairo_line_to(cr, 31 + dx, 41 + dy);
    cairo_line_to(cr, 17 + dx, 41 + dy);
    cairo_line_to(cr, 17 + dx, 38 + dy);
    cairo_line_to(cr, 20 + dx, 36 + dy);
    cairo_line_to(cr, 20 + dx, 12 + dy);
    cairo_line_to(cr, 15 + dx, 12 + dy);
    cairo_line_to(cr, 14 + dx, 15 + dy);
    cairo_line_to(cr, 11 + dx, 15 + dy);
    cairo_close_path(cr);
  };
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  letter(0.8, 1.2);
  cairo_set_source_rgba(cr, 0.3, 0.12, 0, 0.22);
  cairo_set_line_width(cr, 2.4);
  cairo_stroke_preserve(cr);
  cairo_fill(cr);
  letter(0, 0);
  OrangeInked(cr, 7, 41, 1.6);
  cairo_move_to(cr, 12.5, 8.6);
  cairo_line_to(cr, 35.5, 8.6);
  cairo_set_source_rgba(cr, 1, 0.95, 0.75, 0.55);
  cairo_set_line_width(cr, 1.2);
  cairo_stroke(cr);
  return canvas.ToPicture();
}

// A printer with a sheet coming out of it.
Picture MakePrinter() {
  CairoCanvas canvas(48, 48);
  cairo_t* cr = canvas.cr();
  GroundShadow(cr, 24, 44, 20, 2.5);
  // The paper waiting at the back.
  cairo_rectangle(cr, 13.5, 5.5, 21, 14);
  cairo_set_source_rgb(cr, 1, 0.99, 0.96);
  cairo_fill_preserve(cr);
  Ink(cr, 0.7);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  // The body.
  RoundedRect(cr, 5, 17, 38, 18, 3);
  OrangeInked(cr, 17, 35, 1.2);
  cairo_move_to(cr, 8, 19);
  cairo_line_to(cr, 40, 19);
  cairo_set_source_rgba(cr, 1, 0.95, 0.75, 0.6);
  cairo_stroke(cr);
  // The slot and the light.
  cairo_rectangle(cr, 11, 29, 26, 2.5);
  cairo_set_source_rgb(cr, 0.32, 0.3, 0.3);
  cairo_fill(cr);
  cairo_arc(cr, 37.5, 23.5, 1.6, 0, 2 * kPi);
  cairo_set_source_rgb(cr, 0.3, 0.75, 0.35);
  cairo_fill(cr);
  // The printed card coming out, a photo on it.
  cairo_rectangle(cr, 12.5, 30.5, 23, 12);
  cairo_set_source_rgb(cr, 1, 0.99, 0.96);
  cairo_fill_preserve(cr);
  Ink(cr);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  cairo_rectangle(cr, 15, 33, 18, 7);
  cairo_pattern_t* photo = cairo_pattern_create_linear(0, 33, 0, 40);
  cairo_pattern_add_color_stop_rgb(photo, 0, 0.45, 0.7, 0.95);
  cairo_pattern_add_color_stop_rgb(photo, 1, 0.35, 0.65, 0.35);
  cairo_set_source(cr, photo);
  cairo_fill(cr);
  cairo_pattern_destroy(photo);
  return canvas.ToPicture();
}

}  // namespace

Picture MakeWindowIcon(int size) {
  if (size != 256 && size != 128 && size != 64 && size != 48 && size != 32 && size != 24 &&
      size != 16)
    throw std::invalid_argument("no window icon of that size");
  return MakeFrameIcon(size);
}

Picture MakeToolbarIcon(int id) {
  switch (id) {
    case 203:
      return MakeFloppy();
    case 204:
      return MakeDonate();
    case 205:
      return MakeBulb();
    case 206:
      return MakeStar();
    case 208:
      return MakeTurnArrow(false);
    case 209:
      return MakeTurnArrow(true);
    case 210:
      return MakeCardFan();
    case 211:
      return MakeLetterOnCard();
    case 212:
      return MakePrinter();
    default:
      throw std::invalid_argument("no toolbar icon with that number");
  }
}

}  // namespace artwork
