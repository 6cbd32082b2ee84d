// The designs for occasions, after the first three: birthday, thank you,
// wedding, new baby, holidays and a postcard. Regions are plain shapes
// tested at pixel centres (hard edges in pure colours, as template 0), so
// their boxes are exact at every scale; overlays are drawn in design units
// on a canvas scaled to the version's pixels.

#include <cmath>
#include <stdexcept>
#include <vector>

#include "resources/generator/Drawing.h"
#include "resources/generator/RegionMaps.h"

namespace artwork {

namespace {

constexpr uint32_t KeyOf(uint8_t r, uint8_t g, uint8_t b) {
  return (uint32_t(b & 0xF8) << 16) | (uint32_t(g & 0xF8) << 8) | uint32_t(r & 0xF8);
}

RegionSpec Region(uint8_t r, uint8_t g, uint8_t b, int left, int top, int right, int bottom) {
  return {r, g, b, KeyOf(r, g, b), left, top, right, bottom};
}

// Keys ascend in this order, so these are slots 0 to 4.
RegionSpec Red(int l, int t, int r, int b) { return Region(255, 0, 0, l, t, r, b); }
RegionSpec Green(int l, int t, int r, int b) { return Region(0, 255, 0, l, t, r, b); }
RegionSpec Blue(int l, int t, int r, int b) { return Region(0, 0, 255, l, t, r, b); }
RegionSpec Magenta(int l, int t, int r, int b) { return Region(255, 0, 255, l, t, r, b); }
RegionSpec Cyan(int l, int t, int r, int b) { return Region(0, 255, 255, l, t, r, b); }

// How a region fills its box.
enum class Shape { RoundedRect, Circle, Arch };

struct RegionShape {
  Shape shape;
  double radius;  // corners of a rounded rectangle; ignored otherwise
};

// The shape of each region of design `index`, in slot order.
std::vector<RegionShape> Shapes(int index) {
  switch (index) {
    case 3:  // birthday
      return {{Shape::RoundedRect, 28}, {Shape::Circle, 0}, {Shape::RoundedRect, 24}};
    case 4:  // thank you
      return {{Shape::RoundedRect, 16}, {Shape::RoundedRect, 16}};
    case 5:  // wedding
      return {{Shape::Arch, 0}, {Shape::Circle, 0}, {Shape::Circle, 0}};
    case 6:  // new baby
      return {{Shape::RoundedRect, 40}, {Shape::Circle, 0}, {Shape::Circle, 0}};
    case 7:  // holidays
      return {{Shape::RoundedRect, 20},
              {Shape::Circle, 0},
              {Shape::Circle, 0},
              {Shape::Circle, 0},
              {Shape::Circle, 0}};
    case 8:  // postcard
      return {{Shape::RoundedRect, 6}};
    default:
      throw std::invalid_argument("no such design");
  }
}

// Whether the point (design units) lies in the region.
bool Inside(const RegionSpec& r, const RegionShape& s, double px, double py) {
  if (px < r.left || px >= r.right || py < r.top || py >= r.bottom) return false;
  switch (s.shape) {
    case Shape::RoundedRect: {
      const double qx = std::fmin(std::fmax(px, r.left + s.radius), r.right - s.radius);
      const double qy = std::fmin(std::fmax(py, r.top + s.radius), r.bottom - s.radius);
      return (px - qx) * (px - qx) + (py - qy) * (py - qy) <= s.radius * s.radius;
    }
    case Shape::Circle: {
      const double cx = (r.left + r.right) / 2.0, cy = (r.top + r.bottom) / 2.0;
      const double rr = (r.right - r.left) / 2.0;
      return (px - cx) * (px - cx) + (py - cy) * (py - cy) < rr * rr;
    }
    case Shape::Arch: {
      // A rectangle whose top is a half circle as wide as it.
      const double rr = (r.right - r.left) / 2.0;
      const double cx = r.left + rr, cy = r.top + rr;
      return py >= cy || (px - cx) * (px - cx) + (py - cy) * (py - cy) < rr * rr;
    }
  }
  return false;
}

// The outline of a region, grown by `grow` design units.
void RegionPath(cairo_t* cr, const RegionSpec& r, const RegionShape& s, double grow) {
  const double l = r.left - grow, t = r.top - grow, w = r.right - r.left + 2 * grow,
               h = r.bottom - r.top + 2 * grow;
  switch (s.shape) {
    case Shape::RoundedRect:
      RoundedRect(cr, l, t, w, h, s.radius + grow);
      break;
    case Shape::Circle:
      cairo_new_sub_path(cr);
      cairo_arc(cr, l + w / 2, t + h / 2, w / 2, 0, 2 * kPi);
      break;
    case Shape::Arch: {
      const double rr = w / 2;
      cairo_new_sub_path(cr);
      cairo_arc(cr, l + rr, t + rr, rr, kPi, 2 * kPi);
      cairo_line_to(cr, l + w, t + h);
      cairo_line_to(cr, l, t + h);
      cairo_close_path(cr);
      break;
    }
  }
}

void Paint(cairo_t* cr, const Rgb& c, double alpha = 1.0) {
  SetRgb(cr, c, alpha);
  cairo_fill(cr);
}

void LinearBackground(cairo_t* cr, double height, const Rgb& top, const Rgb& bottom) {
  cairo_pattern_t* p = cairo_pattern_create_linear(0, 0, 0, height);
  cairo_pattern_add_color_stop_rgb(p, 0, top.r, top.g, top.b);
  cairo_pattern_add_color_stop_rgb(p, 1, bottom.r, bottom.g, bottom.b);
  cairo_set_source(cr, p);
  cairo_paint(cr);
  cairo_pattern_destroy(p);
}

// A frame that is the art itself, with a light bead `bead` units from the
// opening and a thin lip of `lip` colour at its edge.
FrameLook BeadFrame(double overlap, const Rgb& lip, const Rgb& bead, double beadAt) {
  FrameLook look;
  look.overlap = overlap;
  look.shadowWidth = 7;
  look.shadowStrength = 0.35;
  look.frame = [lip, bead, beadAt](const Rgb& art, double hd, int, int) {
    if (hd > -1.2) return Mix(art, lip, 0.75);
    const double b = std::exp(-std::pow((hd + beadAt) / 1.2, 2));
    return Mix(art, bead, 0.8 * b);
  };
  return look;
}

// Outlines every region with a ring of `width` centred `grow` units out.
void RingRegions(cairo_t* cr, int index, double grow, double width, const Rgb& colour,
                 double alpha = 1.0) {
  const std::vector<RegionSpec> regions = OccasionRegions(index);
  const std::vector<RegionShape> shapes = Shapes(index);
  for (size_t i = 0; i < regions.size(); ++i) {
    cairo_new_path(cr);
    RegionPath(cr, regions[i], shapes[i], grow);
    SetRgb(cr, colour, alpha);
    cairo_set_line_width(cr, width);
    cairo_stroke(cr);
  }
}

// A five-pointed star.
void StarPath(cairo_t* cr, double x, double y, double outer, double inner, double turn) {
  cairo_new_sub_path(cr);
  for (int i = 0; i < 10; ++i) {
    const double a = turn - kPi / 2 + i * kPi / 5;
    const double r = (i % 2) ? inner : outer;
    cairo_line_to(cr, x + r * std::cos(a), y + r * std::sin(a));
  }
  cairo_close_path(cr);
}

// A six-armed snowflake of radius r.
void Snowflake(cairo_t* cr, double x, double y, double r, double alpha) {
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_width(cr, r * 0.12);
  for (int i = 0; i < 6; ++i) {
    cairo_save(cr);
    cairo_rotate(cr, i * kPi / 3);
    cairo_move_to(cr, 0, 0);
    cairo_line_to(cr, 0, -r);
    for (double at : {0.45, 0.7}) {
      cairo_move_to(cr, 0, -r * at);
      cairo_line_to(cr, -r * 0.22, -r * (at + 0.2));
      cairo_move_to(cr, 0, -r * at);
      cairo_line_to(cr, r * 0.22, -r * (at + 0.2));
    }
    cairo_restore(cr);
  }
  cairo_set_source_rgba(cr, 1, 1, 1, alpha);
  cairo_stroke(cr);
  cairo_restore(cr);
}

// A balloon with its knot at the bottom and a curly string.
void Balloon(cairo_t* cr, double x, double y, double r, const Rgb& colour, double tilt) {
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_rotate(cr, tilt);
  // String first, so the balloon covers its top.
  cairo_move_to(cr, 0, r * 1.25);
  cairo_curve_to(cr, r * 0.3, r * 1.7, -r * 0.3, r * 2.1, r * 0.1, r * 2.6);
  cairo_set_line_width(cr, 1.2);
  cairo_set_source_rgba(cr, 0.35, 0.3, 0.3, 0.8);
  cairo_stroke(cr);
  cairo_save(cr);
  cairo_scale(cr, 0.86, 1.0);
  cairo_arc(cr, 0, 0, r, 0, 2 * kPi);
  cairo_restore(cr);
  cairo_pattern_t* p = cairo_pattern_create_radial(-r * 0.35, -r * 0.4, r * 0.1, 0, 0, r * 1.1);
  cairo_pattern_add_color_stop_rgb(p, 0, std::fmin(1, colour.r + 0.35),
                                   std::fmin(1, colour.g + 0.35), std::fmin(1, colour.b + 0.35));
  cairo_pattern_add_color_stop_rgb(p, 1, colour.r * 0.75, colour.g * 0.75, colour.b * 0.75);
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  // The knot.
  cairo_move_to(cr, -r * 0.1, r * 1.02);
  cairo_line_to(cr, r * 0.1, r * 1.02);
  cairo_line_to(cr, r * 0.06, r * 1.14);
  cairo_line_to(cr, -r * 0.06, r * 1.14);
  cairo_close_path(cr);
  Paint(cr, Mix(colour, {0, 0, 0}, 0.25));
  // Shine.
  cairo_save(cr);
  cairo_translate(cr, -r * 0.38, -r * 0.45);
  cairo_rotate(cr, -0.5);
  cairo_scale(cr, r * 0.13, r * 0.24);
  cairo_arc(cr, 0, 0, 1, 0, 2 * kPi);
  cairo_restore(cr);
  cairo_set_source_rgba(cr, 1, 1, 1, 0.55);
  cairo_fill(cr);
  cairo_restore(cr);
}

// A flower of `petals` round petals around a centre.
void Flower(cairo_t* cr, double x, double y, double r, int petals, const Rgb& petal,
            const Rgb& centre, double turn) {
  for (int i = 0; i < petals; ++i) {
    const double a = turn + i * 2 * kPi / petals;
    cairo_save(cr);
    cairo_translate(cr, x + std::cos(a) * r * 0.55, y + std::sin(a) * r * 0.55);
    cairo_rotate(cr, a);
    cairo_scale(cr, r * 0.55, r * 0.36);
    cairo_arc(cr, 0, 0, 1, 0, 2 * kPi);
    cairo_restore(cr);
    Paint(cr, petal);
  }
  for (int i = 0; i < petals; ++i) {
    const double a = turn + i * 2 * kPi / petals;
    cairo_move_to(cr, x + std::cos(a) * r * 0.25, y + std::sin(a) * r * 0.25);
    cairo_line_to(cr, x + std::cos(a) * r * 0.8, y + std::sin(a) * r * 0.8);
  }
  cairo_set_line_width(cr, r * 0.04);
  SetRgb(cr, Mix(petal, {0, 0, 0}, 0.25), 0.6);
  cairo_stroke(cr);
  cairo_arc(cr, x, y, r * 0.24, 0, 2 * kPi);
  Paint(cr, centre);
}

// A pointed leaf from (x, y) along angle a.
void Leaf(cairo_t* cr, double x, double y, double length, double a, const Rgb& colour) {
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_rotate(cr, a);
  cairo_move_to(cr, 0, 0);
  cairo_curve_to(cr, length * 0.3, -length * 0.32, length * 0.75, -length * 0.28, length, 0);
  cairo_curve_to(cr, length * 0.75, length * 0.28, length * 0.3, length * 0.32, 0, 0);
  cairo_close_path(cr);
  Paint(cr, colour);
  cairo_move_to(cr, 0, 0);
  cairo_line_to(cr, length * 0.9, 0);
  cairo_set_line_width(cr, length * 0.035);
  SetRgb(cr, Mix(colour, {1, 1, 1}, 0.35), 0.8);
  cairo_stroke(cr);
  cairo_restore(cr);
}

// ---------------------------------------------------------------- birthday

Picture BirthdayOverlay(const Picture& map, int scale) {
  CairoCanvas canvas(map.width, map.height);
  cairo_t* cr = canvas.cr();
  cairo_scale(cr, scale, scale);
  LinearBackground(cr, 600, FromBytes(255, 236, 170), FromBytes(255, 196, 150));
  const Rgb party[5] = {FromBytes(239, 71, 111), FromBytes(255, 180, 0), FromBytes(6, 170, 140),
                        FromBytes(17, 138, 178), FromBytes(150, 90, 200)};
  // Confetti: dots and small slanted strips.
  Noise noise(3101);
  for (int i = 0; i < 260; ++i) {
    const double x = noise.Unit() * 900, y = noise.Unit() * 600;
    const Rgb& c = party[noise.Next() % 5];
    if (noise.Unit() < 0.5) {
      cairo_arc(cr, x, y, 2.5 + 2.5 * noise.Unit(), 0, 2 * kPi);
    } else {
      cairo_save(cr);
      cairo_translate(cr, x, y);
      cairo_rotate(cr, noise.Unit() * kPi);
      cairo_rectangle(cr, -5, -1.6, 10, 3.2);
      cairo_restore(cr);
    }
    Paint(cr, c, 0.85);
  }
  CutOpenings(canvas, RegionLabels(3, map), BeadFrame(4, FromBytes(200, 120, 80), {1, 1, 1}, 3.5),
              scale);
  RingRegions(cr, 3, 9, 3, {1, 1, 1}, 0.9);

  // Bunting along the top edge.
  cairo_move_to(cr, -10, 8);
  cairo_curve_to(cr, 300, 40, 600, 40, 910, 8);
  cairo_set_line_width(cr, 1.5);
  cairo_set_source_rgba(cr, 0.4, 0.25, 0.2, 0.9);
  cairo_stroke(cr);
  for (int i = 0; i < 17; ++i) {
    const double t = (i + 0.5) / 17.0;
    // On the cubic above, near enough: its height at t.
    const double u = 1 - t;
    const double x = -10 * u * u * u + 3 * 300 * u * u * t + 3 * 600 * u * t * t + 910 * t * t * t;
    const double y = 8 * u * u * u + 3 * 40 * u * u * t + 3 * 40 * u * t * t + 8 * t * t * t;
    cairo_move_to(cr, x - 14, y);
    cairo_line_to(cr, x + 14, y);
    cairo_line_to(cr, x, y + 24);
    cairo_close_path(cr);
    Paint(cr, party[i % 5]);
  }
  // Balloons at the card's two free corners.
  Balloon(cr, 548, 560, 20, party[0], -0.15);
  Balloon(cr, 860, 330, 16, party[2], 0.2);
  Balloon(cr, 24, 572, 17, party[3], 0.1);
  Balloon(cr, 530, 40, 15, party[4], 0.1);
  return canvas.ToPicture();
}

// ---------------------------------------------------------------- thank you

Picture ThankYouOverlay(const Picture& map, int scale) {
  CairoCanvas canvas(map.width, map.height);
  cairo_t* cr = canvas.cr();
  cairo_scale(cr, scale, scale);
  LinearBackground(cr, 600, FromBytes(214, 228, 206), FromBytes(180, 204, 176));
  // Faint linen weave.
  for (int i = 0; i < 900; i += 6) {
    cairo_move_to(cr, i + 0.5, 0);
    cairo_line_to(cr, i + 0.5, 600);
  }
  for (int i = 0; i < 600; i += 6) {
    cairo_move_to(cr, 0, i + 0.5);
    cairo_line_to(cr, 900, i + 0.5);
  }
  cairo_set_line_width(cr, 1);
  cairo_set_source_rgba(cr, 1, 1, 1, 0.12);
  cairo_stroke(cr);
  CutOpenings(canvas, RegionLabels(4, map), BeadFrame(4, FromBytes(90, 120, 80), {1, 1, 1}, 4),
              scale);
  RingRegions(cr, 4, 11, 2, {1, 1, 1}, 0.85);

  // The ribbon along the bottom, where a few words can go.
  const Rgb ribbon = FromBytes(250, 244, 228);
  const Rgb fold = FromBytes(214, 200, 170);
  for (int side = -1; side <= 1; side += 2) {
    const double x = 450 + side * 330;
    cairo_move_to(cr, x, 524);
    cairo_line_to(cr, x + side * 70, 524);
    cairo_line_to(cr, x + side * 52, 549);
    cairo_line_to(cr, x + side * 70, 574);
    cairo_line_to(cr, x, 574);
    cairo_close_path(cr);
    Paint(cr, fold);
    cairo_move_to(cr, x, 574);
    cairo_line_to(cr, x - side * 18, 566);
    cairo_line_to(cr, x - side * 18, 582);
    cairo_close_path(cr);
    Paint(cr, Mix(fold, {0, 0, 0}, 0.25));
  }
  cairo_rectangle(cr, 132, 516, 636, 50);
  Paint(cr, ribbon);
  cairo_rectangle(cr, 132.5, 520.5, 635, 41);
  cairo_set_line_width(cr, 1);
  SetRgb(cr, fold, 0.9);
  cairo_stroke(cr);

  // Flowers and leaves in the corners, over the frame.
  const Rgb leaf = FromBytes(92, 140, 80);
  const Rgb blossom[3] = {FromBytes(244, 170, 180), FromBytes(250, 214, 120),
                          FromBytes(236, 236, 250)};
  const double corners[4][3] = {{40, 40, 0.8}, {860, 40, 2.3}, {40, 500, -0.7}, {860, 500, -2.3}};
  for (int c = 0; c < 4; ++c) {
    const double x = corners[c][0], y = corners[c][1], a = corners[c][2];
    Leaf(cr, x, y, 46, a - 0.5, leaf);
    Leaf(cr, x, y, 40, a + 0.55, Mix(leaf, {1, 1, 1}, 0.15));
    Flower(cr, x, y, 22, 5, blossom[c % 3], FromBytes(240, 190, 60), a);
    Flower(cr, x + std::cos(a) * 30, y + std::sin(a) * 30, 12, 5, blossom[(c + 1) % 3],
           FromBytes(240, 190, 60), a + 0.3);
  }
  // The middle of the ribbon's line: small leaves either side.
  Leaf(cr, 450, 506, 22, -kPi + 0.3, leaf);
  Leaf(cr, 450, 506, 22, -0.3, leaf);
  Flower(cr, 450, 506, 10, 5, blossom[0], FromBytes(240, 190, 60), 0);
  return canvas.ToPicture();
}

// ---------------------------------------------------------------- wedding

void Flourish(cairo_t* cr, double x, double y, double size, int direction) {
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_scale(cr, direction * size, size);
  cairo_move_to(cr, 0, 0);
  cairo_curve_to(cr, 0.3, -0.35, 0.75, -0.3, 0.8, 0.0);
  cairo_curve_to(cr, 0.84, 0.22, 0.62, 0.3, 0.52, 0.16);
  cairo_curve_to(cr, 0.45, 0.05, 0.6, -0.06, 0.68, 0.04);
  cairo_move_to(cr, 0.25, -0.16);
  cairo_curve_to(cr, 0.2, -0.45, 0.45, -0.6, 0.6, -0.5);
  cairo_restore(cr);
}

Picture WeddingOverlay(const Picture& map, int scale) {
  CairoCanvas canvas(map.width, map.height);
  cairo_t* cr = canvas.cr();
  cairo_scale(cr, scale, scale);
  cairo_pattern_t* bg = cairo_pattern_create_radial(375, 420, 60, 375, 520, 700);
  cairo_pattern_add_color_stop_rgb(bg, 0, 1.0, 0.99, 0.96);
  cairo_pattern_add_color_stop_rgb(bg, 1, 0.93, 0.89, 0.82);
  cairo_set_source(cr, bg);
  cairo_paint(cr);
  cairo_pattern_destroy(bg);
  const Rgb gold = FromBytes(186, 150, 80);
  const Rgb goldLight = FromBytes(232, 206, 140);
  FrameLook look;
  look.overlap = 4;
  look.shadowWidth = 6;
  look.shadowStrength = 0.3;
  look.frame = [gold, goldLight](const Rgb& art, double hd, int, int) {
    // A gilded edge round each opening.
    if (hd > -2.5) return Mix(gold, goldLight, Clamp01((hd + 2.5) / 2.5));
    return art;
  };
  CutOpenings(canvas, RegionLabels(5, map), look, scale);
  RingRegions(cr, 5, 10, 1.2, gold, 0.9);

  // Double border.
  cairo_rectangle(cr, 22, 22, 706, 1006);
  cairo_set_line_width(cr, 2.5);
  SetRgb(cr, gold);
  cairo_stroke(cr);
  cairo_rectangle(cr, 30, 30, 690, 990);
  cairo_set_line_width(cr, 1);
  SetRgb(cr, gold, 0.8);
  cairo_stroke(cr);
  // Flourishes in the corners and under the arch.
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  const double corners[4][3] = {{40, 52, 1}, {710, 52, -1}, {40, 1010, 1}, {710, 1010, -1}};
  for (const auto& c : corners) {
    Flourish(cr, c[0], c[1], 46, int(c[2]));
    cairo_set_line_width(cr, 2);
    SetRgb(cr, gold);
    cairo_stroke(cr);
  }
  Flourish(cr, 375, 745, 90, 1);
  Flourish(cr, 375, 745, 90, -1);
  cairo_set_line_width(cr, 1.8);
  SetRgb(cr, gold);
  cairo_stroke(cr);
  // Two rings between the small photos.
  for (int i = 0; i < 2; ++i) {
    cairo_new_path(cr);
    cairo_arc(cr, 364 + 22 * i, 880, 15, 0, 2 * kPi);
    cairo_set_line_width(cr, 4);
    SetRgb(cr, i ? goldLight : gold);
    cairo_stroke(cr);
  }
  SparklePath(cr, 364, 862, 6);
  Paint(cr, {1, 1, 1});
  return canvas.ToPicture();
}

// ---------------------------------------------------------------- new baby

void Cloud(cairo_t* cr, double x, double y, double size, double alpha) {
  const double bumps[5][3] = {
      {-0.6, 0.1, 0.35}, {-0.25, -0.15, 0.45}, {0.2, -0.25, 0.5}, {0.6, 0.0, 0.38}, {0.0, 0.15, 0.4}};
  for (const auto& b : bumps) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + b[0] * size, y + b[1] * size, b[2] * size, 0, 2 * kPi);
  }
  cairo_set_source_rgba(cr, 1, 1, 1, alpha);
  cairo_fill(cr);
}

