#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/raster/Raster.h"

namespace tools {

// Layouts that load but make a poor card. The numbers are part of the help
// page's advice and of the manual page; change them together.
constexpr size_t kMaxLayoutRegions = 16;
constexpr uint32_t kMinRegionSide = 8;  // a region's box, in each direction
constexpr uint64_t kMinRegionPixels = uint64_t(kMinRegionSide) * kMinRegionSide;
// Where the overlay's alpha is below this, at least half of the photo shows.
constexpr uint8_t kSeeThroughAlpha = 128;

enum class LayoutProblem {
  NoRegions,       // every pixel of the region map is transparent
  Background,      // a region reaches all four edges: an opaque background
  SmallRegion,     // box under 8 pixels in a direction, or under 64 pixels
  OpaqueOverlay,   // no pixel of a region where the overlay lets the photo show
  TooManyRegions,  // more than 16
};

struct LayoutWarning {
  LayoutProblem problem;
  bool aboutOverlay;  // the overlay is the picture to fix, not the region map
  std::string text;   // one line naming the region's colour and where it is
};

// Looks at a region map and an overlay, both Rgba32 of one size, with the
// program's own rule for regions (alpha not 0, grouped by key colour, in slot
// order). Warnings come region by region in slot order, after the one about
// the number of regions.
std::vector<LayoutWarning> CheckLayout(const engine::Raster& regionMap,
                                       const engine::Raster& overlay);

}  // namespace tools
