#include "resources/generator/Overlays.h"

#include <cmath>
#include <functional>
#include <vector>

#include "resources/generator/Drawing.h"
#include "resources/generator/RegionMaps.h"

namespace artwork {

namespace {


// Signed distance of every pixel to the edge of the opening it lies in:
// positive inside an opening, which is its region shrunk by `overlap`, and
// negative on the frame. Region borders (to the background or to another
// region) are where the label changes between neighbours.
std::vector<float> OpeningDistance(const std::vector<int8_t>& labels, int width, int height,
                                   double overlap) {
  std::vector<uint8_t> border(labels.size(), 0);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const size_t i = size_t(y) * size_t(width) + size_t(x);
      const int8_t l = labels[i];
      if ((x + 1 < width && labels[i + 1] != l) ||
          (y + 1 < height && labels[i + size_t(width)] != l) ||
          (x > 0 && labels[i - 1] != l) || (y > 0 && labels[i - size_t(width)] != l))
        border[i] = 1;
    }
  }
  std::vector<float> d = DistanceToSet(border, width, height);
  for (size_t i = 0; i < d.size(); ++i) {
    // Border pixels sit half a pixel from the true edge on either side.
    const double edge = labels[i] >= 0 ? d[i] + 0.5 : -(d[i] + 0.5);
    d[i] = float(edge - overlap);
  }
  return d;
}

}  // namespace

Rgb Mix(const Rgb& a, const Rgb& b, double t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Rgb FromBytes(int r, int g, int b) { return {r / 255.0, g / 255.0, b / 255.0}; }

// Cuts the openings into the background art, shades the frame near them and
// lays a soft shadow into each opening; the result goes back into the canvas
// so that ornaments can be drawn over it. The canvas has `scale` pixels per
// design unit; the look's lengths are in design units, and its frame colour
// is asked for at design-unit positions.
void CutOpenings(CairoCanvas& canvas, const std::vector<int8_t>& labels, const FrameLook& look,
                 int scale) {
  Picture art = canvas.ToPicture();
  const int w = art.width, h = art.height;
  const double units = scale;
  const std::vector<float> dist = OpeningDistance(labels, w, h, look.overlap * units);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      uint8_t* p = art.Pixel(x, y);
      const double hd = dist[size_t(y) * size_t(w) + size_t(x)] / units;
      const Rgb base = FromBytes(p[0], p[1], p[2]);
      // Smoothed over one pixel, whatever the scale.
      const double frameAlpha = Clamp01(0.5 - hd * units);
      const Rgb frame = look.frame(base, hd < 0 ? hd : 0.0, x / scale, y / scale);
      double shadow = 0;
      if (hd > 0 && hd < look.shadowWidth) {
        const double t = 1.0 - hd / look.shadowWidth;
        shadow = look.shadowStrength * t * t;
      }
      const double alpha = frameAlpha + shadow * (1 - frameAlpha);
      if (alpha <= 0) {
        p[0] = p[1] = p[2] = p[3] = 0;
        continue;
      }
      // The shadow is black, so only the frame contributes colour.
      const double k = frameAlpha / alpha;
      p[0] = ToByte(frame.r * k);
      p[1] = ToByte(frame.g * k);
      p[2] = ToByte(frame.b * k);
      p[3] = ToByte(alpha);
    }
  }
  canvas.Load(art);
}

void SetRgb(cairo_t* cr, const Rgb& c, double alpha) {
  cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha);
}

// A soft drop shadow for the current path drawn as a stroke: widening
// strokes of faint black, offset down and to the right.
void StrokeShadow(cairo_t* cr, double width, double dx, double dy, double strength) {
  cairo_save(cr);
  cairo_translate(cr, dx, dy);
  for (int i = 4; i >= 1; --i) {
    cairo_set_line_width(cr, width + 2.0 * i);
    cairo_set_source_rgba(cr, 0, 0, 0, strength / 4.0);
    cairo_stroke_preserve(cr);
  }
  cairo_restore(cr);
}

