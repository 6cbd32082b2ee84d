#include "engine/card/RegionMarks.h"

#include <algorithm>
#include <cstdlib>
#include <map>

namespace engine {

std::vector<geometry::Point> RegionMarkPoints(const CardTemplate& t, const SlotList& slots,
                                              int32_t clearance) {
  std::vector<geometry::Point> points(slots.size(), geometry::Point{-1, -1});
  for (size_t i = 0; i < slots.size(); ++i) {
    const PhotoSlot& s = slots[i];
    if (!s.Hidden()) points[i] = geometry::Point{(s.left + s.right) / 2, (s.top + s.bottom) / 2};
  }
  if (!t.regionMap || t.width == 0 || t.height == 0) return points;

  // A coarse grid of the region map: which slot each cell's centre belongs
  // to, and how far (3 per cell straight, 4 diagonally) it lies from a cell
  // of another region or the card's edge.
  const uint32_t step = std::max<uint32_t>(1, std::min(t.width, t.height) / 150);
  const int32_t gw = int32_t((t.width + step - 1) / step), gh = int32_t((t.height + step - 1) / step);
  std::map<uint32_t, int32_t> slotOfKey;
  for (size_t i = 0; i < slots.size(); ++i)
    if (!slots[i].Hidden()) slotOfKey.emplace(slots[i].keyColour, int32_t(i));
  std::vector<int32_t> label(size_t(gw) * size_t(gh), -1);
  for (int32_t gy = 0; gy < gh; ++gy) {
    const uint32_t y = std::min(t.height - 1, uint32_t(gy) * step + step / 2);
    for (int32_t gx = 0; gx < gw; ++gx) {
      const uint32_t x = std::min(t.width - 1, uint32_t(gx) * step + step / 2);
      const uint8_t* p = t.regionMap.get() + (size_t(y) * t.width + x) * 4;
      if (p[3] == 0) continue;
      const auto found = slotOfKey.find(PixelWord(p) & KeyColourMask);
      if (found != slotOfKey.end()) label[size_t(gy) * size_t(gw) + size_t(gx)] = found->second;
    }
  }
  constexpr int32_t kFar = 1 << 28;
  std::vector<int32_t> dist(label.size(), kFar);
  auto at = [gw](int32_t x, int32_t y) { return size_t(y) * size_t(gw) + size_t(x); };
  for (int32_t y = 0; y < gh; ++y) {
    for (int32_t x = 0; x < gw; ++x) {
      const int32_t l = label[at(x, y)];
      const bool edge = x == 0 || y == 0 || x + 1 == gw || y + 1 == gh || label[at(x - 1, y)] != l ||
                        label[at(x + 1, y)] != l || label[at(x, y - 1)] != l ||
                        label[at(x, y + 1)] != l;
      if (edge) dist[at(x, y)] = 0;
    }
  }
  for (int32_t y = 0; y < gh; ++y) {
    for (int32_t x = 0; x < gw; ++x) {
      int32_t& d = dist[at(x, y)];
      if (x > 0) d = std::min(d, dist[at(x - 1, y)] + 3);
      if (y > 0) d = std::min(d, dist[at(x, y - 1)] + 3);
      if (x > 0 && y > 0) d = std::min(d, dist[at(x - 1, y - 1)] + 4);
      if (x + 1 < gw && y > 0) d = std::min(d, dist[at(x + 1, y - 1)] + 4);
    }
  }
  for (int32_t y = gh - 1; y >= 0; --y) {
    for (int32_t x = gw - 1; x >= 0; --x) {
      int32_t& d = dist[at(x, y)];
      if (x + 1 < gw) d = std::min(d, dist[at(x + 1, y)] + 3);
      if (y + 1 < gh) d = std::min(d, dist[at(x, y + 1)] + 3);
      if (x + 1 < gw && y + 1 < gh) d = std::min(d, dist[at(x + 1, y + 1)] + 4);
      if (x > 0 && y + 1 < gh) d = std::min(d, dist[at(x - 1, y + 1)] + 4);
    }
  }

  // Per slot: the cell deepest inside (of equals, the one nearest the box's
  // middle column), then down its column while the cells stay clear of the
  // edge.
  const int32_t needed = 3 * std::max<int32_t>(1, int32_t((uint32_t(clearance) + step - 1) / step));
  std::vector<int32_t> bestDist(slots.size(), -1);
  std::vector<geometry::Point> best(slots.size());
  for (int32_t y = 0; y < gh; ++y) {
    for (int32_t x = 0; x < gw; ++x) {
      const int32_t l = label[at(x, y)];
      if (l < 0 || dist[at(x, y)] < bestDist[size_t(l)]) continue;
      const PhotoSlot& s = slots[size_t(l)];
      const int32_t middle = (s.left + s.right) / 2 / int32_t(step);
      if (dist[at(x, y)] == bestDist[size_t(l)] &&
          std::abs(x - middle) >= std::abs(best[size_t(l)].x - middle))
        continue;
      bestDist[size_t(l)] = dist[at(x, y)];
      best[size_t(l)] = geometry::Point{x, y};
    }
  }
  for (size_t i = 0; i < slots.size(); ++i) {
    if (bestDist[i] < 0) continue;
    geometry::Point cell = best[i];
    const int32_t l = int32_t(i);
    while (cell.y + 1 < gh && label[at(cell.x, cell.y + 1)] == l &&
           dist[at(cell.x, cell.y + 1)] >= needed)
      ++cell.y;
    points[i] = geometry::Point{int32_t(std::min(t.width - 1, uint32_t(cell.x) * step + step / 2)),
                                int32_t(std::min(t.height - 1, uint32_t(cell.y) * step + step / 2))};
  }
  return points;
}

}  // namespace engine
