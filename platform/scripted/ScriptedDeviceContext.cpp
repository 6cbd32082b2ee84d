#include "platform/scripted/ScriptedDeviceContext.h"

#include <algorithm>

namespace platform::scripted {

ScriptedDeviceContext::ScriptedDeviceContext(Surface* surface, Point origin)
    : surface_(surface), origin_(origin) {}

ScriptedDeviceContext::ScriptedDeviceContext(int32_t width, int32_t height)
    : owned_(std::make_unique<Surface>(width, height, Colour(0))), surface_(owned_.get()) {}

Colour ScriptedDeviceContext::SetBkColor(Colour colour) {
  const Colour previous = bkColour_;
  bkColour_ = colour;
  return previous;
}

Font ScriptedDeviceContext::SelectFont(Font font) {
  const Font previous = font_;
  font_ = font;
  return previous;
}

Rect ScriptedDeviceContext::ToSurface(const Rect& r) const {
  return Rect{r.left + origin_.x, r.top + origin_.y, r.right + origin_.x, r.bottom + origin_.y};
}

void ScriptedDeviceContext::FillSolidRect(const Rect& rect, Colour colour) {
  const Rect r = ToSurface(rect);
  surface_->fills.push_back(FillRecord{r, colour});
  const int32_t left = std::max(r.left, 0), right = std::min(r.right, surface_->width);
  const int32_t top = std::max(r.top, 0), bottom = std::min(r.bottom, surface_->height);
  for (int32_t y = top; y < bottom; ++y) {
    Colour* row = surface_->pixels.data() + size_t(y) * size_t(surface_->width);
    for (int32_t x = left; x < right; ++x) row[size_t(x)] = colour;
  }
}

void ScriptedDeviceContext::SetDIBitsToDevice(int32_t x, int32_t y, int32_t width,
                                              int32_t height, const uint8_t* bgrRows,
                                              int32_t stride) {
  const int32_t dx = x + origin_.x, dy = y + origin_.y;
  surface_->dibs.push_back(DibRecord{dx, dy, width, height, stride});
  for (int32_t row = 0; row < height; ++row) {
    const int32_t ty = dy + row;
    if (ty < 0 || ty >= surface_->height) continue;
    const uint8_t* src = bgrRows + size_t(row) * size_t(stride);
    Colour* dst = surface_->pixels.data() + size_t(ty) * size_t(surface_->width);
    for (int32_t col = 0; col < width; ++col) {
      const int32_t tx = dx + col;
      if (tx < 0 || tx >= surface_->width) continue;
      const uint8_t* p = src + size_t(col) * 3;
      dst[size_t(tx)] = RGB(p[2], p[1], p[0]);
    }
  }
}

int32_t ScriptedDeviceContext::DrawTextEx(const char* text, const Rect& rect, uint32_t dtFlags) {
  TextRecord record;
  record.text = text ? text : "";
  record.rect = ToSurface(rect);
  record.dtFlags = dtFlags;
  record.font = font_;
  record.bkColour = bkColour_;
  surface_->texts.push_back(record);
  return kLineHeight;
}

void ScriptedDeviceContext::DrawThemeTextEx(ThemeHandle theme, int part, int state,
                                            const char* text, const Rect& rect,
                                            uint32_t dtFlags, const DTTOPTS& options) {
  TextRecord record;
  record.text = text ? text : "";
  record.rect = ToSurface(rect);
  record.dtFlags = dtFlags;
  record.font = font_;
  record.bkColour = bkColour_;
  record.themed = true;
  record.theme = theme;
  record.part = part;
  record.state = state;
  record.dttFlags = options.dwFlags;
  record.glowSize = (options.dwFlags & DTT_GLOWSIZE) ? options.iGlowSize : 0;
  surface_->texts.push_back(record);
}

void ScriptedDeviceContext::BitBlt(int32_t x, int32_t y, int32_t width, int32_t height,
                                   DeviceContext& source, int32_t sx, int32_t sy) {
  // Every context of this backend is a ScriptedDeviceContext.
  auto& src = static_cast<ScriptedDeviceContext&>(source);
  const Surface& from = *src.surface_;
  const int32_t fx = sx + src.origin_.x, fy = sy + src.origin_.y;
  const int32_t dx = x + origin_.x, dy = y + origin_.y;
  for (int32_t row = 0; row < height; ++row) {
    for (int32_t col = 0; col < width; ++col) {
      if (!from.Contains(fx + col, fy + row) || !surface_->Contains(dx + col, dy + row)) continue;
      surface_->pixels[size_t(dy + row) * size_t(surface_->width) + size_t(dx + col)] =
          from.pixels[size_t(fy + row) * size_t(from.width) + size_t(fx + col)];
    }
  }
  for (const TextRecord& t : from.texts) {
    if (t.rect.left < fx || t.rect.top < fy || t.rect.left >= fx + width ||
        t.rect.top >= fy + height)
      continue;
    TextRecord moved = t;
    moved.rect = Rect{t.rect.left - fx + dx, t.rect.top - fy + dy, t.rect.right - fx + dx,
                      t.rect.bottom - fy + dy};
    surface_->texts.push_back(moved);
  }
}

std::unique_ptr<DeviceContext> ScriptedDeviceContext::CreateCompatibleDC(int32_t width,
                                                                         int32_t height) {
  return std::make_unique<ScriptedDeviceContext>(width, height);
}

}  // namespace platform::scripted