void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double r) {
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + w - r, y + r, r, -kPi / 2, 0);
  cairo_arc(cr, x + w - r, y + h - r, r, 0, kPi / 2);
  cairo_arc(cr, x + r, y + h - r, r, kPi / 2, kPi);
  cairo_arc(cr, x + r, y + r, r, kPi, 3 * kPi / 2);
  cairo_close_path(cr);
}

void EllipsePath(cairo_t* cr, double cx, double cy, double a, double b) {
  cairo_save(cr);
  cairo_translate(cr, cx, cy);
  cairo_scale(cr, a, b);
  cairo_new_sub_path(cr);
  cairo_arc(cr, 0, 0, 1, 0, 2 * kPi);
  cairo_restore(cr);
}

namespace {

void QuarterArc(cairo_t* cr, double cx, double cy, double a, double b, double from, double to) {
  cairo_save(cr);
  cairo_translate(cr, cx, cy);
  cairo_scale(cr, a, b);
  cairo_arc(cr, 0, 0, 1, from, to);
  cairo_restore(cr);
}

}  // namespace

// A four-pointed sparkle centred on (x, y).
void SparklePath(cairo_t* cr, double x, double y, double r) {
  const double inner = r * 0.22;
  cairo_move_to(cr, x, y - r);
  cairo_curve_to(cr, x + inner * 0.3, y - inner, x + inner, y - inner * 0.3, x + r, y);
  cairo_curve_to(cr, x + inner, y + inner * 0.3, x + inner * 0.3, y + inner, x, y + r);
  cairo_curve_to(cr, x - inner * 0.3, y + inner, x - inner, y + inner * 0.3, x - r, y);
  cairo_curve_to(cr, x - inner, y - inner * 0.3, x - inner * 0.3, y - inner, x, y - r);
  cairo_close_path(cr);
}

// A heart whose top notch is near (x, y - 0.35 size), tip at (x, y + 0.5 size).
void HeartPath(cairo_t* cr, double x, double y, double size, double angle) {
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_rotate(cr, angle);
  cairo_scale(cr, size, size);
  cairo_move_to(cr, 0, 0.5);
  cairo_curve_to(cr, -0.15, 0.32, -0.55, 0.12, -0.5, -0.15);
  cairo_curve_to(cr, -0.46, -0.42, -0.12, -0.52, 0, -0.27);
  cairo_curve_to(cr, 0.12, -0.52, 0.46, -0.42, 0.5, -0.15);
  cairo_curve_to(cr, 0.55, 0.12, 0.15, 0.32, 0, 0.5);
  cairo_close_path(cr);
  cairo_restore(cr);
}

void DrawHeart(cairo_t* cr, double x, double y, double size, double angle) {
  HeartPath(cr, x + size * 0.05, y + size * 0.09, size, angle);
  cairo_set_source_rgba(cr, 0.2, 0, 0, 0.3);
  cairo_fill(cr);
  HeartPath(cr, x, y, size, angle);
  cairo_pattern_t* fill = cairo_pattern_create_radial(x - size * 0.18, y - size * 0.2, size * 0.05,
                                                      x, y, size * 0.6);
  cairo_pattern_add_color_stop_rgb(fill, 0, 1.0, 0.55, 0.58);
  cairo_pattern_add_color_stop_rgb(fill, 0.45, 0.88, 0.12, 0.2);
  cairo_pattern_add_color_stop_rgb(fill, 1, 0.62, 0.02, 0.1);
  cairo_set_source(cr, fill);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(fill);
  cairo_set_line_width(cr, 1.2);
  cairo_set_source_rgba(cr, 0.45, 0, 0.05, 0.8);
  cairo_stroke(cr);
  // Gloss on the left lobe.
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_rotate(cr, angle);
  cairo_scale(cr, size, size);
  cairo_translate(cr, -0.25, -0.22);
  cairo_rotate(cr, -0.6);
  cairo_scale(cr, 0.12, 0.06);
  cairo_arc(cr, 0, 0, 1, 0, 2 * kPi);
  cairo_restore(cr);
  cairo_set_source_rgba(cr, 1, 1, 1, 0.7);
  cairo_fill(cr);
}

