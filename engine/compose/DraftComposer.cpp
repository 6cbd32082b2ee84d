#include "engine/compose/DraftComposer.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "engine/raster/PixelFormat.h"
#include "engine/compose/PlaceholderTile.h"
#include "engine/resample/ResampleLimits.h"
#include "engine/resample/ScaleNearest.h"

namespace engine {

namespace {

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
  const int32_t width = key.width, height = key.height;
  const size_t rowBytes = size_t(width) * 3;
  fixed_.assign(CheckedResampleCount(int64_t(width) * height, 3) * 3, 0xFF);
  slots_.assign(key.slots.size(), Slot());
  columns_.assign(size_t(width), 0);
  rows_.assign(size_t(height), 0);
  if (key.Blank()) {
    layout_ = key;
    prepared_ = true;
    return;
  }
  const int32_t w0 = int32_t(key.templateWidth), h0 = int32_t(key.templateHeight);
  NearestSourceIndices(w0, width, columns_.data());
  NearestSourceIndices(h0, height, rows_.data());

  std::vector<size_t> drawn;
  for (size_t i = 0; i < key.slots.size(); ++i) {
    const SlotKey& s = key.slots[i];
    if (!s.drawn) continue;
    drawn.push_back(i);
    Slot& slot = slots_[i];
    slot.x0 =
        int32_t(std::lower_bound(columns_.begin(), columns_.end(), s.left) - columns_.begin());
    slot.x1 =
        int32_t(std::lower_bound(columns_.begin(), columns_.end(), s.right) - columns_.begin());
    slot.y0 = int32_t(std::lower_bound(rows_.begin(), rows_.end(), s.top) - rows_.begin());
    slot.y1 = int32_t(std::lower_bound(rows_.begin(), rows_.end(), s.bottom) - rows_.begin());
  }

