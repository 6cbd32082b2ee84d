#include "engine/card/RegionLimits.h"

#include "engine/card/CardTemplate.h"

namespace engine {

RegionVerdict CheckRegionCost(uint32_t width, uint32_t height, const uint8_t* regionMap,
                              RegionCost* cost) {
  CardTemplate map;
  map.width = width;
  map.height = height;
  // Borrowed, not owned: the caller keeps the pixels.
  map.regionMap = RegionMap(RegionMap(), regionMap);
  SlotList slots;
  ExtractSlots(map, slots);
  RegionCost found;
  found.regions = slots.size();
  found.cardPixels = uint64_t(width) * height;
  for (const PhotoSlot& slot : slots) {
    found.boxPixels += uint64_t(slot.BoxWidth()) * uint64_t(slot.BoxHeight());
  }
  if (cost != nullptr) *cost = found;
  if (found.regions > kMaxRegions) return RegionVerdict::TooManyRegions;
  if (found.boxPixels > found.cardPixels * kMaxBoxCover) return RegionVerdict::BoxesTooLarge;
  return RegionVerdict::Ok;
}

}  // namespace engine