namespace {

// ---------------------------------------------------------------- template 0

Picture MakeOverlay0(const Picture& map, int scale) {
  CairoCanvas canvas(map.width, map.height);
  cairo_t* cr = canvas.cr();
  cairo_scale(cr, scale, scale);
  const int width = map.width / scale, height = map.height / scale;
  cairo_pattern_t* sky = cairo_pattern_create_linear(0, 0, 0, height);
  cairo_pattern_add_color_stop_rgb(sky, 0, 0.87, 0.93, 0.99);
  cairo_pattern_add_color_stop_rgb(sky, 1, 0.74, 0.84, 0.95);
  cairo_set_source(cr, sky);
  cairo_paint(cr);
  cairo_pattern_destroy(sky);
  // Faint diagonal sheen.
  for (int i = -600; i < 900; i += 14) {
    cairo_move_to(cr, i, 0);
    cairo_line_to(cr, i + 600, 600);
  }
  cairo_set_line_width(cr, 4);
  cairo_set_source_rgba(cr, 1, 1, 1, 0.12);
  cairo_stroke(cr);

  const Rgb white = {1, 1, 1};
  const Rgb edge = FromBytes(104, 146, 196);
  FrameLook look;
  look.overlap = 4;
  look.shadowWidth = 7;
  look.shadowStrength = 0.38;
  look.frame = [&](const Rgb& art, double hd, int, int) {
    // A white bead two pixels from the opening and a darker lip at its edge.
    if (hd > -1.2) return Mix(art, edge, 0.8);
    const double bead = std::exp(-std::pow((hd + 3.0) / 1.1, 2));
    return Mix(art, white, 0.75 * bead);
  };
  CutOpenings(canvas, RegionLabels(0, map), look, scale);

  // Ring around the centre circle, over the band the openings left.
  const RegionSpec c = TemplateRegions(0)[4];
  const double cx = (c.left + c.right) / 2.0, cy = (c.top + c.bottom) / 2.0;
  const double r = (c.right - c.left) / 2.0;
  cairo_new_path(cr);
  cairo_arc(cr, cx, cy, r, 0, 2 * kPi);
  StrokeShadow(cr, 10, 1.5, 2.5, 0.22);
  cairo_pattern_t* ring = cairo_pattern_create_linear(cx, cy - r, cx, cy + r);
  cairo_pattern_add_color_stop_rgb(ring, 0, 0.93, 0.97, 1.0);
  cairo_pattern_add_color_stop_rgb(ring, 1, 0.70, 0.81, 0.94);
  cairo_set_source(cr, ring);
  cairo_set_line_width(cr, 10);
  cairo_stroke_preserve(cr);
  cairo_pattern_destroy(ring);
  cairo_set_line_width(cr, 1.5);
  SetRgb(cr, white, 0.9);
  cairo_stroke(cr);
  cairo_arc(cr, cx, cy, r + 5, 0, 2 * kPi);
  cairo_set_line_width(cr, 1);
  SetRgb(cr, edge, 0.7);
  cairo_stroke(cr);

  // Stitching along the outer edge.
  const double dashes[2] = {6, 4};
  cairo_set_dash(cr, dashes, 2, 0);
  cairo_rectangle(cr, 5.5, 5.5, width - 11, height - 11);
  cairo_set_line_width(cr, 1.5);
  SetRgb(cr, white, 0.85);
  cairo_stroke(cr);
  cairo_set_dash(cr, nullptr, 0, 0);

  // Sparkles where the gaps meet the outer edge.
  const double spots[4][2] = {{450, 22}, {450, 578}, {22, 300}, {878, 300}};
  for (const auto& s : spots) {
    SparklePath(cr, s[0] + 1, s[1] + 1.5, 11);
    cairo_set_source_rgba(cr, 0.2, 0.35, 0.55, 0.25);
    cairo_fill(cr);
    SparklePath(cr, s[0], s[1], 11);
    SetRgb(cr, white);
    cairo_fill_preserve(cr);
    cairo_set_line_width(cr, 0.8);
    SetRgb(cr, edge, 0.6);
    cairo_stroke(cr);
  }
  return canvas.ToPicture();
}

// ---------------------------------------------------------------- template 1

// A strip of translucent tape across a point, at an angle.
void DrawTape(cairo_t* cr, double x, double y, double angle, double length, const Rgb& colour) {
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_rotate(cr, angle);
  const double hw = length / 2, hh = 11;
  // Torn-looking short ends: small zigzags.
  cairo_move_to(cr, -hw, -hh);
  cairo_line_to(cr, hw, -hh);
  for (int i = 0; i <= 6; ++i) cairo_line_to(cr, hw + ((i % 2) ? 2.5 : 0), -hh + i * (2 * hh) / 6);
  cairo_line_to(cr, -hw, hh);
  for (int i = 6; i >= 0; --i) cairo_line_to(cr, -hw - ((i % 2) ? 2.5 : 0), -hh + i * (2 * hh) / 6);
  cairo_close_path(cr);
  cairo_save(cr);
  cairo_translate(cr, 1, 2);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.12);
  cairo_fill_preserve(cr);
  cairo_restore(cr);
  cairo_new_path(cr);
  cairo_move_to(cr, -hw, -hh);
  cairo_line_to(cr, hw, -hh);
  for (int i = 0; i <= 6; ++i) cairo_line_to(cr, hw + ((i % 2) ? 2.5 : 0), -hh + i * (2 * hh) / 6);
  cairo_line_to(cr, -hw, hh);
  for (int i = 6; i >= 0; --i) cairo_line_to(cr, -hw - ((i % 2) ? 2.5 : 0), -hh + i * (2 * hh) / 6);
  cairo_close_path(cr);
  SetRgb(cr, colour, 0.78);
  cairo_fill_preserve(cr);
  cairo_clip(cr);
  // Diagonal stripes printed on the tape.
  for (double s = -hw - 30; s < hw + 30; s += 9) {
    cairo_move_to(cr, s, -hh);
    cairo_line_to(cr, s + 14, hh);
  }
  cairo_set_line_width(cr, 3);
  cairo_set_source_rgba(cr, 1, 1, 1, 0.35);
  cairo_stroke(cr);
  cairo_restore(cr);
}

