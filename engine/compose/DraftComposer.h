#pragma once

#include <cstdint>
#include <vector>

#include "engine/compose/CardKey.h"
#include "engine/card/CardTemplate.h"
#include "engine/raster/RasterView.h"

namespace engine {

// The draft card (RenderCard with `draft` true, byte for byte) at one output
// size, composed only where the final nearest-neighbour scaling looks: each
// output pixel is decided by one template pixel, so the region map and the
// overlay are read once per layout into span lists, and a frame is then a
// copy of the fixed pixels plus each slot's own pixels.
//
// Per slot it keeps the picture the slot shows at output resolution (the
// pixels of its scaled box that the final scaling keeps), so composing a
// frame after one slot moved gathers only that slot's pixels again.
class DraftComposer {
 public:
  // Reads the template's spans for `key`'s layout, unless they are already
  // those of an equal layout. `card` must be the card `key` was taken from.
  void Prepare(const Card& card, const CardKey& key);

  // The whole frame (width x height of the key) into `out`. Only the pixels
  // are written, never the padding at the end of the rows.
  void ComposeAll(const Card& card, const CardKey& key, const RasterView& out);

  // Rewrites only the pixels slot `index` decides: its region, with the
  // overlay blended over it. Every other pixel of `out` is left alone.
  void ComposeSlot(const Card& card, const CardKey& key, size_t index, const RasterView& out);

  // Copies the pixels slot `index` decides from `from` into `out`.
  void CopySlot(size_t index, const RasterView& from, const RasterView& out) const;

 private:
  struct Run {  // output pixels [x0, x1) of row y, the slot's picture unchanged
    int32_t y, x0, x1;
  };
  struct Blend {  // one output pixel mixed with white and/or the overlay
    int32_t y, x;
    uint8_t alpha, overlayAlpha, overlay[3];
  };
  struct Slot {
    // The output rectangle over the slot's box: columns [x0, x1), rows [y0, y1).
    int32_t x0 = 0, x1 = 0, y0 = 0, y1 = 0;
    std::vector<Run> runs;
    std::vector<Blend> blends;
    // The slot's picture over that rectangle, and what it was drawn from.
    std::vector<uint8_t> picture;
    SlotKey pictureOf;
    bool pictureValid = false;
  };

  void DrawPicture(const Card& card, const SlotKey& key, Slot& slot);
  void ApplySlot(const Slot& slot, const RasterView& out) const;

  CardKey layout_;
  bool prepared_ = false;
  std::vector<int32_t> columns_;  // template column of each output column
  std::vector<int32_t> rows_;     // template row of each output row
  std::vector<uint8_t> fixed_;    // pixels no slot decides, packed rows
  std::vector<Slot> slots_;
};

}  // namespace engine
