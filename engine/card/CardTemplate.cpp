#include "engine/card/CardTemplate.h"

#include <cstring>
#include <map>
#include <new>
#include <utility>


namespace engine {

namespace {

struct Box {
  int32_t left, top, right, bottom;
};

}  // namespace

void ExtractSlots(const CardTemplate& cardTemplate, SlotList& slots) {
  // The ordered map gives both the grouping by colour and the slot order.
  std::map<uint32_t, Box> regions;
  if (cardTemplate.regionMap) {
    const uint8_t* map = cardTemplate.regionMap.get();
    const size_t rowBytes = size_t(cardTemplate.width) * 4;
    // Neighbouring pixels nearly always share a region, so remember the last
    // one instead of searching the map for every pixel.
    uint32_t lastKey = 0;
    Box* last = nullptr;
    for (uint32_t y = 0; y < cardTemplate.height; ++y) {
      const uint8_t* row = map + size_t(y) * rowBytes;
      const int32_t sy = int32_t(y);
      for (uint32_t x = 0; x < cardTemplate.width; ++x) {
        const uint8_t* p = row + size_t(x) * 4;
        if (p[3] == 0) continue;
        const uint32_t key = PixelWord(p) & KeyColourMask;
        const int32_t sx = int32_t(x);
        if (!last || key != lastKey) {
          auto found = regions.find(key);
          if (found == regions.end()) {
            found = regions.emplace(key, Box{sx, sy, sx + 1, sy + 1}).first;
          }
          last = &found->second;
          lastKey = key;
        }
        if (last->left > sx) last->left = sx;
        if (last->top > sy) last->top = sy;
        if (last->right <= sx) last->right = sx + 1;
        if (last->bottom <= sy) last->bottom = sy + 1;
      }
    }
  }

  size_t i = 0;
  for (const auto& [key, box] : regions) {
    if (i == slots.size()) slots.emplace_back();  // pan 0.5, 0.5, zoom 1, no photo
    PhotoSlot& slot = slots[i];
    slot.left = box.left;
    slot.top = box.top;
    slot.right = box.right;
    slot.bottom = box.bottom;
    slot.keyColour = key;
    ++i;
  }
  for (; i < slots.size(); ++i) {
    PhotoSlot& slot = slots[i];
    slot.left = slot.top = slot.right = slot.bottom = 0;
  }
}

namespace {

void Install(Card& card, uint32_t width, uint32_t height, RegionMap map, Overlay overlay) {
  CardTemplate& t = card.cardTemplate;
  t.regionMap = std::move(map);
  t.overlay = std::move(overlay);
  t.width = width;
  t.height = height;
  ExtractSlots(t, card.slots);
}

}  // namespace

void SetTemplate(Card& card, uint32_t width, uint32_t height, const uint8_t* regionMapPixels,
                 const uint8_t* overlayPixels) {
  // Allocate before letting go of the current template: if memory runs out
  // the card keeps the template it had instead of being left without one.
  size_t bytes = 0;
  std::unique_ptr<uint8_t[]> map;
  std::unique_ptr<uint8_t[]> overlay;
  if (CheckedRasterSize(width, height, PixelFormat::Rgba32, &bytes)) {
    map.reset(new uint8_t[bytes]);
    overlay.reset(new uint8_t[bytes]);
    std::memcpy(map.get(), regionMapPixels, bytes);
    std::memcpy(overlay.get(), overlayPixels, bytes);
  } else if (width != 0 || height != 0) {
    throw std::bad_alloc();
  }
  RegionMap sharedMap(std::move(map));
  Overlay sharedOverlay(std::move(overlay));
  Install(card, width, height, std::move(sharedMap), std::move(sharedOverlay));
}

bool SetTemplate(Card& card, Raster&& regionMap, Raster&& overlay) {
  if (regionMap.Empty() || overlay.Empty()) return false;
  if (regionMap.format != PixelFormat::Rgba32 || overlay.format != PixelFormat::Rgba32) return false;
  if (regionMap.width != overlay.width || regionMap.height != overlay.height) return false;
  const uint32_t width = regionMap.width, height = regionMap.height;
  // Both control blocks exist before the card lets go of its template, so
  // running out of memory here leaves the card as it was.
  RegionMap map(std::move(regionMap.pixels));
  Overlay layer(std::move(overlay.pixels));
  regionMap.Reset();
  overlay.Reset();
  Install(card, width, height, std::move(map), std::move(layer));
  return true;
}

const Raster& Card::Tile() const {
  static const Raster kNone;
  return placeholderTile ? *placeholderTile : kNone;
}

bool AllSlotsFilled(const SlotList& slots) {
  for (const PhotoSlot& slot : slots) {
    if (slot.left < slot.right && !slot.HasPhoto()) return false;
  }
  return true;
}

size_t CountEmptyRegions(const SlotList& slots) {
  size_t empty = 0;
  for (const PhotoSlot& slot : slots) {
    if (slot.left < slot.right && !slot.HasPhoto()) ++empty;
  }
  return empty;
}

}  // namespace engine