Picture MakeOverlay1(const Picture& map, int scale) {
  CairoCanvas canvas(map.width, map.height);
  cairo_t* cr = canvas.cr();
  cairo_scale(cr, scale, scale);
  cairo_pattern_t* paper = cairo_pattern_create_radial(450, 300, 50, 450, 300, 560);
  cairo_pattern_add_color_stop_rgb(paper, 0, 0.86, 0.74, 0.56);
  cairo_pattern_add_color_stop_rgb(paper, 1, 0.72, 0.57, 0.38);
  cairo_set_source(cr, paper);
  cairo_paint(cr);
  cairo_pattern_destroy(paper);

  const Rgb core = FromBytes(250, 246, 236);
  FrameLook look;
  look.overlap = 3;
  look.shadowWidth = 8;
  look.shadowStrength = 0.5;
  look.frame = [&](const Rgb& art, double hd, int x, int y) {
    // Kraft fibres: fine grain plus slow mottling.
    const double grain = HashUnit(uint32_t(x), uint32_t(y), 7) - 0.5;
    const double mottle = HashUnit(uint32_t(x / 9), uint32_t(y / 9), 11) - 0.5;
    Rgb c = Mix(art, {0, 0, 0}, 0.06 * grain + 0.04 * mottle);
    // Torn edge: the paper's white core shows in a ragged band along the
    // opening, wider where the tear ran shallow.
    const double ragged = 2.2 + 2.6 * HashUnit(uint32_t(x / 3), uint32_t(y / 3), 5);
    if (hd > -ragged) {
      const double fibre = 0.04 * (HashUnit(uint32_t(x), uint32_t(y), 3) - 0.5);
      c = Mix(core, {0, 0, 0}, fibre);
    } else if (hd > -ragged - 2.0) {
      c = Mix(c, {0.35, 0.22, 0.1}, 0.25 * (1 - (-ragged - hd) / 2.0));
    }
    return c;
  };
  CutOpenings(canvas, RegionLabels(1, map), look, scale);

  // Tape over some of the photo corners, the way a scrapbook page holds them.
  const Rgb tapes[3] = {FromBytes(244, 214, 120), FromBytes(160, 206, 198),
                        FromBytes(236, 160, 150)};
  const std::vector<RegionSpec> regions = TemplateRegions(1);
  DrawTape(cr, regions[0].left + 16, regions[0].top + 14, -0.75, 70, tapes[0]);
  DrawTape(cr, regions[1].right - 16, regions[1].top + 14, 0.75, 70, tapes[1]);
  DrawTape(cr, regions[2].left + 16, regions[2].bottom - 14, 0.75, 70, tapes[2]);
  DrawTape(cr, regions[3].right - 16, regions[3].bottom - 14, -0.75, 70, tapes[0]);
  DrawTape(cr, 460, 294, 0.08, 64, tapes[1]);
  return canvas.ToPicture();
}

