#pragma once

#include <cairo.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "resources/generator/Picture.h"

namespace artwork {

// Drawing helpers shared by the designs' artwork, the icons and the
// examples (defined in Overlays.cpp).

constexpr double kPi = 3.14159265358979323846;

struct Rgb {
  double r, g, b;
};

Rgb Mix(const Rgb& a, const Rgb& b, double t);
Rgb FromBytes(int r, int g, int b);

struct FrameLook {
  double overlap;         // how far the frame reaches over region edges
  double shadowWidth;     // inner shadow cast into the openings
  double shadowStrength;  // its alpha at the opening's edge
  // Colour of the frame at a pixel from the background art and the signed
  // distance to the opening (<= 0 on the frame).
  std::function<Rgb(const Rgb& art, double h, int x, int y)> frame;
};

// Cuts the openings (pixels whose label is >= 0) into the canvas's art.
void CutOpenings(CairoCanvas& canvas, const std::vector<int8_t>& labels, const FrameLook& look,
                 int scale = 1);

void SetRgb(cairo_t* cr, const Rgb& c, double alpha = 1.0);
// A soft drop shadow for the current path drawn as a stroke.
void StrokeShadow(cairo_t* cr, double width, double dx, double dy, double strength);
void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double r);
void EllipsePath(cairo_t* cr, double cx, double cy, double a, double b);
// A four-pointed sparkle centred on (x, y).
void SparklePath(cairo_t* cr, double x, double y, double r);
// A heart whose top notch is near (x, y - 0.35 size), tip at (x, y + 0.5 size).
void HeartPath(cairo_t* cr, double x, double y, double size, double angle = 0);
void DrawHeart(cairo_t* cr, double x, double y, double size, double angle);

}  // namespace artwork