  const uint8_t* map = card.cardTemplate.regionMap.get();
  const uint8_t* overlay = card.cardTemplate.overlay.get();
  const size_t templateStride = size_t(w0) * 4;
  // Where each slot's entries for the previous output row begin.
  std::vector<std::pair<size_t, size_t>> previousRow(slots_.size(), {0, 0});
  for (int32_t y = 0; y < height; ++y) {
    const int32_t sy = rows_[size_t(y)];
    uint8_t* fixedRow = &fixed_[size_t(y) * rowBytes];
    if (y > 0 && sy == rows_[size_t(y) - 1]) {
      // An enlarged card repeats template rows: the row reads as the last one.
      std::memcpy(fixedRow, fixedRow - rowBytes, rowBytes);
      for (size_t i = 0; i < slots_.size(); ++i) {
        Slot& slot = slots_[i];
        const size_t runsEnd = slot.runs.size(), blendsEnd = slot.blends.size();
        for (size_t k = previousRow[i].first; k < runsEnd; ++k) {
          Run run = slot.runs[k];
          run.y = y;
          slot.runs.push_back(run);
        }
        for (size_t k = previousRow[i].second; k < blendsEnd; ++k) {
          Blend blend = slot.blends[k];
          blend.y = y;
          slot.blends.push_back(blend);
        }
        previousRow[i] = {runsEnd, blendsEnd};
      }
      continue;
    }
    for (size_t i = 0; i < slots_.size(); ++i) {
      previousRow[i] = {slots_[i].runs.size(), slots_[i].blends.size()};
    }
    int32_t runOwner = -1;  // the slot whose run the previous pixel extended
    for (int32_t x = 0; x < width; ++x) {
      const int32_t sx = columns_[size_t(x)];
      const uint8_t* m = map + size_t(sy) * templateStride + size_t(sx) * 4;
      const uint8_t* o = overlay ? overlay + size_t(sy) * templateStride + size_t(sx) * 4 : nullptr;
      const uint32_t overlayAlpha = o ? o[3] : 0;
      // Slots are masked in list order and masking never reads the card, so
      // the last slot whose region holds the pixel decides it.
      int32_t owner = -1;
      if (m[3] != 0) {
        const uint32_t keyColour = PixelWord(m) & KeyColourMask;
        for (size_t k = drawn.size(); k-- > 0;) {
          const SlotKey& s = key.slots[drawn[k]];
          if (s.keyColour == keyColour && sx >= s.left && sx < s.right && sy >= s.top &&
              sy < s.bottom) {
            owner = int32_t(drawn[k]);
            break;
          }
        }
      }
      uint8_t* f = fixedRow + size_t(x) * 3;
      if (owner < 0 || overlayAlpha == 255) {
        for (int c = 0; c < 3; ++c) {
          f[c] = overlayAlpha == 0     ? 255
                 : overlayAlpha == 255 ? o[c]
                                       : OverOverlay(o[c], overlayAlpha, 255);
        }
        runOwner = -1;
        continue;
      }
      Slot& slot = slots_[size_t(owner)];
      if (m[3] == 255 && overlayAlpha == 0) {
        if (runOwner == owner) {
          slot.runs.back().x1 = x + 1;
        } else {
          slot.runs.push_back(Run{y, x, x + 1});
          runOwner = owner;
        }
        continue;
      }
      slot.blends.push_back(
          Blend{y,
                x,
                m[3],
                uint8_t(overlayAlpha),
                {o ? o[0] : uint8_t(0), o ? o[1] : uint8_t(0), o ? o[2] : uint8_t(0)}});
      runOwner = -1;
    }
  }
  layout_ = key;
  prepared_ = true;
}

void DraftComposer::DrawPicture(const Card& card, const SlotKey& key, Slot& slot) {
  if (slot.pictureValid && slot.pictureOf.SameContent(key)) return;
  slot.pictureValid = false;
  const int32_t width = slot.x1 - slot.x0, height = slot.y1 - slot.y0;
  const size_t rowBytes = size_t(width) * 3;
  slot.picture.resize(rowBytes * size_t(height));
  if (width <= 0 || height <= 0) {
    slot.pictureOf = key;
    slot.pictureValid = true;
    return;
  }
  const int32_t boxWidth = key.BoxWidth(), boxHeight = key.BoxHeight();

  // Where each output column and row of the rectangle reads: a photo pixel
  // through the crop's own nearest-neighbour scaling into the box, or a pixel
  // of the placeholder drawn at box size.
  std::vector<size_t> offsets(static_cast<size_t>(width));
  std::vector<const uint8_t*> sources(static_cast<size_t>(height));
  std::vector<uint8_t> placeholder;
  if (key.photo) {
    std::vector<int32_t> boxColumns(static_cast<size_t>(boxWidth));
    std::vector<int32_t> boxRows(static_cast<size_t>(boxHeight));
    NearestSourceIndices(int32_t(key.crop.cropWidth), boxWidth, boxColumns.data());
    NearestSourceIndices(int32_t(key.crop.cropHeight), boxHeight, boxRows.data());
    const size_t photoStride = size_t(key.photoWidth) * 3;
    for (int32_t x = 0; x < width; ++x) {
      const int32_t bx = columns_[size_t(slot.x0 + x)] - key.left;
      offsets[size_t(x)] = (size_t(key.crop.cropX) + size_t(boxColumns[size_t(bx)])) * 3;
    }
    for (int32_t y = 0; y < height; ++y) {
      const int32_t by = rows_[size_t(slot.y0 + y)] - key.top;
      sources[size_t(y)] =
          key.photo.get() + (size_t(key.crop.cropY) + size_t(boxRows[size_t(by)])) * photoStride;
    }
  } else {
    placeholder.resize(size_t(boxWidth) * size_t(boxHeight) * 3);
    DrawPlaceholder(card.Tile(),
                    RasterView{placeholder.data(), boxWidth, boxHeight, boxWidth * 3});
    for (int32_t x = 0; x < width; ++x) {
      offsets[size_t(x)] = size_t(columns_[size_t(slot.x0 + x)] - key.left) * 3;
    }
    for (int32_t y = 0; y < height; ++y) {
      sources[size_t(y)] =
          placeholder.data() + size_t(rows_[size_t(slot.y0 + y)] - key.top) * size_t(boxWidth) * 3;
    }
  }

  // A photo row is read once per output row, far from the last one read: its
  // cache lines are asked for a row ahead, so their misses overlap the
  // gathering of the row before.
  const size_t spanBegin = offsets.front(), spanEnd = offsets.back() + 3;
  auto prefetchRow = [&](const uint8_t* row) {
#if defined(__GNUC__) || defined(__clang__)
    for (size_t at = spanBegin; at < spanEnd; at += 64) __builtin_prefetch(row + at);
    __builtin_prefetch(row + spanEnd - 1);
#else
    (void)row;
#endif
  };
  prefetchRow(sources[0]);
  const uint8_t* previous = nullptr;
  for (int32_t y = 0; y < height; ++y) {
    uint8_t* dst = slot.picture.data() + size_t(y) * rowBytes;
    const uint8_t* src = sources[size_t(y)];
    if (src == previous) {
      std::memcpy(dst, dst - rowBytes, rowBytes);
      continue;
    }
    previous = src;
    for (int32_t next = y + 1; next < height; ++next) {
      if (sources[size_t(next)] != src) {
        prefetchRow(sources[size_t(next)]);
        break;
      }
    }
    for (size_t x = 0; x < size_t(width); ++x) {
      const uint8_t* s = src + offsets[x];
      dst[3 * x] = s[0];
      dst[3 * x + 1] = s[1];
      dst[3 * x + 2] = s[2];
    }
  }
  slot.pictureOf = key;
  slot.pictureValid = true;
}

void DraftComposer::ApplySlot(const Slot& slot, const RasterView& out) const {
  const size_t pictureStride = size_t(slot.x1 - slot.x0) * 3;
  const uint8_t* picture = slot.picture.data();
  for (const Run& run : slot.runs) {
    std::memcpy(out.Row(run.y) + size_t(run.x0) * 3,
                picture + size_t(run.y - slot.y0) * pictureStride + size_t(run.x0 - slot.x0) * 3,
                size_t(run.x1 - run.x0) * 3);
  }
  for (const Blend& b : slot.blends) {
    const uint8_t* s = picture + size_t(b.y - slot.y0) * pictureStride + size_t(b.x - slot.x0) * 3;
    uint8_t* w = out.Row(b.y) + size_t(b.x) * 3;
    for (int c = 0; c < 3; ++c) {
      const uint8_t masked = b.alpha == 255 ? s[c] : TowardWhite(s[c], b.alpha);
      w[c] = b.overlayAlpha == 0 ? masked : OverOverlay(b.overlay[c], b.overlayAlpha, masked);
    }
  }
}

void DraftComposer::ComposeAll(const Card& card, const CardKey& key, const RasterView& out) {
  Prepare(card, key);
  const size_t rowBytes = size_t(key.width) * 3;
  for (int32_t y = 0; y < key.height; ++y) {
    std::memcpy(out.Row(y), &fixed_[size_t(y) * rowBytes], rowBytes);
  }
  if (key.Blank()) return;
  for (size_t i = 0; i < key.slots.size(); ++i) {
    if (!key.slots[i].drawn) continue;
    DrawPicture(card, key.slots[i], slots_[i]);
    ApplySlot(slots_[i], out);
  }
}

void DraftComposer::ComposeSlot(const Card& card, const CardKey& key, size_t index,
                                const RasterView& out) {
  Prepare(card, key);
  if (key.Blank() || index >= key.slots.size() || !key.slots[index].drawn) return;
  DrawPicture(card, key.slots[index], slots_[index]);
  ApplySlot(slots_[index], out);
}

void DraftComposer::CopySlot(size_t index, const RasterView& from, const RasterView& out) const {
  if (index >= slots_.size()) return;
  const Slot& slot = slots_[index];
  for (const Run& run : slot.runs) {
    std::memcpy(out.Row(run.y) + size_t(run.x0) * 3, from.Row(run.y) + size_t(run.x0) * 3,
                size_t(run.x1 - run.x0) * 3);
  }
  for (const Blend& b : slot.blends) {
    std::memcpy(out.Row(b.y) + size_t(b.x) * 3, from.Row(b.y) + size_t(b.x) * 3, 3);
  }
}

}  // namespace engine
