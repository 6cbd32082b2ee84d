#include "engine/compose/PlaceholderTile.h"

#include "engine/resample/ResampleJob.h"

namespace engine {

namespace {

void FillSpan(uint8_t* p, int32_t count, const uint8_t colour[3]) {
  for (int32_t i = 0; i < count; ++i, p += 3) {
    p[0] = colour[0];
    p[1] = colour[1];
    p[2] = colour[2];
  }
}

}  // namespace

void DrawPlaceholder(const Raster& tile, const RasterView& box) {
  const uint32_t boxWidth = uint32_t(box.width);
  const uint32_t boxHeight = uint32_t(box.height);
  if (box.width <= 0 || box.height <= 0) return;
  if (tile.Empty() || tile.format != PixelFormat::Rgb24) {
    for (int32_t y = 0; y < box.height; ++y) FillSpan(box.Row(y), box.width, kPlaceholderFallback);
    return;
  }

  uint32_t tw = tile.width;
  uint32_t th = tile.height;
  if (boxWidth < tile.width || boxHeight < tile.height) {
    if (uint64_t(boxWidth) * tile.height < uint64_t(boxHeight) * tile.width) {
      tw = boxWidth;
      th = uint32_t(uint64_t(tile.height) * boxWidth / tile.width);
    } else {
      th = boxHeight;
      tw = uint32_t(uint64_t(tile.width) * boxHeight / tile.height);
    }
  }
  const int32_t ox = int32_t((boxWidth - tw) / 2);
  const int32_t oy = int32_t((boxHeight - th) / 2);

  ResampleJob job(int32_t(tw), int32_t(th), int32_t(tile.width), int32_t(tile.height),
                  box.Row(oy) + size_t(ox) * 3, box.stride, tile.pixels.get(),
                  int32_t(tile.Stride()));
  job.ScaleNearest();

  const uint8_t* colour = tile.pixels.get();
  const int32_t right = ox + int32_t(tw);
  const int32_t bottom = oy + int32_t(th);
  for (int32_t y = 0; y < box.height; ++y) {
    uint8_t* row = box.Row(y);
    if (y < oy || y >= bottom) {
      FillSpan(row, box.width, colour);
    } else {
      FillSpan(row, ox, colour);
      FillSpan(row + size_t(right) * 3, box.width - right, colour);
    }
  }
}

}  // namespace engine
