#include "engine/raster/TurnUpright.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

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

// Puts stored rows [first, first + count) of a storedWidth x storedHeight
// photo, `stride` bytes apart, where they belong in `upright`. Where stored
// pixel (x, y) is seen:
//   2: (w-1-x, y)  3: (w-1-x, h-1-y)  4: (x, h-1-y)
//   5: (y, x)      6: (h-1-y, x)      7: (h-1-y, w-1-x)  8: (y, w-1-x)
// For 5 to 8 a stored row becomes an upright column; the copy goes in
// square tiles so that the rows read and the rows written both stay in the
// cache (a plain loop over a 24 MP photo misses on every pixel).
void PlaceStoredRows(const uint8_t* rows, size_t stride, uint32_t first, uint32_t count,
                     uint32_t storedWidth, uint32_t storedHeight, int orientation,
                     Raster& upright) {
  const uint32_t w = storedWidth;
  const uint32_t h = storedHeight;
  if (orientation <= 4) {
    const bool mirrored = orientation == 2 || orientation == 3;
    const bool upsideDown = orientation == 3 || orientation == 4;
    for (uint32_t i = 0; i < count; ++i) {
      const uint32_t y = first + i;
      const uint8_t* from = rows + size_t(i) * stride;
      uint8_t* to = upright.Row(upsideDown ? h - 1 - y : y);
      if (!mirrored) {
        std::memcpy(to, from, size_t(w) * 3);
        continue;
      }
      const uint8_t* back = from + size_t(w - 1) * 3;
      for (uint32_t x = 0; x < w; ++x, to += 3, back -= 3) {
        to[0] = back[0];
        to[1] = back[1];
        to[2] = back[2];
      }
    }
    return;
  }
  // Each stored row is read left to right and written down an upright
  // column, a tile's width at a time.
  constexpr uint32_t kTile = 64;
  const bool columnsBackwards = orientation == 7 || orientation == 8;  // y' = w-1-x
  const bool rowsBackwards = orientation == 6 || orientation == 7;     // x' = h-1-y
  const ptrdiff_t down =
      columnsBackwards ? -ptrdiff_t(upright.Stride()) : ptrdiff_t(upright.Stride());
  for (uint32_t r0 = 0; r0 < count; r0 += kTile) {
    const uint32_t r1 = std::min(count, r0 + kTile);
    for (uint32_t x0 = 0; x0 < w; x0 += kTile) {
      const uint32_t x1 = std::min(w, x0 + kTile);
      uint8_t* const top = upright.Row(columnsBackwards ? w - 1 - x0 : x0);
      for (uint32_t r = r0; r < r1; ++r) {
        const uint32_t y = first + r;
        const uint8_t* from = rows + size_t(r) * stride + size_t(x0) * 3;
        uint8_t* to = top + size_t(rowsBackwards ? h - 1 - y : y) * 3;
        for (uint32_t x = x0; x < x1; ++x, from += 3, to += down) {
          to[0] = from[0];
          to[1] = from[1];
          to[2] = from[2];
        }
      }
    }
  }
}

bool Turns(int orientation) { return orientation >= 2 && orientation <= 8; }
bool SwapsSides(int orientation) { return orientation >= 5 && orientation <= 8; }

}  // namespace

void TurnUpright(Raster& photo, int orientation) {
  if (photo.Empty() || photo.format != PixelFormat::Rgb24 || !Turns(orientation)) return;
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
    default: {
      Raster upright = Raster::Allocate(photo.height, photo.width, PixelFormat::Rgb24);
      PlaceStoredRows(photo.pixels.get(), photo.Stride(), 0, photo.height, photo.width,
                      photo.height, orientation, upright);
      photo.Swap(upright);
      return;
    }
  }
}

UprightBuilder::UprightBuilder(uint32_t storedWidth, uint32_t storedHeight, int orientation,
                               size_t rowRoom)
    : storedWidth_(storedWidth),
      storedHeight_(storedHeight),
      orientation_(Turns(orientation) ? orientation : 1),
      stride_(std::max(rowRoom, size_t(storedWidth) * 3)) {
  upright_ = SwapsSides(orientation_)
                 ? Raster::Allocate(storedHeight, storedWidth, PixelFormat::Rgb24)
                 : Raster::Allocate(storedWidth, storedHeight, PixelFormat::Rgb24);
  strip_.reset(new uint8_t[stride_ * std::min(kStripRows, storedHeight)]);
}

uint32_t UprightBuilder::RowsWanted() const {
  return std::min(kStripRows - stripRows_, storedHeight_ - rowsDone_);
}

void UprightBuilder::RowsDone(uint32_t count) {
  count = std::min(count, RowsWanted());
  stripRows_ += count;
  rowsDone_ += count;
  if (stripRows_ == kStripRows || Complete()) Flush();
}

void UprightBuilder::Flush() {
  PlaceStoredRows(strip_.get(), stride_, rowsDone_ - stripRows_, stripRows_, storedWidth_,
                  storedHeight_, orientation_, upright_);
  stripRows_ = 0;
}

Raster UprightBuilder::Take() {
  strip_.reset();
  return std::move(upright_);
}

}  // namespace engine