// ---------------------------------------------------------------- template 2

// The outline of template 2's big ellipse, as four quarter arcs.
void BigEllipsePath(cairo_t* cr, const Template2Shape& s) {
  const double left = 67.5, right = 809.5;
  cairo_new_sub_path(cr);
  QuarterArc(cr, s.cxTop, s.cy, right - s.cxTop, s.bTop, -kPi / 2, 0);
  QuarterArc(cr, s.cxBottom, s.cy, right - s.cxBottom, s.bBottomRight, 0, kPi / 2);
  QuarterArc(cr, s.cxBottom, s.cy, s.cxBottom - left, s.bBottomLeft, kPi / 2, kPi);
  QuarterArc(cr, s.cxTop, s.cy, s.cxTop - left, s.bTop, kPi, 3 * kPi / 2);
  cairo_close_path(cr);
}

void StrokeRedRing(cairo_t* cr, double width) {
  StrokeShadow(cr, width, 1.5, 2.5, 0.25);
  cairo_pattern_t* red = cairo_pattern_create_linear(0, 0, 0, 600);
  cairo_pattern_add_color_stop_rgb(red, 0, 0.86, 0.12, 0.2);
  cairo_pattern_add_color_stop_rgb(red, 1, 0.62, 0.03, 0.12);
  cairo_set_source(cr, red);
  cairo_set_line_width(cr, width);
  cairo_stroke_preserve(cr);
  cairo_pattern_destroy(red);
  cairo_set_line_width(cr, width * 0.28);
  cairo_set_source_rgba(cr, 1, 0.55, 0.58, 0.55);
  cairo_stroke_preserve(cr);
  cairo_set_line_width(cr, 1);
  cairo_set_source_rgba(cr, 1, 0.9, 0.9, 0.6);
  cairo_stroke(cr);
}

