#include "platform/scripted/ScriptedSurface.h"

namespace platform::scripted {

Surface::Surface(int32_t w, int32_t h, Colour fill) { Resize(w, h, fill); }

void Surface::Resize(int32_t w, int32_t h, Colour fill) {
  width = w > 0 ? w : 0;
  height = h > 0 ? h : 0;
  pixels.assign(size_t(width) * size_t(height), fill);
}

Colour Surface::Pixel(int32_t x, int32_t y) const {
  if (!Contains(x, y)) return kUnpainted;
  return pixels[size_t(y) * size_t(width) + size_t(x)];
}

void Surface::ClearRecords() {
  texts.clear();
  fills.clear();
  dibs.clear();
}

}  // namespace platform::scripted
