#include "engine/compose/CardKey.h"

namespace engine {

bool SlotKey::SameLayout(const SlotKey& o) const {
  return left == o.left && top == o.top && right == o.right && bottom == o.bottom &&
         keyColour == o.keyColour && drawn == o.drawn;
}

bool SlotKey::SameContent(const SlotKey& o) const {
  return SameLayout(o) && photo == o.photo && photoWidth == o.photoWidth &&
         photoHeight == o.photoHeight && crop.cropX == o.crop.cropX && crop.cropY == o.crop.cropY &&
         crop.cropWidth == o.crop.cropWidth && crop.cropHeight == o.crop.cropHeight;
}

CardKey CardKey::Of(const Card& card, int32_t width, int32_t height) {
  CardKey key;
  const CardTemplate& t = card.cardTemplate;
  key.regionMap = t.regionMap;
  key.overlay = t.overlay;
  key.templateWidth = t.width;
  key.templateHeight = t.height;
  key.tile = card.placeholderTile;
  key.width = width;
  key.height = height;
  key.slots.resize(card.slots.size());
  for (size_t i = 0; i < card.slots.size(); ++i) {
    const PhotoSlot& slot = card.slots[i];
    SlotKey& s = key.slots[i];
    s.left = slot.left;
    s.top = slot.top;
    s.right = slot.right;
    s.bottom = slot.bottom;
    s.keyColour = slot.keyColour;
    s.drawn = slot.BoxWidth() > 0 && slot.BoxHeight() > 0 && slot.left >= 0 && slot.top >= 0 &&
              int64_t(slot.right) <= int64_t(t.width) && int64_t(slot.bottom) <= int64_t(t.height);
    if (s.drawn && slot.HasPhoto()) {
      s.photo = slot.photoPixels;
      s.photoWidth = slot.photoWidth;
      s.photoHeight = slot.photoHeight;
      s.crop = ComputeCrop(slot);
    }
  }
  return key;
}

bool CardKey::SameLayout(const CardKey& o) const {
  if (regionMap != o.regionMap || overlay != o.overlay || templateWidth != o.templateWidth ||
      templateHeight != o.templateHeight || tile != o.tile || width != o.width || height != o.height ||
      slots.size() != o.slots.size()) {
    return false;
  }
  for (size_t i = 0; i < slots.size(); ++i) {
    if (!slots[i].SameLayout(o.slots[i])) return false;
  }
  return true;
}

bool CardKey::operator==(const CardKey& o) const {
  if (!SameLayout(o)) return false;
  for (size_t i = 0; i < slots.size(); ++i) {
    if (!slots[i].SameContent(o.slots[i])) return false;
  }
  return true;
}

}  // namespace engine
