#include "tools/layout/LayoutCheck.h"

#include <map>

#include "engine/card/CardTemplate.h"
#include "engine/raster/PixelFormat.h"

namespace tools {

namespace {

struct Region {
  uint8_t colour[3];                  // as painted at the region's first pixel in reading order
  uint32_t left, top, right, bottom;  // half-open box, as the program's slots
  uint64_t pixels = 0;
  bool seeThrough = false;  // some pixel where the overlay lets the photo show
};

// "region 2 of 5, colour (0, 0, 255), x 12-441, y 308-587": what a user finds
// in a paint program's colour picker and pointer position.
std::string Describe(size_t index, size_t count, const Region& r) {
  return "region " + std::to_string(index + 1) + " of " + std::to_string(count) + ", colour (" +
         std::to_string(r.colour[0]) + ", " + std::to_string(r.colour[1]) + ", " +
         std::to_string(r.colour[2]) + "), x " + std::to_string(r.left) + "-" +
         std::to_string(r.right - 1) + ", y " + std::to_string(r.top) + "-" +
         std::to_string(r.bottom - 1);
}

std::string Pixels(uint64_t n) { return std::to_string(n) + (n == 1 ? " pixel" : " pixels"); }

std::string Percent(uint64_t part, uint64_t whole) {
  return std::to_string(whole ? part * 100 / whole : 0) + "%";
}

}  // namespace

std::vector<LayoutWarning> CheckLayout(const engine::Raster& regionMap,
                                       const engine::Raster& overlay) {
  std::vector<LayoutWarning> warnings;
  if (regionMap.Empty() || regionMap.format != engine::PixelFormat::Rgba32) return warnings;
  const uint32_t width = regionMap.width, height = regionMap.height;
  const bool overlayFits = !overlay.Empty() && overlay.width == width && overlay.height == height &&
                           overlay.format == engine::PixelFormat::Rgba32;

  // Ordered by key colour: the slot order, as the program extracts slots.
  std::map<uint32_t, Region> regions;
  uint32_t lastKey = 0;
  Region* last = nullptr;
  for (uint32_t y = 0; y < height; ++y) {
    const uint8_t* row = regionMap.Row(y);
    const uint8_t* over = overlayFits ? overlay.Row(y) : nullptr;
    for (uint32_t x = 0; x < width; ++x) {
      const uint8_t* p = row + size_t(x) * 4;
      if (p[3] == 0) continue;
      const uint32_t key = engine::PixelWord(p) & engine::KeyColourMask;
      if (!last || key != lastKey) {
        auto found = regions.find(key);
        if (found == regions.end()) {
          Region fresh{{p[0], p[1], p[2]}, x, y, x + 1, y + 1};
          found = regions.emplace(key, fresh).first;
        }
        last = &found->second;
        lastKey = key;
      }
      Region& r = *last;
      if (r.left > x) r.left = x;
      if (r.right <= x) r.right = x + 1;
      r.bottom = y + 1;  // rows only grow
      ++r.pixels;
      if (over && over[size_t(x) * 4 + 3] < kSeeThroughAlpha) r.seeThrough = true;
    }
  }

  if (regions.empty()) {
    warnings.push_back({LayoutProblem::NoRegions, false,
                        "no regions: every pixel of the map (x 0-" + std::to_string(width - 1) +
                            ", y 0-" + std::to_string(height - 1) +
                            ") is fully transparent, so the card has no place for a photo"});
    return warnings;
  }

  const uint64_t area = uint64_t(width) * height;
  const size_t count = regions.size();
  size_t index = 0;
  size_t smallest = 0;
  const Region* smallestRegion = nullptr;
  for (const auto& entry : regions) {
    const Region& r = entry.second;
    const std::string where = Describe(index, count, r);
    const bool background = r.left == 0 && r.top == 0 && r.right == width && r.bottom == height;
    if (background) {
      warnings.push_back(
          {LayoutProblem::Background, false,
           where + ": reaches all four edges of the map and covers " + Percent(r.pixels, area) +
               " of it; is it an opaque background? Everything that is not a photo region must "
               "be fully transparent (alpha 0)"});
    }
    if (r.right - r.left < kMinRegionSide || r.bottom - r.top < kMinRegionSide ||
        r.pixels < kMinRegionPixels) {
      warnings.push_back(
          {LayoutProblem::SmallRegion, false,
           where + ": only " + Pixels(r.pixels) + ", smaller than " +
               std::to_string(kMinRegionSide) + " x " + std::to_string(kMinRegionSide) +
               "; stray pixels, or smoothed edges between two touching regions? Paint regions "
               "with hard edges where they touch"});
    }
    // A background usually lies under the frame; it is one mistake, told once.
    if (overlayFits && !r.seeThrough && !background) {
      warnings.push_back(
          {LayoutProblem::OpaqueOverlay, true,
           where + ": the overlay covers all of it with alpha " + std::to_string(kSeeThroughAlpha) +
               " or more, so its photo would hardly show; make the overlay transparent there"});
    }
    if (!smallestRegion || r.pixels < smallestRegion->pixels) {
      smallestRegion = &r;
      smallest = index;
    }
    ++index;
  }
  if (count > kMaxLayoutRegions) {
    // First: it explains the flood of small regions that usually follows.
    warnings.insert(
        warnings.begin(),
        {LayoutProblem::TooManyRegions, false,
         std::to_string(count) + " regions, more than " + std::to_string(kMaxLayoutRegions) +
             ": each colour is a region (colours that differ only in the low 3 "
             "bits of each channel count as one); the smallest is " +
             Describe(smallest, count, *smallestRegion) + ", " + Pixels(smallestRegion->pixels)});
  }
  return warnings;
}

}  // namespace tools
