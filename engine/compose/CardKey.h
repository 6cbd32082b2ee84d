#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "engine/card/CardTemplate.h"
#include "engine/card/PhotoPlacement.h"

namespace engine {

// What one slot contributes to a rendered card. The layout part (box and key
// colour) decides which pixels the slot owns; the content part (photo and the
// crop ComputeCrop takes from it, or the placeholder) decides their values.
// The crop stands for everything that chooses the visible part (pan, zoom),
// so the key follows whatever ComputeCrop depends on.
struct SlotKey {
  int32_t left = 0, top = 0, right = 0, bottom = 0;
  uint32_t keyColour = 0;
  bool drawn = false;  // RenderCard draws it: a non-empty box inside the template
  // Held, not just compared: while a key lives, no other picture can be
  // allocated at the same address and pass for this one.
  std::shared_ptr<const uint8_t[]> photo;
  uint32_t photoWidth = 0, photoHeight = 0;
  Crop crop{0, 0, 0, 0};

  int32_t BoxWidth() const { return right - left; }
  int32_t BoxHeight() const { return bottom - top; }
  bool SameLayout(const SlotKey& o) const;
  // Same layout and same pixels inside it.
  bool SameContent(const SlotKey& o) const;
};

// Everything RenderCard's result depends on, for a card at width x height:
// two cards with equal keys render to equal pixels. Taken afresh from the
// card on every use, so a caller cannot forget to invalidate anything.
struct CardKey {
  RegionMap regionMap;
  Overlay overlay;
  uint32_t templateWidth = 0, templateHeight = 0;
  // Held, as the photos are: a tile is never written, so the pointer
  // identifies its pixels.
  PlaceholderTile tile;
  int32_t width = 0, height = 0;
  std::vector<SlotKey> slots;

  static CardKey Of(const Card& card, int32_t width, int32_t height);

  // RenderCard gives plain white paper.
  bool Blank() const { return templateWidth == 0 || templateHeight == 0 || !regionMap; }
  // Same template, tile, size and slot layouts; slot contents may differ.
  bool SameLayout(const CardKey& o) const;
  bool operator==(const CardKey& o) const;
  bool operator!=(const CardKey& o) const { return !(*this == o); }
};

}  // namespace engine
