#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "engine/card/PhotoSlot.h"
#include "engine/raster/Raster.h"

namespace engine {

// Two region-map colours share a slot when each channel agrees in its five
// high bits; alpha plays no part.
constexpr uint32_t KeyColourMask = 0x00F8F8F8;

// Region map and overlay: Rgba32 arrays of width x height x 4 bytes. Never
// written once installed, so the edit history can hold on to a template
// without copying it.
using RegionMap = std::shared_ptr<const uint8_t[]>;
using Overlay = std::shared_ptr<const uint8_t[]>;

struct CardTemplate {
  uint32_t width = 0;
  uint32_t height = 0;
  RegionMap regionMap;  // absent until the first template is set
  Overlay overlay;

  bool Installed() const { return width != 0 && height != 0 && overlay != nullptr; }
};

// The tile drawn in empty regions: Rgb24, shared and never written, so a
// card copies cheaply.
using PlaceholderTile = std::shared_ptr<const Raster>;

// What a card is made of in pixels: the design's two pictures, the photo
// slots, and the tile that fills an empty region.
struct Card {
  CardTemplate cardTemplate;
  SlotList slots;
  PlaceholderTile placeholderTile;

  // The tile, or an empty raster when the card has none.
  const Raster& Tile() const;
};

// Rebuilds the slot boxes and keys from the region map; photos stay with
// their slot indices, extra slots are appended, surplus ones hidden.
void ExtractSlots(const CardTemplate& cardTemplate, SlotList& slots);

// Installs a template by copying both Rgba32 arrays (the caller keeps its own).
// Leaves the card unchanged and throws std::bad_alloc if the copies cannot be
// made.
void SetTemplate(Card& card, uint32_t width, uint32_t height, const uint8_t* regionMapPixels,
                 const uint8_t* overlayPixels);

// Installs two decoded Rgba32 rasters of equal size by taking their pixels
// (no copy). False, with the card and both rasters unchanged, when they are
// not two Rgba32 pictures of one size.
bool SetTemplate(Card& card, Raster&& regionMap, Raster&& overlay);

// True when no visible slot is empty.
bool AllSlotsFilled(const SlotList& slots);

// The visible slots without a photo: the regions a saved card would show
// the placeholder in. Zero exactly when AllSlotsFilled.
size_t CountEmptyRegions(const SlotList& slots);

}  // namespace engine