Picture NewBabyOverlay(const Picture& map, int scale) {
  CairoCanvas canvas(map.width, map.height);
  cairo_t* cr = canvas.cr();
  cairo_scale(cr, scale, scale);
  LinearBackground(cr, 1050, FromBytes(200, 226, 248), FromBytes(250, 214, 226));
  Noise noise(6001);
  for (int i = 0; i < 70; ++i) {
    const double x = noise.Unit() * 750, y = noise.Unit() * 1050;
    StarPath(cr, x, y, 4 + 5 * noise.Unit(), 2 + 2 * noise.Unit(), noise.Unit());
    cairo_set_source_rgba(cr, 1, 1, 1, 0.55 + 0.4 * noise.Unit());
    cairo_fill(cr);
  }
  CutOpenings(canvas, RegionLabels(6, map), BeadFrame(4, FromBytes(150, 170, 210), {1, 1, 1}, 4),
              scale);
  // Stitching round each photo.
  const double dashes[2] = {7, 5};
  cairo_set_dash(cr, dashes, 2, 0);
  RingRegions(cr, 6, 12, 2, {1, 1, 1}, 0.95);
  cairo_set_dash(cr, nullptr, 0, 0);
  // Clouds along the bottom and a moon at the top.
  Cloud(cr, 110, 1000, 90, 0.9);
  Cloud(cr, 375, 1018, 110, 0.9);
  Cloud(cr, 640, 998, 90, 0.9);
  cairo_new_sub_path(cr);
  cairo_arc(cr, 690, 52, 34, 0, 2 * kPi);
  cairo_new_sub_path(cr);
  cairo_arc_negative(cr, 704, 42, 30, 2 * kPi, 0);
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
  Paint(cr, FromBytes(255, 232, 150));
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
  const double stars[3][3] = {{375, 660, 9}, {40, 40, 10}, {375, 962, 12}};
  for (const auto& s : stars) {
    StarPath(cr, s[0], s[1], s[2], s[2] * 0.45, 0);
    Paint(cr, FromBytes(255, 222, 120));
  }
  return canvas.ToPicture();
}

