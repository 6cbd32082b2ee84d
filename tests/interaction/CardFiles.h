#pragma once

// Photo and layout files written on the spot, and an independent model of
// the slot under a point, shared by the scripted and the Qt window tests.

#include <cstdint>
#include <string>
#include <vector>

#include "engine/card/CardTemplate.h"
#include "engine/raster/PixelFormat.h"
#include "imagefiles/TestImages.h"
#include "imagefiles/LayoutFileWriter.h"

namespace cardfiles {

struct Rgb {
  uint8_t r = 0, g = 0, b = 0;
};

// An RGBA picture being drawn by a test.
struct Rgba {
  Rgba(uint32_t w, uint32_t h) : width(w), height(h), pixels(size_t(w) * h * 4, 0) {}
  void Set(uint32_t x, uint32_t y, uint8_t r, uint8_t g, uint8_t b, uint8_t a = 255) {
    uint8_t* p = &pixels[(size_t(y) * width + x) * 4];
    p[0] = r;
    p[1] = g;
    p[2] = b;
    p[3] = a;
  }
  void Fill(uint32_t l, uint32_t t, uint32_t r, uint32_t b, uint8_t red, uint8_t green,
            uint8_t blue, uint8_t alpha = 255) {
    for (uint32_t y = t; y < b; ++y)
      for (uint32_t x = l; x < r; ++x) Set(x, y, red, green, blue, alpha);
  }
  uint32_t width, height;
  std::vector<uint8_t> pixels;
};

// Files in a temporary folder that goes away with the object.
class Files {
 public:
  // A solid-colour photo; its left half may be another colour so that
  // panning shows.
  std::string Photo(const std::string& name, uint32_t w, uint32_t h, Rgb colour,
                    bool jpeg = false, Rgb leftHalf = {0, 0, 0}, bool twoColours = false) const {
    std::vector<uint8_t> rgb(size_t(w) * h * 3);
    for (uint32_t y = 0; y < h; ++y)
      for (uint32_t x = 0; x < w; ++x) {
        const Rgb c = twoColours && x < w / 2 ? leftHalf : colour;
        uint8_t* p = &rgb[(size_t(y) * w + x) * 3];
        p[0] = c.r;
        p[1] = c.g;
        p[2] = c.b;
      }
    const std::vector<uint8_t> bytes = jpeg ? testimages::EncodeJpeg(rgb.data(), w, h, 3)
                                            : testimages::EncodeRgbPng(rgb.data(), w, h, false);
    return Write(name, bytes);
  }

  std::string Garbage(const std::string& name) const {
    return Write(name, std::vector<uint8_t>{'n', 'o', 't', ' ', 'a', ' ', 'p', 'h', 'o', 't', 'o'});
  }

  // A layout file with the two pictures as its layers.
  std::string Layout(const std::string& name, const Rgba& regionMap, const Rgba& overlay) const {
    const std::vector<uint8_t> map =
        testimages::EncodeRgbPng(regionMap.pixels.data(), regionMap.width, regionMap.height, true);
    const std::vector<uint8_t> over =
        testimages::EncodeRgbPng(overlay.pixels.data(), overlay.width, overlay.height, true);
    std::vector<uint8_t> file;
    if (!imagefiles::PackLayoutFile(map.data(), map.size(), over.data(), over.size(), &file))
      return {};
    return Write(name, file);
  }

  // A w x h layout with one red region {l, t, r, b} and a clear overlay
  // with an opaque band of `band` colour along its top row.
  std::string SimpleLayout(const std::string& name, uint32_t w, uint32_t h, Rgb band = {7, 7, 7})
      const {
    Rgba map(w, h), over(w, h);
    map.Fill(w / 4, h / 4, w * 3 / 4, h * 3 / 4, 255, 0, 0);
    over.Fill(0, 0, w, 1, band.r, band.g, band.b);
    return Layout(name, map, over);
  }

  std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) const {
    const std::string path = folder.File(name);
    testimages::WriteBytes(path, bytes);
    return path;
  }

  const std::string& Folder() const { return folder.path(); }

 private:
  testimages::TempFolder folder;
};

// The slot a correct hit test finds under client point (x, y) of a card
// shown in `r` (any rectangle type with left, top, right, bottom).
template <class R>
int32_t ExpectedSlot(const engine::Card& card, const R& r, int32_t x, int32_t y) {
  const engine::CardTemplate& t = card.cardTemplate;
  if (t.width == 0 || t.height == 0 || !t.regionMap) return -1;
  if (x < r.left || x >= r.right || y < r.top || y >= r.bottom) return -1;
  const uint32_t tx = uint32_t(x - r.left) * t.width / uint32_t(r.right - r.left);
  const uint32_t ty = uint32_t(y - r.top) * t.height / uint32_t(r.bottom - r.top);
  const uint32_t word = engine::PixelWord(t.regionMap.get() + (size_t(ty) * t.width + tx) * 4);
  for (size_t i = 0; i < card.slots.size(); ++i) {
    const engine::PhotoSlot& s = card.slots[i];
    if (int32_t(tx) >= s.left && int32_t(tx) < s.right && int32_t(ty) >= s.top &&
        int32_t(ty) < s.bottom && (word & engine::KeyColourMask) == s.keyColour)
      return int32_t(i);
  }
  return -1;
}

struct ClientPoint {
  int32_t x = -1;
  int32_t y = -1;
};

// A client point over slot `slot`, as near to its box's centre as the region
// allows; (-1, -1) when the slot shows nowhere.
template <class R>
ClientPoint PointInSlot(const engine::Card& card, const R& r, size_t slot) {
  ClientPoint found;
  const engine::PhotoSlot& s = card.slots[slot];
  const int64_t tw = card.cardTemplate.width, th = card.cardTemplate.height;
  const int64_t w = r.right - r.left, h = r.bottom - r.top;
  const int32_t l = r.left + int32_t(s.left * w / tw), t = r.top + int32_t(s.top * h / th);
  const int32_t rr = r.left + int32_t(s.right * w / tw) + 1;
  const int32_t b = r.top + int32_t(s.bottom * h / th) + 1;
  const int32_t cx = (l + rr) / 2, cy = (t + b) / 2;
  int64_t best = -1;
  for (int32_t y = t; y < b; ++y)
    for (int32_t x = l; x < rr; ++x) {
      const int64_t d = int64_t(x - cx) * (x - cx) + int64_t(y - cy) * (y - cy);
      if (best >= 0 && d >= best) continue;
      if (ExpectedSlot(card, r, x, y) != int32_t(slot)) continue;
      best = d;
      found = ClientPoint{x, y};
    }
  return found;
}

}  // namespace cardfiles
