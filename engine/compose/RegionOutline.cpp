#include "engine/compose/RegionOutline.h"

#include <algorithm>

#include "engine/raster/PixelFormat.h"
#include "engine/resample/ScaleNearest.h"

namespace engine {

namespace {

// The first position in [0, length) whose source index is at least `at`
// (indices never decrease along a row).
int32_t FirstAtLeast(const std::vector<int32_t>& indices, int32_t at) {
  return int32_t(std::lower_bound(indices.begin(), indices.end(), at) - indices.begin());
}

// In place: each entry becomes 1 when every entry within `reach` of it
// along the line, `count` entries `step` apart, is 1; the ends count as 0.
// A window of zeros is counted with a running sum.
void Erode(uint8_t* line, int32_t count, ptrdiff_t step, int32_t reach, std::vector<int32_t>& zeros) {
  zeros.assign(size_t(count) + 1, 0);
  for (int32_t i = 0; i < count; ++i) zeros[size_t(i) + 1] = zeros[size_t(i)] + (line[i * step] == 0);
  for (int32_t i = 0; i < count; ++i) {
    const int32_t from = i - reach, to = i + reach + 1;
    const bool inside = from >= 0 && to <= count &&
                        zeros[size_t(to)] - zeros[size_t(from)] == 0;
    line[i * step] = inside ? 1 : 0;
  }
}

}  // namespace

std::vector<geometry::Rect> RegionOutline(const Card& card, size_t index, int32_t width,
                                          int32_t height, int32_t thickness) {
  std::vector<geometry::Rect> pieces;
  const CardTemplate& t = card.cardTemplate;
  if (index >= card.slots.size() || !t.regionMap || t.width == 0 || t.height == 0 || width <= 0 ||
      height <= 0 || thickness <= 0)
    return pieces;
  const PhotoSlot& slot = card.slots[index];
  if (slot.Hidden()) return pieces;

  std::vector<int32_t> columns(static_cast<size_t>(width)), rows(static_cast<size_t>(height));
  NearestSourceIndices(int32_t(t.width), width, columns.data());
  NearestSourceIndices(int32_t(t.height), height, rows.data());
  // The pixels whose template pixel lies in the slot's box; the region is
  // within them, and everything around them is outside it.
  const int32_t x0 = FirstAtLeast(columns, slot.left), x1 = FirstAtLeast(columns, slot.right);
  const int32_t y0 = FirstAtLeast(rows, slot.top), y1 = FirstAtLeast(rows, slot.bottom);
  if (x1 <= x0 || y1 <= y0) return pieces;
  // One margin of `thickness` around the box lets the erosion see the
  // outside without bounds checks of its own.
  const int32_t m = thickness;
  const int32_t w = x1 - x0 + 2 * m, h = y1 - y0 + 2 * m;
  std::vector<uint8_t> region(size_t(w) * size_t(h), 0);
  for (int32_t y = y0; y < y1; ++y) {
    const uint8_t* mapRow = t.regionMap.get() + size_t(rows[size_t(y)]) * t.width * 4;
    uint8_t* out = &region[size_t(y - y0 + m) * size_t(w) + size_t(m)];
    for (int32_t x = x0; x < x1; ++x)
      out[x - x0] = (PixelWord(mapRow + size_t(columns[size_t(x)]) * 4) & KeyColourMask) ==
                    slot.keyColour;
  }

  // The region shrunk by `thickness` in every direction (a square of side
  // 2 * thickness + 1, one axis at a time); the outline is what it lost.
  std::vector<uint8_t> inner = region;
  std::vector<int32_t> zeros;
  for (int32_t y = 0; y < h; ++y) Erode(&inner[size_t(y) * size_t(w)], w, 1, m, zeros);
  for (int32_t x = 0; x < w; ++x) Erode(&inner[size_t(x)], h, w, m, zeros);

  // Runs of each row, joined with the same run of the row above.
  std::vector<size_t> open, stillOpen;  // pieces that reach the row above
  for (int32_t y = 0; y < h; ++y) {
    const uint8_t* r = &region[size_t(y) * size_t(w)];
    const uint8_t* in = &inner[size_t(y) * size_t(w)];
    stillOpen.clear();
    size_t next = 0;  // open pieces are in left-to-right order
    for (int32_t x = 0; x < w;) {
      if (!r[x] || in[x]) {
        ++x;
        continue;
      }
      int32_t end = x + 1;
      while (end < w && r[end] && !in[end]) ++end;
      const int32_t left = x0 + x - m, right = x0 + end - m, top = y0 + y - m;
      while (next < open.size() && pieces[open[next]].left < left) ++next;
      if (next < open.size() && pieces[open[next]].left == left &&
          pieces[open[next]].right == right) {
        pieces[open[next]].bottom = top + 1;
        stillOpen.push_back(open[next++]);
      } else {
        stillOpen.push_back(pieces.size());
        pieces.push_back(geometry::Rect{left, top, right, top + 1});
      }
      x = end;
    }
    open.swap(stillOpen);
  }
  return pieces;
}

}  // namespace engine