// ---------------------------------------------------------------- holidays

void HollySprig(cairo_t* cr, double x, double y, double a) {
  const Rgb leaf = FromBytes(30, 110, 60);
  Leaf(cr, x, y, 34, a - 0.45, leaf);
  Leaf(cr, x, y, 34, a + 0.45, Mix(leaf, {0, 0, 0}, 0.15));
  for (int i = 0; i < 3; ++i) {
    cairo_arc(cr, x + 5 * std::cos(a + kPi + i * 1.6), y + 5 * std::sin(a + kPi + i * 1.6), 5, 0,
              2 * kPi);
    Paint(cr, FromBytes(200, 20, 40));
  }
}

Picture HolidaysOverlay(const Picture& map, int scale) {
  CairoCanvas canvas(map.width, map.height);
  cairo_t* cr = canvas.cr();
  cairo_scale(cr, scale, scale);
  cairo_pattern_t* bg = cairo_pattern_create_radial(450, 300, 80, 450, 300, 560);
  cairo_pattern_add_color_stop_rgb(bg, 0, 0.12, 0.40, 0.26);
  cairo_pattern_add_color_stop_rgb(bg, 1, 0.05, 0.24, 0.15);
  cairo_set_source(cr, bg);
  cairo_paint(cr);
  cairo_pattern_destroy(bg);
  Noise noise(7001);
  for (int i = 0; i < 60; ++i)
    Snowflake(cr, noise.Unit() * 900, noise.Unit() * 600, 5 + 9 * noise.Unit(),
              0.25 + 0.35 * noise.Unit());
  const Rgb gold = FromBytes(222, 182, 80);
  CutOpenings(canvas, RegionLabels(7, map), BeadFrame(4, gold, FromBytes(255, 236, 170), 3.5),
              scale);
  RingRegions(cr, 7, 8, 3, gold, 0.95);
  // Each round photo hangs as an ornament: a cap and a string to the edge.
  const std::vector<RegionSpec> regions = OccasionRegions(7);
  for (size_t i = 1; i < regions.size(); ++i) {
    const RegionSpec& r = regions[i];
    const double cx = (r.left + r.right) / 2.0, top = r.top - 8;
    const double hang = i % 2 ? 0 : top - 40;  // the lower ones hang from the upper ones
    cairo_move_to(cr, cx, hang);
    cairo_line_to(cr, cx, top - 16);
    cairo_set_line_width(cr, 1.5);
    SetRgb(cr, gold, 0.9);
    cairo_stroke(cr);
    cairo_arc(cr, cx, top - 18, 5, 0, 2 * kPi);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    RoundedRect(cr, cx - 14, top - 14, 28, 16, 3);
    cairo_pattern_t* cap = cairo_pattern_create_linear(cx - 14, 0, cx + 14, 0);
    cairo_pattern_add_color_stop_rgb(cap, 0, 0.6, 0.45, 0.15);
    cairo_pattern_add_color_stop_rgb(cap, 0.4, 1.0, 0.9, 0.55);
    cairo_pattern_add_color_stop_rgb(cap, 1, 0.55, 0.4, 0.12);
    cairo_set_source(cr, cap);
    cairo_fill(cr);
    cairo_pattern_destroy(cap);
  }
  const RegionSpec& big = regions[0];
  HollySprig(cr, big.left + 6, big.top + 6, 0.8);
  HollySprig(cr, big.right - 6, big.top + 6, kPi - 0.8);
  HollySprig(cr, big.left + 6, big.bottom - 6, -0.8);
  HollySprig(cr, big.right - 6, big.bottom - 6, kPi + 0.8);
  return canvas.ToPicture();
}

