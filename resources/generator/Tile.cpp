#include "resources/generator/Tile.h"

#include <cmath>

#include "resources/generator/Drawing.h"

namespace artwork {

namespace {

void CentredText(cairo_t* cr, const char* text, double size, bool bold, double baseline) {
  cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL,
                         bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, size);
  cairo_text_extents_t ext;
  cairo_text_extents(cr, text, &ext);
  cairo_move_to(cr, std::round(78.5 - ext.width / 2 - ext.x_bearing), baseline);
  cairo_show_text(cr, text);
}

}  // namespace

Picture MakePlaceholderTile() {
  const int size = 157;
  CairoCanvas canvas(size, size);
  cairo_t* cr = canvas.cr();
  // The program fills the rest of a region with the top-left pixel, so the
  // whole background, corners included, is exactly this colour.
  cairo_set_source_rgb(cr, 192 / 255.0, 176 / 255.0, 160 / 255.0);
  cairo_paint(cr);

  // Camera pictogram, faint, above the text.
  const double ink[3] = {26 / 255.0, 42 / 255.0, 112 / 255.0};
  cairo_set_source_rgba(cr, ink[0], ink[1], ink[2], 0.42);
  RoundedRect(cr, 52.5, 40.5, 52, 34, 5);
  cairo_move_to(cr, 66.5, 40.5);
  cairo_line_to(cr, 70.5, 33.5);
  cairo_line_to(cr, 86.5, 33.5);
  cairo_line_to(cr, 90.5, 40.5);
  cairo_set_line_width(cr, 3);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_stroke(cr);
  cairo_arc(cr, 78.5, 57.5, 10.5, 0, 2 * kPi);
  cairo_stroke(cr);
  cairo_arc(cr, 97, 47, 2, 0, 2 * kPi);
  cairo_fill(cr);
  // A plus sign on the lens: this is where a photo goes.
  cairo_move_to(cr, 78.5, 52.5);
  cairo_line_to(cr, 78.5, 62.5);
  cairo_move_to(cr, 73.5, 57.5);
  cairo_line_to(cr, 83.5, 57.5);
  cairo_set_line_width(cr, 2.4);
  cairo_stroke(cr);

  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
  cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_SLIGHT);
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
  cairo_set_font_options(cr, options);
  cairo_font_options_destroy(options);
  cairo_set_source_rgb(cr, ink[0], ink[1], ink[2]);
  CentredText(cr, "Click to add photo", 13, true, 99);
  CentredText(cr, "(or drag and drop one)", 11, false, 117);
  return canvas.ToPicture();
}

}  // namespace artwork
