#pragma once

#include <cstddef>
#include <cstdint>

namespace engine {

// What a card design may ask of every render. Each region costs the area of
// its bounding box at every render (its photo is scaled to the whole box,
// and the box is masked against the region map), so a small region map
// whose regions each span the card would make a render cost regions x card
// pixels: 256 such regions on a 4000 x 4000 map take half a minute. Within
// these limits a render costs at most five times the card's own pixels.
//
// More regions than anyone can fill with photos and still see them; the
// help page and tessary-layout's manual name the number.
constexpr size_t kMaxRegions = 64;
// The regions' boxes together may cover the card at most this many times
// over: a grid covers it once, a few overlapping shapes or nested frames a
// little more.
constexpr uint64_t kMaxBoxCover = 4;

enum class RegionVerdict { Ok, TooManyRegions, BoxesTooLarge };

struct RegionCost {
  size_t regions = 0;
  uint64_t boxPixels = 0;   // the boxes' areas added up
  uint64_t cardPixels = 0;  // width x height
};

// Finds the regions of an Rgba32 region map of width x height, as
// ExtractSlots does, and says whether a card may use it; `cost`, when
// given, holds what was found.
RegionVerdict CheckRegionCost(uint32_t width, uint32_t height, const uint8_t* regionMap,
                              RegionCost* cost = nullptr);

}  // namespace engine