// ---------------------------------------------------------------- postcard

Picture PostcardOverlay(const Picture& map, int scale) {
  CairoCanvas canvas(map.width, map.height);
  cairo_t* cr = canvas.cr();
  cairo_scale(cr, scale, scale);
  cairo_set_source_rgb(cr, 0.99, 0.98, 0.95);
  cairo_paint(cr);
  // Airmail stripes round the edge.
  cairo_save(cr);
  cairo_rectangle(cr, 0, 0, 900, 600);
  cairo_rectangle(cr, 16, 16, 868, 568);
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
  cairo_clip(cr);
  for (int i = -40; i < 1560; i += 48) {
    for (int part = 0; part < 2; ++part) {
      const double x = i + part * 24;
      cairo_move_to(cr, x, 0);
      cairo_line_to(cr, x + 14, 0);
      cairo_line_to(cr, x + 14 - 600, 600);
      cairo_line_to(cr, x - 600, 600);
      cairo_close_path(cr);
      Paint(cr, part ? FromBytes(30, 70, 160) : FromBytes(210, 40, 50));
    }
  }
  cairo_restore(cr);
  FrameLook look;
  look.overlap = 3;
  look.shadowWidth = 5;
  look.shadowStrength = 0.25;
  look.frame = [](const Rgb& art, double hd, int, int) {
    return hd > -1.0 ? Mix(art, {0.5, 0.5, 0.5}, 0.6) : art;
  };
  CutOpenings(canvas, RegionLabels(8, map), look, scale);
  // A stamp over the photo's corner, and its postmark.
  const double sx = 752, sy = 52, sw = 92, sh = 112;
  cairo_rectangle(cr, sx + 2, sy + 3, sw, sh);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.25);
  cairo_fill(cr);
  cairo_rectangle(cr, sx, sy, sw, sh);
  Paint(cr, {1, 1, 1});
  for (double t = 0; t <= sw; t += 8) {  // perforations
    for (double yy : {sy, sy + sh}) {
      cairo_arc(cr, sx + t, yy, 3, 0, 2 * kPi);
      Paint(cr, FromBytes(230, 226, 218));
    }
  }
  for (double t = 8; t < sh; t += 8) {
    for (double xx : {sx, sx + sw}) {
      cairo_arc(cr, xx, sy + t, 3, 0, 2 * kPi);
      Paint(cr, FromBytes(230, 226, 218));
    }
  }
  cairo_rectangle(cr, sx + 9, sy + 9, sw - 18, sh - 18);
  cairo_pattern_t* sky = cairo_pattern_create_linear(0, sy + 9, 0, sy + sh - 9);
  cairo_pattern_add_color_stop_rgb(sky, 0, 0.98, 0.75, 0.45);
  cairo_pattern_add_color_stop_rgb(sky, 1, 0.95, 0.45, 0.4);
  cairo_set_source(cr, sky);
  cairo_fill(cr);
  cairo_pattern_destroy(sky);
  cairo_arc(cr, sx + sw / 2, sy + sh * 0.55, 20, 0, 2 * kPi);
  Paint(cr, FromBytes(255, 236, 160));
  cairo_move_to(cr, sx + 9, sy + sh - 30);
  cairo_curve_to(cr, sx + 30, sy + sh - 44, sx + 60, sy + sh - 20, sx + sw - 9, sy + sh - 36);
  cairo_line_to(cr, sx + sw - 9, sy + sh - 9);
  cairo_line_to(cr, sx + 9, sy + sh - 9);
  cairo_close_path(cr);
  Paint(cr, FromBytes(60, 110, 150));
  // Postmark: a ring and wavy lines.
  cairo_new_path(cr);
  cairo_arc(cr, sx - 18, sy + 70, 34, 0, 2 * kPi);
  cairo_set_line_width(cr, 2.5);
  cairo_set_source_rgba(cr, 0.2, 0.2, 0.25, 0.6);
  cairo_stroke(cr);
  for (int i = 0; i < 4; ++i) {
    const double y = sy + 52 + i * 12;
    cairo_move_to(cr, sx + 10, y);
    for (int k = 0; k < 6; ++k) {
      cairo_rel_curve_to(cr, 5, -5, 10, -5, 15, 0);
      cairo_rel_curve_to(cr, 5, 5, 10, 5, 15, 0);
    }
  }
  cairo_set_line_width(cr, 2);
  cairo_stroke(cr);
  return canvas.ToPicture();
}

}  // namespace

