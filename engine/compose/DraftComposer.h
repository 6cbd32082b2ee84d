#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "engine/card/CardTemplate.h"
#include "engine/compose/CardKey.h"
#include "engine/compose/PhotoPyramid.h"
#include "engine/compose/RowExpansion.h"
#include "engine/raster/RasterView.h"

namespace engine {

// The draft card (RenderCard with `draft` true, byte for byte) at one output
// size, composed only where the final nearest-neighbour scaling looks. A
// smooth draft (SetSmooth) differs only in sampling each photo from a
// reduced copy near the size it shows at.
//
// Each output pixel is a copy of one template pixel, and only the template
// columns and rows the scaling reads matter: the card is composed on that
// grid (the template itself when the output is at least as large, fewer
// columns and rows when it is smaller), then replicated to the output. The
// region map and the overlay are read once per layout into span lists, one
// list per grid row; a frame is then each output row either copied from the
// row above (an enlarged card repeats grid rows) or expanded from its grid
// row span by span.
//
// Per slot it keeps the slot's picture on the grid, blended with the overlay
// and the soft region edges, so composing a frame after one slot moved
// gathers and expands only that slot's pixels again.
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

  // Photos far larger than their slot are sampled from reduced copies
  // (PhotoPyramids): what the window shows while a photo is held, where
  // nearest-neighbour picks from millions of pixels look grainy. Off by
  // default, which is RenderCard's draft.
  void SetSmooth(bool smooth);

 private:
  // Output columns [x0, x1) of a grid row that one owner decides: a slot, or
  // -1 for the pixels no slot decides.
  struct Span {
    int32_t x0, x1, owner;
  };
  // One grid pixel of a slot mixed with white and/or the overlay, at byte
  // `at` of the slot's picture: p = (over + TowardWhite(p, alpha) * keep) >> 8
  // per channel, which is MaskSlotIntoCard's and BlendOverlay's arithmetic.
  struct Blend {
    uint32_t at;
    uint16_t keep, over[3];
    uint8_t alpha;
  };
  struct Slot {
    // The grid rectangle over the slot's box: columns [c0, c1), rows [r0, r1);
    // and the output rows [y0, y1) that read it.
    int32_t c0 = 0, c1 = 0, r0 = 0, r1 = 0, y0 = 0, y1 = 0;
    // Per grid row of the rectangle, the columns [first, end) (relative to
    // c0) from the slot's first pixel to its last: all the photo it needs.
    std::vector<std::pair<int32_t, int32_t>> needed;
    std::vector<Blend> blends;
    // The slot's pixels on its grid rectangle, packed rows (one spare byte at
    // the end for four-byte copies), and what they were drawn from.
    std::vector<uint8_t> picture;
    SlotKey pictureOf;
    bool pictureValid = false;
  };

  void DrawPicture(const Card& card, const SlotKey& key, Slot& slot);
  // Lets go of the reduced copies of photos no longer on the card.
  void ForgetOtherPhotos(const CardKey& key);
  // Output pixels [x0, x1) of one row from a grid row whose first column is
  // grid column `first`.
  void Expand(const uint8_t* gridRow, int32_t first, int32_t x0, int32_t x1, uint8_t* out) const;
  const uint8_t* GridRow(const Span& span, int32_t gridRow) const;
  // Every output pixel of grid row j into `out`.
  void ExpandRow(int32_t j, uint8_t* out);
  size_t SpansBegin(int32_t gridRow) const { return rowSpans_[size_t(gridRow)]; }
  size_t SpansEnd(int32_t gridRow) const { return rowSpans_[size_t(gridRow) + 1]; }

  // Frames from this size on are streamed past the caches.
  static constexpr size_t kStreamFramesFrom = size_t(4) << 20;

  CardKey layout_;
  bool prepared_ = false;
  int32_t gridWidth_ = 0, gridHeight_ = 0;
  std::vector<int32_t> columns_;     // template column of each grid column
  std::vector<int32_t> rows_;        // template row of each grid row
  std::vector<int32_t> gridColumn_;  // grid column of each output column
  std::vector<int32_t> gridRow_;     // grid row of each output row
  bool sameColumns_ = false;         // the output column is the grid column
  std::vector<uint8_t> fixed_;       // the pixels no slot decides, grid rows (one spare byte)
  std::vector<Span> spans_;          // every grid row's spans, left to right
  std::vector<size_t> rowSpans_;     // grid row j's spans: [rowSpans_[j], rowSpans_[j + 1])
  std::vector<Slot> slots_;
  std::vector<uint8_t> row_;  // one output row, for streamed frames
  // Enlarged frames: a grid row composed whole, then replicated in blocks.
  RowExpansion expansion_;
  std::vector<uint8_t> gridScratch_;
  bool smooth_ = false;
  PhotoPyramids pyramids_;
};

}  // namespace engine
