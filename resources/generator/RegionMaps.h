#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "resources/generator/Picture.h"

namespace artwork {

constexpr int kTemplateWidth = 900;
constexpr int kTemplateHeight = 600;

// One photo region as the program must find it: the colour it is painted in,
// its key (colour AND 0xF8F8F8 on R | G << 8 | B << 16) and its half-open box.
struct RegionSpec {
  uint8_t r, g, b;
  uint32_t key;
  int left, top, right, bottom;
};

// The regions of built-in template 0, 1 or 2, in slot order (ascending key).
std::vector<RegionSpec> TemplateRegions(int index);

// Region map of built-in template 0, 1 or 2: every region in its colour,
// alpha 0 (and RGB 0) elsewhere.
Picture MakeRegionMap(int index);

// Recomputes keys and boxes from the map as the program will and throws
// when any of them differs from TemplateRegions(index).
void VerifyRegionMap(int index, const Picture& map);

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
Picture MakeTemplate2Map(const Template2Shape& shape);
}  // namespace artwork
