#include "document/DesignColours.h"

#include <algorithm>
#include <array>
#include <cstdlib>

namespace document {

namespace {

struct Bin {
  uint64_t count = 0;
  uint64_t r = 0, g = 0, b = 0;
};

uint32_t Opaque(uint32_t r, uint32_t g, uint32_t b) { return 0xff000000u | r << 16 | g << 8 | b; }

// Colours a reader would not tell apart as a choice.
bool Close(uint32_t a, uint32_t b) {
  const int dr = int(a >> 16 & 0xff) - int(b >> 16 & 0xff);
  const int dg = int(a >> 8 & 0xff) - int(b >> 8 & 0xff);
  const int db = int(a & 0xff) - int(b & 0xff);
  return std::abs(dr) + std::abs(dg) + std::abs(db) < 72;
}

}  // namespace

std::vector<uint32_t> DesignColours(const engine::CardTemplate& t, size_t most) {
  std::vector<uint32_t> colours;
  if (t.Installed()) {
    // Sixteen levels a channel; every fourth pixel of every fourth row is
    // plenty to find what a decoration is painted in.
    std::vector<Bin> bins(4096);
    const uint8_t* pixels = t.overlay.get();
    for (uint32_t y = 0; y < t.height; y += 4)
      for (uint32_t x = 0; x < t.width; x += 4) {
        const uint8_t* p = pixels + (size_t(y) * t.width + x) * 4;
        if (p[3] < 224) continue;  // see-through: where the photos show
        Bin& bin = bins[size_t(p[0] >> 4) << 8 | size_t(p[1] >> 4) << 4 | size_t(p[2] >> 4)];
        ++bin.count, bin.r += p[0], bin.g += p[1], bin.b += p[2];
      }
    std::vector<size_t> order(bins.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    // Ties go to the lower bin, so the palette is the same on every run.
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return bins[a].count > bins[b].count; });
    for (size_t i : order) {
      const Bin& bin = bins[i];
      if (bin.count == 0 || colours.size() >= most) break;
      const uint32_t c = Opaque(uint32_t(bin.r / bin.count), uint32_t(bin.g / bin.count),
                                uint32_t(bin.b / bin.count));
      if (std::none_of(colours.begin(), colours.end(), [&](uint32_t o) { return Close(o, c); }))
        colours.push_back(c);
    }
  }
  for (const uint32_t plain : {0xff000000u, 0xffffffffu})
    if (std::none_of(colours.begin(), colours.end(), [&](uint32_t o) { return Close(o, plain); }))
      colours.push_back(plain);
  return colours;
}

}  // namespace document