Picture MakeOverlay2(const Picture& map, int scale) {
  const Template2Shape& s = Template2Geometry();
  CairoCanvas canvas(map.width, map.height);
  cairo_t* cr = canvas.cr();
  cairo_scale(cr, scale, scale);
  const int width = map.width / scale, height = map.height / scale;
  cairo_pattern_t* blush = cairo_pattern_create_radial(450, 300, 100, 450, 300, 600);
  cairo_pattern_add_color_stop_rgb(blush, 0, 1.0, 0.96, 0.95);
  cairo_pattern_add_color_stop_rgb(blush, 1, 0.97, 0.84, 0.85);
  cairo_set_source(cr, blush);
  cairo_paint(cr);
  cairo_pattern_destroy(blush);
  // Scattered small hearts in the background.
  Noise noise(2024);
  for (int row = 0; row < 14; ++row) {
    for (int col = 0; col < 20; ++col) {
      const double x = col * 46 + (row % 2) * 23 + 8 * noise.Unit();
      const double y = row * 44 + 8 * noise.Unit();
      HeartPath(cr, x, y, 12 + 6 * noise.Unit(), 0.5 * (noise.Unit() - 0.5));
      cairo_set_source_rgba(cr, 0.85, 0.2, 0.3, 0.16);
      cairo_fill(cr);
    }
  }

  FrameLook look;
  look.overlap = 5;
  look.shadowWidth = 7;
  look.shadowStrength = 0.35;
  look.frame = [](const Rgb& art, double, int, int) { return art; };
  CutOpenings(canvas, RegionLabels(2, map), look, scale);

  // Outer ring of the big ellipse where the small one does not cover it.
  cairo_save(cr);
  cairo_rectangle(cr, 0, 0, width, height);
  EllipsePath(cr, s.smallCx, s.smallCy, s.smallA, s.smallB);
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
  cairo_clip(cr);
  cairo_new_path(cr);
  BigEllipsePath(cr, s);
  StrokeRedRing(cr, 14);
  cairo_restore(cr);
  // The split between the halves, inside the big ellipse and above the small.
  cairo_save(cr);
  cairo_new_path(cr);
  BigEllipsePath(cr, s);
  cairo_clip(cr);
  cairo_rectangle(cr, 0, 0, width, height);
  EllipsePath(cr, s.smallCx, s.smallCy, s.smallA, s.smallB);
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
  cairo_clip(cr);
  cairo_new_path(cr);
  cairo_move_to(cr, s.SplitXAt(0), 0);
  cairo_line_to(cr, s.SplitXAt(600), 600);
  StrokeRedRing(cr, 11);
  cairo_restore(cr);
  // The small ellipse's ring, drawn whole: it frames the bottom region and
  // separates it from the halves above.
  cairo_new_path(cr);
  EllipsePath(cr, s.smallCx, s.smallCy, s.smallA, s.smallB);
  StrokeRedRing(cr, 14);

  // Hearts along the big ring, and a larger one where the split meets the
  // small ellipse.
  const double angles[] = {-150, -120, -90, -60, -30, 0, 180, 150, 30};
  for (double deg : angles) {
    const double t = deg * kPi / 180;
    const bool top = std::sin(t) < 0;
    const bool rightSide = std::cos(t) >= 0;
    const double cx = top ? s.cxTop : s.cxBottom;
    const double a = rightSide ? 809.5 - cx : cx - 67.5;
    const double b = top ? s.bTop : (rightSide ? s.bBottomRight : s.bBottomLeft);
    const double x = cx + a * std::cos(t), y = s.cy + b * std::sin(t);
    // Tangent direction keeps each heart upright relative to the ring.
    const double tilt = std::atan2(b * std::cos(t), -a * std::sin(t));
    DrawHeart(cr, x, y, 30, deg == -90 ? 0 : tilt * 0.15);
  }
  const double jy = s.smallCy - s.smallB + 1;
  DrawHeart(cr, s.SplitXAt(jy), jy, 44, 0);
  for (double deg : {35.0, 145.0}) {
    const double t = deg * kPi / 180;
    DrawHeart(cr, s.smallCx + s.smallA * std::cos(t), s.smallCy + s.smallB * std::sin(t), 28, 0);
  }
  return canvas.ToPicture();
}

}  // namespace

Picture MakeOverlay(int index, const Picture& regionMap, int scale) {
  switch (index) {
    case 0:
      return MakeOverlay0(regionMap, scale);
    case 1:
      return MakeOverlay1(regionMap, scale);
    case 2:
      return MakeOverlay2(regionMap, scale);
    default:
      return MakeOccasionOverlay(index, regionMap, scale);
  }
}

}  // namespace artwork
