#include "interaction/RegionFocus.h"

#include <algorithm>

namespace interaction {

namespace {

bool Visible(const engine::Card& card, int32_t slot) {
  return slot >= 0 && size_t(slot) < card.slots.size() && !card.slots[size_t(slot)].Hidden();
}

}  // namespace

std::vector<int32_t> RegionFocus::ReadingOrder(const engine::Card& card) {
  // Doubled centres and heights keep the arithmetic in whole numbers.
  struct Place {
    int32_t slot;
    int64_t x, y, height;
  };
  std::vector<Place> places;
  for (size_t i = 0; i < card.slots.size(); ++i) {
    const engine::PhotoSlot& s = card.slots[i];
    if (s.Hidden()) continue;
    places.push_back(Place{int32_t(i), int64_t(s.left) + s.right, int64_t(s.top) + s.bottom,
                           2 * int64_t(s.BoxHeight())});
  }
  std::stable_sort(places.begin(), places.end(), [](const Place& a, const Place& b) {
    return a.y != b.y ? a.y < b.y : a.x < b.x;
  });
  // Lines start at the highest centre not yet placed and take every region
  // whose centre is close enough to that one's.
  std::vector<int32_t> order;
  for (size_t first = 0; first < places.size();) {
    size_t end = first + 1;
    while (end < places.size() &&
           (places[end].y - places[first].y) * 4 <
               std::min(places[end].height, places[first].height))
      ++end;
    std::stable_sort(places.begin() + std::ptrdiff_t(first), places.begin() + std::ptrdiff_t(end),
                     [](const Place& a, const Place& b) { return a.x < b.x; });
    for (size_t i = first; i < end; ++i) order.push_back(places[i].slot);
    first = end;
  }
  return order;
}

bool RegionFocus::Next(const engine::Card& card) {
  const std::vector<int32_t> order = ReadingOrder(card);
  const auto at = std::find(order.begin(), order.end(), slot_);
  const auto next = at == order.end() ? order.begin() : at + 1;
  if (next != order.end()) {
    Set(*next, true);
    return true;
  }
  Clear();
  return false;
}

bool RegionFocus::Previous(const engine::Card& card) {
  const std::vector<int32_t> order = ReadingOrder(card);
  const auto at = std::find(order.begin(), order.end(), slot_);
  if (at != order.begin() && !order.empty()) {
    Set(*(at == order.end() ? order.end() - 1 : at - 1), true);
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

geometry::Rect RegionFocus::OutlineOnScreen(const engine::Card& card,
                                            const geometry::Rect& cardRect, int32_t slot) {
  const geometry::Rect box = BoxOnScreen(card, cardRect, slot);
  if (box.Empty()) return box;
  return geometry::Rect{std::max(cardRect.left, box.left - 1), std::max(cardRect.top, box.top - 1),
                        std::min(cardRect.right, box.right + 1),
                        std::min(cardRect.bottom, box.bottom + 1)};
}

}  // namespace interaction
