#include "resources/generator/RegionMaps.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <stdexcept>
#include <string>

namespace artwork {

namespace {

constexpr uint32_t KeyOf(uint8_t r, uint8_t g, uint8_t b) {
  return (uint32_t(b & 0xF8) << 16) | (uint32_t(g & 0xF8) << 8) | uint32_t(r & 0xF8);
}

RegionSpec Region(uint8_t r, uint8_t g, uint8_t b, int left, int top, int right, int bottom) {
  return {r, g, b, KeyOf(r, g, b), left, top, right, bottom};
}

void Put(Picture& map, int x, int y, const RegionSpec& region, uint8_t alpha = 255) {
  uint8_t* p = map.Pixel(x, y);
  p[0] = region.r;
  p[1] = region.g;
  p[2] = region.b;
  p[3] = alpha;
}

// Template 0: rounded rectangles in a 2 x 2 grid and a circle over the point
// where they meet. Membership is tested at pixel centres with exact integer
// boxes, so every box edge is a straight run of pixels.
Picture MakeTemplate0(int scale) {
  const std::vector<RegionSpec> regions = TemplateRegions(0);
  Picture map(kTemplateWidth * scale, kTemplateHeight * scale);
  const double s = scale;
  const double radius = 30.0;
  for (int i = 0; i < 4; ++i) {
    const RegionSpec& r = regions[size_t(i)];
    for (int y = r.top * scale; y < r.bottom * scale; ++y) {
      for (int x = r.left * scale; x < r.right * scale; ++x) {
        const double px = (x + 0.5) / s, py = (y + 0.5) / s;
        const double qx = std::clamp(px, r.left + radius, r.right - radius);
        const double qy = std::clamp(py, r.top + radius, r.bottom - radius);
        if ((px - qx) * (px - qx) + (py - qy) * (py - qy) <= radius * radius) Put(map, x, y, r);
      }
    }
  }
  // The circle paints last so it owns every pixel it covers.
  const RegionSpec& c = regions[4];
  const double cx = (c.left + c.right) / 2.0, cy = (c.top + c.bottom) / 2.0;
  const double rr = (c.right - c.left) / 2.0;
  for (int y = c.top * scale; y < c.bottom * scale; ++y) {
    for (int x = c.left * scale; x < c.right * scale; ++x) {
      const double dx = (x + 0.5) / s - cx, dy = (y + 0.5) / s - cy;
      if (dx * dx + dy * dy < rr * rr) Put(map, x, y, c);
    }
  }
  return map;
}

// How far a torn edge bites into its rectangle at each position along it:
// layered value noise, shifted so that its smallest value in the middle
// stretch of the edge is 0. The edge therefore touches the box line there,
// away from the corners where the neighbouring edges bite too. `length` and
// `depth` are in design units; the result has `scale` entries per unit, in
// pixels, the noise sampled between the units' values.
std::vector<int> TornEdge(int length, uint32_t seed, double depth, int scale) {
  Noise noise(seed);
  auto lattice = [&noise](int count) {
    std::vector<double> v(static_cast<size_t>(count));
    for (double& d : v) d = noise.Unit();
    return v;
  };
  const double spacings[3] = {29.0, 9.0, 3.0};
  const double weights[3] = {0.55, 0.3, 0.15};
  std::vector<double> sum(size_t(length), 0.0);
  for (int o = 0; o < 3; ++o) {
    const std::vector<double> v = lattice(int(length / spacings[o]) + 3);
    for (int t = 0; t < length; ++t) {
      const double u = t / spacings[o];
      const int i = int(u);
      const double f = u - i;
      const double s = f * f * (3 - 2 * f);
      sum[size_t(t)] += weights[o] * (v[size_t(i)] * (1 - s) + v[size_t(i) + 1] * s);
    }
  }
  // A few sharp notches, as torn paper has.
  for (int n = 0; n < length / 60; ++n) {
    const int at = int(noise.Unit() * length);
    const int half = 2 + int(noise.Unit() * 4);
    const double deep = 0.4 + 0.5 * noise.Unit();
    for (int t = std::max(0, at - half); t < std::min(length, at + half + 1); ++t)
      sum[size_t(t)] += deep * (1.0 - std::abs(t - at) / double(half + 1));
  }
  if (scale != 1) {
    std::vector<double> fine(size_t(length) * size_t(scale));
    for (size_t t = 0; t < fine.size(); ++t) {
      const double u = std::clamp((double(t) + 0.5) / scale - 0.5, 0.0, double(length - 1));
      const size_t i = size_t(u);
      const double f = u - double(i);
      fine[t] = sum[i] * (1 - f) + sum[std::min(i + 1, size_t(length - 1))] * f;
    }
    sum.swap(fine);
    length *= scale;
    depth *= scale;
  }
  double low = 1e9;
  for (int t = length / 3; t < 2 * length / 3; ++t) low = std::min(low, sum[size_t(t)]);
  std::vector<int> bite(static_cast<size_t>(length));
  for (int t = 0; t < length; ++t)
    bite[size_t(t)] = std::max(0, int(std::lround((sum[size_t(t)] - low) * depth)));
  return bite;
}

Picture MakeTemplate1(int scale) {
  const std::vector<RegionSpec> regions = TemplateRegions(1);
  Picture map(kTemplateWidth * scale, kTemplateHeight * scale);
  const double depth = 11.0;
  uint32_t seed = 1201;
  for (const RegionSpec& r : regions) {
    const int w = r.right - r.left, h = r.bottom - r.top;
    const std::vector<int> top = TornEdge(w, seed++, depth, scale);
    const std::vector<int> bottom = TornEdge(w, seed++, depth, scale);
    const std::vector<int> left = TornEdge(h, seed++, depth, scale);
    const std::vector<int> right = TornEdge(h, seed++, depth, scale);
    const int W = w * scale, H = h * scale;
    for (int y = 0; y < H; ++y) {
      for (int x = 0; x < W; ++x) {
        if (y < top[size_t(x)] || y >= H - bottom[size_t(x)]) continue;
        if (x < left[size_t(y)] || x >= W - right[size_t(y)]) continue;
        Put(map, r.left * scale + x, r.top * scale + y, r);
      }
    }
  }
  return map;
}

// Signed distance, in pixels, from p to the ellipse boundary (negative
// inside): the first-order estimate f / |grad f|, exact at the axes and
// within a small fraction of a pixel wherever anti-aliasing looks at it.
double EllipseDistance(double dx, double dy, double a, double b) {
  const double u = dx / a, v = dy / b;
  const double r = std::sqrt(u * u + v * v);
  if (r < 1e-9) return -std::min(a, b);
  const double gx = u / a, gy = v / b;
  const double grad = std::sqrt(gx * gx + gy * gy) / r;
  return (r - 1.0) / grad;
}

// Outer edges of the big ellipse: half a pixel inside the box edges 67 and
// 810, so the extreme columns get half coverage and their neighbours none.
constexpr double kBigLeft = 67.5;
constexpr double kBigRight = 809.5;

}  // namespace

Picture MakeTemplate2Map(const Template2Shape& s, int scale) {
  const std::vector<RegionSpec> regions = TemplateRegions(2);
  const RegionSpec& yellow = regions[0];
  const RegionSpec& crimson = regions[1];
  const RegionSpec& cyan = regions[2];
  const RegionSpec cyanVariant = {32, 193, 217, cyan.key, 0, 0, 0, 0};
  Picture map(kTemplateWidth * scale, kTemplateHeight * scale);
  const double units = scale;  // pixels per design unit
  for (int y = 0; y < map.height; ++y) {
    for (int x = 0; x < map.width; ++x) {
      const double px = (x + 0.5) / units, py = (y + 0.5) / units;
      const double dy = py - s.cy;
      const double cx = dy < 0 ? s.cxTop : s.cxBottom;
      const double dx = px - cx;
      const double a = dx < 0 ? cx - kBigLeft : kBigRight - cx;
      const double b = dy < 0 ? s.bTop : (dx < 0 ? s.bBottomLeft : s.bBottomRight);
      const double big = EllipseDistance(dx, dy, a, b);
      const double small = EllipseDistance(px - s.smallCx, py - s.smallCy, s.smallA, s.smallB);
      const double nearest = std::min(big, small);
      // Coverage from the distance of the pixel centre to the outline, in
      // pixels; the colour stays the region's own, only alpha fades.
      const int alpha = int(std::lround(Clamp01(0.5 - nearest * units) * 255.0));
      if (alpha == 0) continue;
      const bool isSmall = small <= 0 || (big > 0 && small < big);
      if (isSmall) {
        Put(map, x, y, yellow, uint8_t(alpha));
        continue;
      }
      const bool left = px < s.SplitXAt(py);
      // A patch of the right half in a colour one step off its own, which the
      // key mask must merge back into the same region.
      const double pdx = px - 655.0, pdy = py - 190.0;
      const bool variant = !left && alpha == 255 && pdx * pdx + pdy * pdy < 25.0 * 25.0;
      Put(map, x, y, left ? crimson : (variant ? cyanVariant : cyan), uint8_t(alpha));
    }
  }
  return map;
}

const Template2Shape& Template2Geometry() {
  static const Template2Shape shape = [] {
    Template2Shape s{};
    // Fitted so that the boxes come out as the table says: cxTop places the
    // right half's highest pixel (where the split meets the outline) on row
    // 44, the lower semi-axes put the lowest visible pixels of the halves,
    // beside the small ellipse, on rows 563 and 554.
    s.cxTop = 365.5;
    s.cxBottom = 440.0;
    s.cy = 301.0;
    s.bTop = s.cy - 38.5;
    s.bBottomLeft = 277.625;
    s.bBottomRight = 275.0;
    // Where the small ellipse lies inside the big one its edge is a hard
    // border decided at pixel centres (241.5 in, 240.5 out); at the bottom it
    // is an outer, anti-aliased edge, which reaches half a pixel further.
    s.smallCx = 444.0;
    s.smallA = 202.8;
    s.smallCy = (301.2 + 594.5) / 2;
    s.smallB = (594.5 - 301.2) / 2;
    // The split reaches column 458 at the top and 429 just above the small
    // ellipse.
    s.splitX = 429.2;
    s.splitSlope = 0.1165;
    return s;
  }();
  return shape;
}

std::vector<RegionSpec> TemplateRegions(int index) {
  switch (index) {
    case 0:
      return {Region(255, 0, 0, 458, 12, 888, 292), Region(0, 255, 0, 12, 12, 442, 292),
              Region(0, 0, 255, 12, 308, 442, 588), Region(255, 0, 255, 458, 308, 888, 588),
              Region(0, 255, 255, 322, 172, 578, 428)};
    case 1:
      return {Region(255, 0, 0, 11, 10, 494, 290), Region(0, 255, 0, 498, 9, 890, 299),
              Region(0, 0, 255, 10, 295, 421, 593), Region(255, 0, 255, 426, 299, 891, 593)};
    case 2:
      return {Region(219, 194, 36, 241, 301, 647, 595), Region(192, 0, 87, 67, 38, 459, 564),
              Region(33, 193, 217, 429, 44, 810, 555)};
    default:
      return OccasionRegions(index);
  }
}

int DesignCount() { return 9; }

const DesignSpec& Design(int index) {
  static const DesignSpec kDesigns[] = {
      {"Frost", 900, 600},     {"Scrapbook", 900, 600}, {"Hearts", 900, 600},
      {"Birthday", 900, 600},  {"Thank You", 900, 600}, {"Wedding", 750, 1050},
      {"New Baby", 750, 1050}, {"Holidays", 900, 600},  {"Postcard", 900, 600},
  };
  static_assert(sizeof kDesigns / sizeof kDesigns[0] == 9, "DesignCount");
  if (index < 0 || index >= DesignCount()) throw std::invalid_argument("no such design");
  return kDesigns[index];
}

Picture MakeRegionMap(int index, int scale) {
  switch (index) {
    case 0:
      return MakeTemplate0(scale);
    case 1:
      return MakeTemplate1(scale);
    case 2:
      return MakeTemplate2Map(Template2Geometry(), scale);
    default:
      return MakeOccasionMap(index, scale);
  }
}

namespace {

struct Box {
  int left, top, right, bottom;
};

// Keys and boxes as the program finds them: ascending keys, boxes over every
// pixel of non-zero alpha.
std::map<uint32_t, Box> FindRegions(const Picture& map) {
  std::map<uint32_t, Box> boxes;
  for (int y = 0; y < map.height; ++y) {
    for (int x = 0; x < map.width; ++x) {
      const uint8_t* p = map.Pixel(x, y);
      if (p[3] == 0) continue;
      const uint32_t key = KeyOf(p[0], p[1], p[2]);
      auto it = boxes.find(key);
      if (it == boxes.end()) {
        boxes.emplace(key, Box{x, y, x + 1, y + 1});
        continue;
      }
      Box& b = it->second;
      b.left = std::min(b.left, x);
      b.top = std::min(b.top, y);
      b.right = std::max(b.right, x + 1);
      b.bottom = std::max(b.bottom, y + 1);
    }
  }
  return boxes;
}

// Each found box against the wanted one times `scale`, off by at most
// `slack` pixels on every side.
std::string CompareRegions(const std::map<uint32_t, Box>& boxes, const std::vector<RegionSpec>& want,
                           int scale, int slack) {
  std::string problems;
  size_t i = 0;
  for (const auto& [key, b] : boxes) {
    char line[160];
    std::snprintf(line, sizeof line, "key %06X box {%d, %d, %d, %d}", unsigned(key), b.left,
                  b.top, b.right, b.bottom);
    if (i >= want.size()) {
      problems += std::string("  extra region ") + line + "\n";
    } else {
      const RegionSpec& w = want[i];
      auto off = [slack](int got, int wanted) { return std::abs(got - wanted) > slack; };
      if (w.key != key || off(b.left, w.left * scale) || off(b.top, w.top * scale) ||
          off(b.right, w.right * scale) || off(b.bottom, w.bottom * scale)) {
        char expected[120];
        std::snprintf(expected, sizeof expected, " (want %06X {%d, %d, %d, %d})",
                      unsigned(w.key), w.left * scale, w.top * scale, w.right * scale,
                      w.bottom * scale);
        problems += std::string("  slot ") + std::to_string(i) + ": " + line + expected + "\n";
      }
    }
    ++i;
  }
  if (i < want.size()) problems += "  missing regions\n";
  return problems;
}

}  // namespace

void VerifyRegionMap(int index, const Picture& map) {
  const std::string problems = CompareRegions(FindRegions(map), TemplateRegions(index), 1, 0);
  if (!problems.empty())
    throw std::runtime_error("template " + std::to_string(index) + " regions differ:\n" +
                             problems);
}

void VerifyScaledRegionMap(int index, int scale, const Picture& map, const Picture& overlay) {
  const std::vector<RegionSpec> want = TemplateRegions(index);
  std::string problems = CompareRegions(FindRegions(map), want, scale, 1);
  size_t uncovered = 0;
  for (int y = 0; y < map.height; ++y) {
    for (int x = 0; x < map.width; ++x) {
      const uint8_t* p = map.Pixel(x, y);
      if (p[3] == 0 || overlay.Pixel(x, y)[3] == 255) continue;
      const uint32_t key = KeyOf(p[0], p[1], p[2]);
      for (const RegionSpec& r : want) {
        if (r.key == key && (x < r.left * scale || x >= r.right * scale ||
                             y < r.top * scale || y >= r.bottom * scale))
          ++uncovered;
      }
    }
  }
  if (uncovered != 0)
    problems += "  " + std::to_string(uncovered) +
                " region pixels outside the scaled boxes are not under opaque overlay\n";
  if (!problems.empty())
    throw std::runtime_error("design " + std::to_string(index) + " at scale " +
                             std::to_string(scale) + " differs:\n" + problems);
}

std::vector<int8_t> RegionLabels(int index, const Picture& map) {
  const std::vector<RegionSpec> regions = TemplateRegions(index);
  std::vector<int8_t> labels(size_t(map.width) * size_t(map.height), -1);
  for (int y = 0; y < map.height; ++y) {
    for (int x = 0; x < map.width; ++x) {
      const uint8_t* p = map.Pixel(x, y);
      if (p[3] < 128) continue;
      const uint32_t key = KeyOf(p[0], p[1], p[2]);
      for (size_t i = 0; i < regions.size(); ++i) {
        if (regions[i].key == key) labels[size_t(y) * size_t(map.width) + size_t(x)] = int8_t(i);
      }
    }
  }
  return labels;
}

}  // namespace artwork
