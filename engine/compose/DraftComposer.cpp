#include "engine/compose/DraftComposer.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "engine/compose/PlaceholderTile.h"
#include "engine/compose/StreamingCopy.h"
#include "engine/raster/PixelFormat.h"
#include "engine/resample/ResampleLimits.h"
#include "engine/resample/ScaleNearest.h"

namespace engine {

namespace {

void PrefetchLine(const uint8_t* at) {
#if defined(__GNUC__) || defined(__clang__)
  __builtin_prefetch(at);
#else
  (void)at;
#endif
}

// The overlay over a work pixel, as BlendOverlay computes it.
uint8_t OverOverlay(uint32_t o, uint32_t alpha, uint32_t c) {
  return uint8_t((o * (alpha + 1) + c * (255 - alpha)) >> 8);
}

// A slot's picture through a partly transparent region pixel, as
// MaskSlotIntoCard computes it.
uint8_t TowardWhite(uint32_t s, uint32_t alpha) {
  return uint8_t(((s * (alpha + 1)) >> 8) + (255 - alpha));
}

}  // namespace

void DraftComposer::Prepare(const Card& card, const CardKey& key) {
  if (prepared_ && layout_.SameLayout(key)) return;
  prepared_ = false;
  const int32_t width = key.width > 0 ? key.width : 0, height = key.height > 0 ? key.height : 0;
  slots_.assign(key.slots.size(), Slot());
  spans_.clear();
  rowSpans_.assign(1, 0);
  gridColumn_.assign(CheckedResampleCount(width, sizeof(int32_t)), 0);
  gridRow_.assign(CheckedResampleCount(height, sizeof(int32_t)), 0);
  columns_.clear();
  rows_.clear();
  if (key.Blank() || width == 0 || height == 0) {
    // Plain white paper: one grid pixel that every output pixel copies.
    gridWidth_ = gridHeight_ = 1;
    columns_.assign(1, 0);
    rows_.assign(1, 0);
    sameColumns_ = width == 1;
    fixed_.assign(4, 0xFF);
    if (width > 0) spans_.push_back(Span{0, width, -1});
    rowSpans_.push_back(spans_.size());
    layout_ = key;
    prepared_ = true;
    return;
  }
  const int32_t w0 = int32_t(key.templateWidth), h0 = int32_t(key.templateHeight);

  // The grid: the template columns and rows the final scaling reads, in
  // order (the scaling never goes back), and where each output one reads.
  std::vector<int32_t> outColumns(size_t(width), 0), outRows(size_t(height), 0);
  NearestSourceIndices(w0, width, outColumns.data());
  NearestSourceIndices(h0, height, outRows.data());
  std::vector<int32_t> firstOutColumn;  // of each grid column, and `width` at the end
  for (int32_t x = 0; x < width; ++x) {
    if (columns_.empty() || columns_.back() != outColumns[size_t(x)]) {
      columns_.push_back(outColumns[size_t(x)]);
      firstOutColumn.push_back(x);
    }
    gridColumn_[size_t(x)] = int32_t(columns_.size()) - 1;
  }
  firstOutColumn.push_back(width);
  for (int32_t y = 0; y < height; ++y) {
    if (rows_.empty() || rows_.back() != outRows[size_t(y)]) rows_.push_back(outRows[size_t(y)]);
    gridRow_[size_t(y)] = int32_t(rows_.size()) - 1;
  }
  gridWidth_ = int32_t(columns_.size());
  gridHeight_ = int32_t(rows_.size());
  sameColumns_ = gridWidth_ == width;
  if (!sameColumns_ && expansion_.Plan(gridColumn_.data(), width)) {
    gridScratch_.assign(size_t(gridWidth_) * 3 + 16, 0);
  }
  const size_t gridRowBytes = size_t(gridWidth_) * 3;
  fixed_.assign(CheckedResampleCount(int64_t(gridWidth_) * gridHeight_ * 3 + 1, 1), 0xFF);

  std::vector<size_t> drawn;
  for (size_t i = 0; i < key.slots.size(); ++i) {
    const SlotKey& s = key.slots[i];
    if (!s.drawn) continue;
    drawn.push_back(i);
    Slot& slot = slots_[i];
    auto firstAtLeast = [](const std::vector<int32_t>& v, int32_t value) {
      return int32_t(std::lower_bound(v.begin(), v.end(), value) - v.begin());
    };
    slot.c0 = firstAtLeast(columns_, s.left);
    slot.c1 = firstAtLeast(columns_, s.right);
    slot.r0 = firstAtLeast(rows_, s.top);
    slot.r1 = firstAtLeast(rows_, s.bottom);
    slot.y0 = firstAtLeast(outRows, s.top);
    slot.y1 = firstAtLeast(outRows, s.bottom);
    slot.needed.assign(size_t(std::max(slot.r1 - slot.r0, 0)), {slot.c1 - slot.c0, 0});
  }

  const uint8_t* map = card.cardTemplate.regionMap.get();
  const uint8_t* overlay = card.cardTemplate.overlay.get();
  const size_t templateStride = size_t(w0) * 4;
  for (int32_t j = 0; j < gridHeight_; ++j) {
    const int32_t sy = rows_[size_t(j)];
    uint8_t* fixedRow = &fixed_[size_t(j) * gridRowBytes];
    int32_t spanOwner = -2;  // nobody yet
    for (int32_t k = 0; k < gridWidth_; ++k) {
      const int32_t sx = columns_[size_t(k)];
      const uint8_t* m = map + size_t(sy) * templateStride + size_t(sx) * 4;
      const uint8_t* o = overlay ? overlay + size_t(sy) * templateStride + size_t(sx) * 4 : nullptr;
      const uint32_t overlayAlpha = o ? o[3] : 0;
      // Slots are masked in list order and masking never reads the card, so
      // the last slot whose region holds the pixel decides it.
      int32_t owner = -1;
      if (m[3] != 0) {
        const uint32_t keyColour = PixelWord(m) & KeyColourMask;
        for (size_t d = drawn.size(); d-- > 0;) {
          const SlotKey& s = key.slots[drawn[d]];
          if (s.keyColour == keyColour && sx >= s.left && sx < s.right && sy >= s.top &&
              sy < s.bottom) {
            owner = int32_t(drawn[d]);
            break;
          }
        }
      }
      if (owner >= 0 && overlayAlpha == 255) owner = -1;  // the opaque overlay decides
      if (owner < 0) {
        uint8_t* f = fixedRow + size_t(k) * 3;
        for (int c = 0; c < 3; ++c) {
          f[c] = overlayAlpha == 0     ? 255
                 : overlayAlpha == 255 ? o[c]
                                       : OverOverlay(o[c], overlayAlpha, 255);
        }
      } else {
        Slot& slot = slots_[size_t(owner)];
        std::pair<int32_t, int32_t>& needed = slot.needed[size_t(j - slot.r0)];
        needed.first = std::min(needed.first, k - slot.c0);
        needed.second = k - slot.c0 + 1;
      }
      if (owner >= 0 && (m[3] != 255 || overlayAlpha != 0)) {
        Slot& slot = slots_[size_t(owner)];
        // Both blends without a branch: toward white with alpha 255 is the
        // pixel itself, and with no overlay keep = 256 and over = 0 give it
        // back unchanged.
        Blend b;
        b.at = (uint32_t(j - slot.r0) * uint32_t(slot.c1 - slot.c0) + uint32_t(k - slot.c0)) * 3;
        b.alpha = m[3];
        b.keep = uint16_t(overlayAlpha == 0 ? 256 : 255 - overlayAlpha);
        for (int c = 0; c < 3; ++c) {
          b.over[c] = uint16_t(overlayAlpha == 0 ? 0 : o[c] * (overlayAlpha + 1));
        }
        slot.blends.push_back(b);
      }
      if (owner == spanOwner) {
        spans_.back().x1 = firstOutColumn[size_t(k) + 1];
      } else {
        spans_.push_back(Span{firstOutColumn[size_t(k)], firstOutColumn[size_t(k) + 1], owner});
        spanOwner = owner;
      }
    }
    rowSpans_.push_back(spans_.size());
  }
  layout_ = key;
  prepared_ = true;
}

void DraftComposer::DrawPicture(const Card& card, const SlotKey& key, Slot& slot) {
  if (slot.pictureValid && slot.pictureOf.SameContent(key)) return;
  slot.pictureValid = false;
  const int32_t width = slot.c1 - slot.c0, height = slot.r1 - slot.r0;
  if (width <= 0 || height <= 0) {
    slot.picture.clear();
    slot.pictureOf = key;
    slot.pictureValid = true;
    return;
  }
  const size_t rowBytes = size_t(width) * 3;
  slot.picture.resize(CheckedResampleCount(int64_t(rowBytes) * height + 1, 1));
  const int32_t boxWidth = key.BoxWidth(), boxHeight = key.BoxHeight();

  // Where each grid column and row of the rectangle reads: a photo pixel
  // through the crop's own nearest-neighbour scaling into the box, or a pixel
  // of the placeholder drawn at box size.
  std::vector<size_t> offsets(static_cast<size_t>(width));
  std::vector<const uint8_t*> sources(static_cast<size_t>(height));
  std::vector<uint8_t> placeholder;
  if (key.photo) {
    // A smooth draft samples a reduced copy whose crop is one to two times
    // the samples the slot takes.
    const uint8_t* photo = key.photo.get();
    uint32_t photoWidth = key.photoWidth;
    Crop crop = key.crop;
    if (smooth_) {
      const uint32_t across = std::min(crop.cropWidth / uint32_t(width),
                                       crop.cropHeight / uint32_t(height));
      int32_t shift = 0;
      while (shift < 6 && (2u << shift) <= across) ++shift;
      if (const PhotoLevel* level =
              shift > 0 ? pyramids_.Level(key.photo, key.photoWidth, key.photoHeight, shift)
                        : nullptr) {
        photo = level->pixels.data();
        photoWidth = level->width;
        crop.cropX = std::min(int32_t(uint32_t(crop.cropX) >> shift), int32_t(level->width) - 1);
        crop.cropY = std::min(int32_t(uint32_t(crop.cropY) >> shift), int32_t(level->height) - 1);
        crop.cropWidth = std::max(1u, std::min(crop.cropWidth >> shift,
                                               level->width - uint32_t(crop.cropX)));
        crop.cropHeight = std::max(1u, std::min(crop.cropHeight >> shift,
                                                level->height - uint32_t(crop.cropY)));
      }
    }
    std::vector<int32_t> boxColumns(static_cast<size_t>(boxWidth));
    std::vector<int32_t> boxRows(static_cast<size_t>(boxHeight));
    NearestSourceIndices(int32_t(crop.cropWidth), boxWidth, boxColumns.data());
    NearestSourceIndices(int32_t(crop.cropHeight), boxHeight, boxRows.data());
    const size_t photoStride = size_t(photoWidth) * 3;
    for (int32_t k = 0; k < width; ++k) {
      const int32_t bx = columns_[size_t(slot.c0 + k)] - key.left;
      offsets[size_t(k)] = (size_t(crop.cropX) + size_t(boxColumns[size_t(bx)])) * 3;
    }
    for (int32_t j = 0; j < height; ++j) {
      const int32_t by = rows_[size_t(slot.r0 + j)] - key.top;
      sources[size_t(j)] =
          photo + (size_t(crop.cropY) + size_t(boxRows[size_t(by)])) * photoStride;
    }
  } else {
    placeholder.resize(size_t(boxWidth) * size_t(boxHeight) * 3);
    DrawPlaceholder(card.Tile(),
                    RasterView{placeholder.data(), boxWidth, boxHeight, boxWidth * 3});
    for (int32_t k = 0; k < width; ++k) {
      offsets[size_t(k)] = size_t(columns_[size_t(slot.c0 + k)] - key.left) * 3;
    }
    for (int32_t j = 0; j < height; ++j) {
      sources[size_t(j)] =
          placeholder.data() + size_t(rows_[size_t(slot.r0 + j)] - key.top) * size_t(boxWidth) * 3;
    }
  }

  // Only the part of each row from the slot's first pixel to its last is
  // gathered: the photo streams in from memory, and what the region and the
  // opaque overlay hide need not. A photo row is read once per grid row, far
  // from the last one read: its cache lines are asked for a row ahead, so
  // their misses overlap the gathering of the row before. The first row's are
  // asked for at once; every later row's while the row before is gathered,
  // one per pixel, which keeps more of them in flight than asking for a whole
  // row at once.
  auto prefetchRow = [&](int32_t j) {
#if defined(__GNUC__) || defined(__clang__)
    const auto [first, end] = slot.needed[size_t(j)];
    if (first >= end) return;
    const uint8_t* row = sources[size_t(j)];
    const size_t spanEnd = offsets[size_t(end) - 1] + 3;
    for (size_t at = offsets[size_t(first)]; at < spanEnd; at += 64) __builtin_prefetch(row + at);
    __builtin_prefetch(row + spanEnd - 1);
#else
    (void)j;
#endif
  };
  prefetchRow(0);
  // The last row gathered: its source and what of it was gathered.
  const uint8_t* previous = nullptr;
  const uint8_t* previousPicture = nullptr;
  std::pair<int32_t, int32_t> previousNeeded{0, 0};
  for (int32_t j = 0; j < height; ++j) {
    const auto [first, end] = slot.needed[size_t(j)];
    if (first >= end) continue;
    uint8_t* dst = slot.picture.data() + size_t(j) * rowBytes;
    const uint8_t* src = sources[size_t(j)];
    if (src == previous && previousNeeded.first <= first && end <= previousNeeded.second) {
      std::memcpy(dst + size_t(first) * 3, previousPicture + size_t(first) * 3,
                  size_t(end - first) * 3);
      continue;
    }
    previous = src;
    previousPicture = dst;
    previousNeeded = {first, end};
    const uint8_t* ahead = src;  // the last row asks for its own lines again
    for (int32_t next = j + 1; next < height; ++next) {
      if (sources[size_t(next)] != src) {
        ahead = sources[size_t(next)];
        break;
      }
    }
    // Four bytes at a time, the fourth landing on the next pixel, written
    // right after; the last pixel takes three (its source may be the photo's
    // last). One store per pixel instead of three: the stores wait for the
    // photo's cache lines to come in, and fewer of them let more lines be
    // asked for at once.
    size_t k = size_t(first);
    for (; k + 1 < size_t(end); ++k) {
      PrefetchLine(ahead + offsets[k]);
      uint32_t v;
      std::memcpy(&v, src + offsets[k], 4);
      std::memcpy(dst + 3 * k, &v, 4);
    }
    std::memcpy(dst + 3 * k, src + offsets[k], 3);
  }

  for (const Blend& b : slot.blends) {
    uint8_t* p = slot.picture.data() + b.at;
    for (int c = 0; c < 3; ++c) {
      p[c] = uint8_t((b.over[c] + TowardWhite(p[c], b.alpha) * b.keep) >> 8);
    }
  }
  slot.pictureOf = key;
  slot.pictureValid = true;
}

const uint8_t* DraftComposer::GridRow(const Span& span, int32_t gridRow) const {
  if (span.owner < 0) return fixed_.data() + size_t(gridRow) * size_t(gridWidth_) * 3;
  const Slot& slot = slots_[size_t(span.owner)];
  return slot.picture.data() + size_t(gridRow - slot.r0) * size_t(slot.c1 - slot.c0) * 3;
}

void DraftComposer::Expand(const uint8_t* gridRow, int32_t first, int32_t x0, int32_t x1,
                           uint8_t* out) const {
  if (x1 <= x0) return;
  if (sameColumns_) {
    std::memcpy(out + size_t(x0) * 3, gridRow + size_t(x0 - first) * 3, size_t(x1 - x0) * 3);
    return;
  }
  // Four bytes at a time: a grid row always has a byte after its last pixel
  // (the next row's, or the spare one), and the fourth byte written lands on
  // the next output pixel, written right after; the last pixel takes three.
  const int32_t* column = gridColumn_.data();
  uint8_t* d = out + size_t(x0) * 3;
  for (int32_t x = x0; x + 1 < x1; ++x, d += 3) {
    uint32_t v;
    std::memcpy(&v, gridRow + size_t(column[x] - first) * 3, 4);
    std::memcpy(d, &v, 4);
  }
  std::memcpy(d, gridRow + size_t(column[x1 - 1] - first) * 3, 3);
}

void DraftComposer::SetSmooth(bool smooth) {
  if (smooth == smooth_) return;
  smooth_ = smooth;
  for (Slot& slot : slots_) slot.pictureValid = false;
  if (!smooth) pyramids_ = PhotoPyramids();
}

void DraftComposer::ForgetOtherPhotos(const CardKey& key) {
  if (!smooth_) return;
  std::vector<const uint8_t*> photos;
  for (const SlotKey& slot : key.slots) photos.push_back(slot.photo.get());
  pyramids_.KeepOnly(photos);
}

void DraftComposer::ComposeAll(const Card& card, const CardKey& key, const RasterView& out) {
  Prepare(card, key);
  ForgetOtherPhotos(key);
  if (key.width <= 0 || key.height <= 0) return;
  if (!key.Blank()) {
    for (size_t i = 0; i < key.slots.size(); ++i) {
      if (key.slots[i].drawn) DrawPicture(card, key.slots[i], slots_[i]);
    }
  }
  const size_t rowBytes = size_t(key.width) * 3;
  // A frame far larger than the caches is streamed past them: each grid row
  // is expanded once into a row that stays in the cache, then copied to
  // every output row that shows it.
  const bool stream = rowBytes * size_t(key.height) >= kStreamFramesFrom;
  if (stream) row_.resize(rowBytes + 1);
  for (int32_t y = 0; y < key.height; ++y) {
    const int32_t j = gridRow_[size_t(y)];
    const bool repeat = y > 0 && gridRow_[size_t(y) - 1] == j;
    if (stream) {
      if (!repeat) ExpandRow(j, row_.data());
      StreamCopy(out.Row(y), row_.data(), rowBytes);
    } else if (repeat) {
      // An enlarged card repeats grid rows: the row reads as the one above.
      std::memcpy(out.Row(y), out.Row(y - 1), rowBytes);
    } else {
      ExpandRow(j, out.Row(y));
    }
  }
  if (stream) FinishStreaming();
}

void DraftComposer::ExpandRow(int32_t j, uint8_t* out) {
  if (sameColumns_ || !expansion_.Usable()) {
    for (size_t s = SpansBegin(j); s < SpansEnd(j); ++s) {
      const Span& span = spans_[s];
      Expand(GridRow(span, j), span.owner < 0 ? 0 : slots_[size_t(span.owner)].c0, span.x0, span.x1,
             out);
    }
    return;
  }
  // The grid row whole first (spans at grid resolution), then every output
  // pixel from it.
  for (size_t s = SpansBegin(j); s < SpansEnd(j); ++s) {
    const Span& span = spans_[s];
    const int32_t k0 = gridColumn_[size_t(span.x0)], k1 = gridColumn_[size_t(span.x1) - 1] + 1;
    const int32_t first = span.owner < 0 ? 0 : slots_[size_t(span.owner)].c0;
    std::memcpy(&gridScratch_[size_t(k0) * 3], GridRow(span, j) + size_t(k0 - first) * 3,
                size_t(k1 - k0) * 3);
  }
  expansion_.Run(gridScratch_.data(), out);
}

void DraftComposer::ComposeSlot(const Card& card, const CardKey& key, size_t index,
                                const RasterView& out) {
  Prepare(card, key);
  ForgetOtherPhotos(key);
  if (key.Blank() || index >= key.slots.size() || !key.slots[index].drawn) return;
  Slot& slot = slots_[index];
  DrawPicture(card, key.slots[index], slot);
  const int32_t owner = int32_t(index);
  for (int32_t y = slot.y0; y < slot.y1; ++y) {
    const int32_t j = gridRow_[size_t(y)];
    uint8_t* row = out.Row(y);
    const bool repeat = y > slot.y0 && gridRow_[size_t(y) - 1] == j;
    for (size_t s = SpansBegin(j); s < SpansEnd(j); ++s) {
      const Span& span = spans_[s];
      if (span.owner != owner) continue;
      if (repeat) {
        std::memcpy(row + size_t(span.x0) * 3, out.Row(y - 1) + size_t(span.x0) * 3,
                    size_t(span.x1 - span.x0) * 3);
      } else {
        Expand(GridRow(span, j), slot.c0, span.x0, span.x1, row);
      }
    }
  }
}

void DraftComposer::CopySlot(size_t index, const RasterView& from, const RasterView& out) const {
  if (index >= slots_.size()) return;
  const Slot& slot = slots_[index];
  const int32_t owner = int32_t(index);
  for (int32_t y = slot.y0; y < slot.y1; ++y) {
    const int32_t j = gridRow_[size_t(y)];
    for (size_t s = SpansBegin(j); s < SpansEnd(j); ++s) {
      const Span& span = spans_[s];
      if (span.owner != owner) continue;
      std::memcpy(out.Row(y) + size_t(span.x0) * 3, from.Row(y) + size_t(span.x0) * 3,
                  size_t(span.x1 - span.x0) * 3);
    }
  }
}

}  // namespace engine
