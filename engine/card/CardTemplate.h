#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

#include "engine/raster/ImageReader.h"
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
  int32_t builtInTemplateIndex = -1;  // last built-in template chosen, -1 before start-up

  bool Installed() const { return width != 0 && height != 0 && overlay != nullptr; }
};

// Everything the main window owns about the card itself.
struct Card {
  CardTemplate cardTemplate;
  SlotList slots;
  Raster placeholderTile;  // Rgb24, drawn in empty regions
  // Called at the end of every SetTemplate, once the new slots are in place:
  // the window lays itself out again and repaints. Empty while no window exists.
  std::function<void()> onTemplateInstalled;
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

// Loads a built-in pair by resource number; any failure leaves the card as it was.
void LoadBuiltInTemplate(Card& card, int mapId, int overlayId, const ImageReader& reader);

// Makes built-in template `index` (0 to resources::kBuiltInTemplateCount - 1)
// the card's: records the index and loads its pair. True when the pair was
// installed; an index out of range changes nothing.
bool SelectBuiltInTemplate(Card& card, int index, const ImageReader& reader);

// The Template command: 0 -> 1 -> 2 -> 0. The index advances even if the load fails.
void NextBuiltInTemplate(Card& card, const ImageReader& reader);

// True when no visible slot is empty.
bool AllSlotsFilled(const SlotList& slots);

// The visible slots without a photo: the regions a saved card would show
// the placeholder in. Zero exactly when AllSlotsFilled.
size_t CountEmptyRegions(const SlotList& slots);

}  // namespace engine
