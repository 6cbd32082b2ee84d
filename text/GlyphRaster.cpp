#include "text/GlyphRaster.h"

#include <algorithm>
#include <limits>

#include FT_OUTLINE_H

namespace text {

namespace {

// FreeType's coordinates are `long`, 32 bits on Windows: nothing placed
// further than this (in 1/64 pixel) from the mask is drawn, which leaves
// room for the glyph's own size.
constexpr int64_t kFarthest = int64_t(1) << 28;

int64_t FloorPixel(int64_t v) { return v >= 0 ? v / 64 : -((-v + 63) / 64); }
int64_t CeilPixel(int64_t v) { return -FloorPixel(-v); }

struct SpanTarget {
  CoverageMask* mask;
};

void DrawSpans(int y, int count, const FT_Span* spans, void* user) {
  CoverageMask* mask = static_cast<SpanTarget*>(user)->mask;
  // FreeType counts rows up from the mask's bottom.
  const int64_t row = int64_t(mask->height) - 1 - y;
  if (row < 0 || row >= int64_t(mask->height)) return;
  uint8_t* values = mask->values.data() + size_t(row) * mask->width;
  for (int s = 0; s < count; ++s) {
    const int64_t from = std::max<int64_t>(spans[s].x, 0);
    const int64_t to = std::min<int64_t>(int64_t(spans[s].x) + spans[s].len, mask->width);
    for (int64_t x = from; x < to; ++x) values[x] = std::max<uint8_t>(values[x], spans[s].coverage);
  }
}

struct Ink {
  int64_t left, top, right, bottom;  // card pixels, right and bottom past the ink
};

bool GlyphInk(PlacedGlyph& glyph, FT_Outline** outline, Ink* ink) {
  *outline = glyph.font->Outline(glyph.glyph);
  if (!*outline || (*outline)->n_points == 0) return false;
  FT_BBox box;
  FT_Outline_Get_CBox(*outline, &box);
  ink->left = FloorPixel(glyph.x + box.xMin);
  ink->right = CeilPixel(glyph.x + box.xMax);
  ink->top = FloorPixel(glyph.y - box.yMax);
  ink->bottom = CeilPixel(glyph.y - box.yMin);
  return ink->left < ink->right && ink->top < ink->bottom;
}

}  // namespace

CoverageMask RasteriseGlyphs(FT_Library library, const std::vector<PlacedGlyph>& glyphs,
                             uint32_t cardWidth, uint32_t cardHeight, int64_t margin) {
  Ink all{std::numeric_limits<int64_t>::max(), std::numeric_limits<int64_t>::max(),
          std::numeric_limits<int64_t>::min(), std::numeric_limits<int64_t>::min()};
  bool any = false;
  for (PlacedGlyph glyph : glyphs) {
    FT_Outline* outline = nullptr;
    Ink ink;
    if (!GlyphInk(glyph, &outline, &ink)) continue;
    all.left = std::min(all.left, ink.left);
    all.top = std::min(all.top, ink.top);
    all.right = std::max(all.right, ink.right);
    all.bottom = std::max(all.bottom, ink.bottom);
    any = true;
  }
  CoverageMask mask;
  if (!any) return mask;
  const int64_t left = std::max<int64_t>(all.left - margin, 0);
  const int64_t top = std::max<int64_t>(all.top - margin, 0);
  const int64_t right = std::min<int64_t>(all.right + margin, cardWidth);
  const int64_t bottom = std::min<int64_t>(all.bottom + margin, cardHeight);
  if (left >= right || top >= bottom) return mask;
  mask.left = left;
  mask.top = top;
  mask.width = uint32_t(right - left);
  mask.height = uint32_t(bottom - top);
  mask.values.assign(size_t(mask.width) * mask.height, 0);

  SpanTarget target{&mask};
  for (PlacedGlyph glyph : glyphs) {
    FT_Outline* outline = nullptr;
    Ink ink;
    if (!GlyphInk(glyph, &outline, &ink)) continue;
    if (ink.right <= left || ink.left >= right || ink.bottom <= top || ink.top >= bottom) continue;
    // Into the mask's frame, whose y runs up from its bottom edge.
    const int64_t dx = glyph.x - left * 64;
    const int64_t dy = bottom * 64 - glyph.y;
    if (dx <= -kFarthest || dx >= kFarthest || dy <= -kFarthest || dy >= kFarthest) continue;
    FT_Outline_Translate(outline, FT_Pos(dx), FT_Pos(dy));
    FT_Raster_Params params{};
    params.source = outline;
    params.flags = FT_RASTER_FLAG_AA | FT_RASTER_FLAG_DIRECT | FT_RASTER_FLAG_CLIP;
    params.gray_spans = DrawSpans;
    params.user = &target;
    params.clip_box = {0, 0, FT_Pos(mask.width), FT_Pos(mask.height)};
    FT_Outline_Render(library, outline, &params);
    FT_Outline_Translate(outline, FT_Pos(-dx), FT_Pos(-dy));
  }
  return mask;
}

}  // namespace text
