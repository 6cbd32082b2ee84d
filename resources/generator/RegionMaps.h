#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "resources/generator/Picture.h"

namespace artwork {

// Built-in designs are drawn in design units: the pixels of their screen
// version (900 x 600 for the 6 x 4 in cards, 750 x 1050 for 5 x 7 in). A
// version at `scale` (2 for print) draws the same shapes at `scale` pixels
// per unit.
constexpr int kTemplateWidth = 900;
constexpr int kTemplateHeight = 600;

// Every built-in design the generator draws, in the program's order.
struct DesignSpec {
  const char* name;
  int width, height;  // design units
};
int DesignCount();
const DesignSpec& Design(int index);

// One photo region as the program must find it: the colour it is painted in,
// its key (colour AND 0xF8F8F8 on R | G << 8 | B << 16) and its half-open box.
struct RegionSpec {
  uint8_t r, g, b;
  uint32_t key;
  int left, top, right, bottom;
};

// The regions of built-in design `index`, in slot order (ascending key),
// boxes in design units.
std::vector<RegionSpec> TemplateRegions(int index);

// Region map of built-in design `index` at `scale` pixels per design unit:
// every region in its colour, alpha 0 (and RGB 0) elsewhere.
Picture MakeRegionMap(int index, int scale = 1);

// Recomputes keys and boxes from the map as the program will and throws
// when any of them differs from TemplateRegions(index).
void VerifyRegionMap(int index, const Picture& map);

// For a version at `scale`: the same keys in the same order, each box
// within a pixel of the design's box times `scale`; and wherever a region
// reaches past that scaled box, the overlay is opaque (the program frames
// the photos by the scaled boxes, so such pixels must never show). Throws
// when not.
void VerifyScaledRegionMap(int index, int scale, const Picture& map, const Picture& overlay);

// Per pixel: the index into TemplateRegions of the region that owns the pixel
// (alpha at least 128), or -1.
std::vector<int8_t> RegionLabels(int index, const Picture& map);

// Template 2: the big, egg-shaped ellipse made of four quarter ellipses that
// meet with vertical tangents at (67.5, cy) and (809.5, cy): the upper two
// around (cxTop, cy), the lower two around (cxBottom, cy), whose seam hides
// under the small ellipse. Then the small ellipse, and the slanted line that
// splits the big one.
struct Template2Shape {
  double cxTop, cxBottom, cy, bTop, bBottomLeft, bBottomRight;
  double smallCx, smallCy, smallA, smallB;
  double splitX, splitSlope;  // split x at y = 300, and dx per dy (up is +x)
  double SplitXAt(double y) const { return splitX + splitSlope * (300.0 - y); }
};
const Template2Shape& Template2Geometry();

}  // namespace artwork

namespace artwork {
// Template 2's region map for a given shape; exposed so the shape's numbers
// can be refitted when the artwork changes.
Picture MakeTemplate2Map(const Template2Shape& shape, int scale = 1);

// The designs after the first three (Occasions.cpp).
std::vector<RegionSpec> OccasionRegions(int index);
Picture MakeOccasionMap(int index, int scale);
Picture MakeOccasionOverlay(int index, const Picture& map, int scale);
}  // namespace artwork
