#include "document/CardState.h"

#include <cstring>

namespace document {

namespace {

// Floats compared as stored: undo must give back the very bits.
bool SameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

bool SameSlot(const engine::PhotoSlot& a, const engine::PhotoSlot& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom &&
         a.keyColour == b.keyColour && SameBits(a.panX, b.panX) && SameBits(a.panY, b.panY) &&
         SameBits(a.zoom, b.zoom) && a.photoWidth == b.photoWidth &&
         a.photoHeight == b.photoHeight && a.photoPixels == b.photoPixels;
}

}  // namespace

bool SameState(const CardState& a, const CardState& b) {
  const engine::CardTemplate& ta = a.card.cardTemplate;
  const engine::CardTemplate& tb = b.card.cardTemplate;
  if (ta.width != tb.width || ta.height != tb.height || ta.regionMap != tb.regionMap ||
      ta.overlay != tb.overlay || a.card.slots.size() != b.card.slots.size() ||
      a.design != b.design || a.photos != b.photos || a.texts != b.texts)
    return false;
  for (size_t i = 0; i < a.card.slots.size(); ++i)
    if (!SameSlot(a.card.slots[i], b.card.slots[i])) return false;
  return true;
}

}  // namespace document
