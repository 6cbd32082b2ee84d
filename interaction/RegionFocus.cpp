#include "interaction/RegionFocus.h"

namespace interaction {

namespace {

bool Visible(const engine::Card& card, int32_t slot) {
  return slot >= 0 && size_t(slot) < card.slots.size() && !card.slots[size_t(slot)].Hidden();
}

}  // namespace

bool RegionFocus::Next(const engine::Card& card) {
  for (int32_t s = slot_ + 1; size_t(s) < card.slots.size(); ++s)
    if (Visible(card, s)) {
      Set(s, true);
      return true;
    }
  Clear();
  return false;
}

bool RegionFocus::Previous(const engine::Card& card) {
  const int32_t from = slot_ == -1 ? int32_t(card.slots.size()) : slot_;
  for (int32_t s = from - 1; s >= 0; --s)
    if (Visible(card, s)) {
      Set(s, true);
      return true;
    }
  Clear();
  return false;
}

void RegionFocus::Validate(const engine::Card& card) {
  if (slot_ != -1 && !Visible(card, slot_)) Clear();
}

geometry::Rect RegionFocus::BoxOnScreen(const engine::Card& card, const geometry::Rect& cardRect,
                                      int32_t slot) {
  const engine::CardTemplate& t = card.cardTemplate;
  if (!Visible(card, slot) || t.width == 0 || t.height == 0 || cardRect.Width() <= 0 ||
      cardRect.Height() <= 0)
    return geometry::Rect{};
  const engine::PhotoSlot& s = card.slots[size_t(slot)];
  const int64_t w = cardRect.Width(), h = cardRect.Height();
  return geometry::Rect{cardRect.left + int32_t(s.left * w / t.width),
                      cardRect.top + int32_t(s.top * h / t.height),
                      cardRect.left + int32_t(s.right * w / t.width),
                      cardRect.top + int32_t(s.bottom * h / t.height)};
}

}  // namespace interaction
