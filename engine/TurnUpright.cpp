#include "engine/TurnUpright.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace engine {

namespace {

void Swap3(uint8_t* a, uint8_t* b) {
  std::swap(a[0], b[0]);
  std::swap(a[1], b[1]);
  std::swap(a[2], b[2]);
}

void MirrorRow(uint8_t* row, uint32_t width) {
  uint8_t* left = row;
  uint8_t* right = row + size_t(width - 1) * 3;
  for (; left < right; left += 3, right -= 3) Swap3(left, right);
}

void MirrorTopToBottom(Raster& photo, bool alsoLeftToRight) {
  const size_t stride = photo.Stride();
  for (uint32_t top = 0, bottom = photo.height - 1; top < bottom; ++top, --bottom) {
    uint8_t* a = photo.Row(top);
    uint8_t* b = photo.Row(bottom);
    if (alsoLeftToRight) {
      // Row `top` becomes row `bottom` read backwards and the other way round.
      uint8_t* p = a;
      uint8_t* q = b + stride - 3;
      for (uint32_t x = 0; x < photo.width; ++x, p += 3, q -= 3) Swap3(p, q);
    } else {
      std::swap_ranges(a, a + stride, b);
    }
  }
  if (alsoLeftToRight && photo.height % 2 == 1) MirrorRow(photo.Row(photo.height / 2), photo.width);
}

// Orientations 5 to 8: the upright picture's row y' is a column of the
// stored one, walked down or up. Source pixel of upright (x', y'):
//   5: (y', x')      6: (y', h-1-x')      7: (w-1-y', h-1-x')      8: (w-1-y', x')
// Done in square tiles so that both the rows read and the rows written stay
// in the cache; a plain loop over a 24 MP photo misses on every pixel.
void Transpose(const Raster& stored, Raster& upright, int orientation) {
  constexpr uint32_t kTile = 64;
  const ptrdiff_t stride = ptrdiff_t(stored.Stride());
  const uint32_t w = stored.width;
  const uint32_t h = stored.height;
  const bool columnsBackwards = orientation == 7 || orientation == 8;
  const bool rowsBackwards = orientation == 6 || orientation == 7;
  const uint8_t* origin = stored.pixels.get();
  // Where x' = 0 reads, and the step from one x' to the next.
  const ptrdiff_t firstRow = rowsBackwards ? ptrdiff_t(h - 1) * stride : 0;
  const ptrdiff_t rowStep = rowsBackwards ? -stride : stride;

  for (uint32_t y0 = 0; y0 < upright.height; y0 += kTile) {
    const uint32_t y1 = std::min(upright.height, y0 + kTile);
    for (uint32_t x0 = 0; x0 < upright.width; x0 += kTile) {
      const uint32_t x1 = std::min(upright.width, x0 + kTile);
      for (uint32_t y = y0; y < y1; ++y) {
        const uint32_t column = columnsBackwards ? w - 1 - y : y;
        const uint8_t* source = origin + firstRow + ptrdiff_t(x0) * rowStep + ptrdiff_t(column) * 3;
        uint8_t* target = upright.Row(y) + size_t(x0) * 3;
        for (uint32_t x = x0; x < x1; ++x, source += rowStep, target += 3) {
          target[0] = source[0];
          target[1] = source[1];
          target[2] = source[2];
        }
      }
    }
  }
}

}  // namespace

void TurnUpright(Raster& photo, int orientation) {
  if (photo.Empty() || photo.format != PixelFormat::Rgb24) return;
  switch (orientation) {
    case 2:
      for (uint32_t y = 0; y < photo.height; ++y) MirrorRow(photo.Row(y), photo.width);
      return;
    case 3:
      MirrorTopToBottom(photo, true);
      return;
    case 4:
      MirrorTopToBottom(photo, false);
      return;
    case 5:
    case 6:
    case 7:
    case 8: {
      Raster upright = Raster::Allocate(photo.height, photo.width, PixelFormat::Rgb24);
      Transpose(photo, upright, orientation);
      photo.Swap(upright);
      return;
    }
    default:
      return;
  }
}

}  // namespace engine