std::vector<RegionSpec> OccasionRegions(int index) {
  switch (index) {
    case 3:
      return {Red(40, 56, 520, 560), Green(580, 60, 840, 320), Blue(560, 352, 860, 560)};
    case 4:
      return {Red(44, 44, 444, 500), Green(456, 44, 856, 500)};
    case 5:
      return {Red(95, 95, 655, 715), Green(125, 765, 345, 985), Blue(405, 765, 625, 985)};
    case 6:
      return {Red(60, 70, 690, 630), Green(70, 670, 350, 950), Blue(400, 670, 680, 950)};
    case 7:
      return {Red(250, 50, 650, 550), Green(40, 90, 220, 270), Blue(40, 330, 220, 510),
              Magenta(680, 90, 860, 270), Cyan(680, 330, 860, 510)};
    case 8:
      return {Red(36, 36, 864, 564)};
    default:
      throw std::invalid_argument("no such design");
  }
}

Picture MakeOccasionMap(int index, int scale) {
  const DesignSpec& design = Design(index);
  const std::vector<RegionSpec> regions = OccasionRegions(index);
  const std::vector<RegionShape> shapes = Shapes(index);
  Picture map(design.width * scale, design.height * scale);
  const double s = scale;
  for (size_t i = 0; i < regions.size(); ++i) {
    const RegionSpec& r = regions[i];
    for (int y = r.top * scale; y < r.bottom * scale; ++y) {
      for (int x = r.left * scale; x < r.right * scale; ++x) {
        if (!Inside(r, shapes[i], (x + 0.5) / s, (y + 0.5) / s)) continue;
        uint8_t* p = map.Pixel(x, y);
        p[0] = r.r, p[1] = r.g, p[2] = r.b, p[3] = 255;
      }
    }
  }
  return map;
}

Picture MakeOccasionOverlay(int index, const Picture& map, int scale) {
  switch (index) {
    case 3:
      return BirthdayOverlay(map, scale);
    case 4:
      return ThankYouOverlay(map, scale);
    case 5:
      return WeddingOverlay(map, scale);
    case 6:
      return NewBabyOverlay(map, scale);
    case 7:
      return HolidaysOverlay(map, scale);
    case 8:
      return PostcardOverlay(map, scale);
    default:
      throw std::invalid_argument("no such design");
  }
}

}  // namespace artwork
