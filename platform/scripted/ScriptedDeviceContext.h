#pragma once

#include <memory>

#include "platform/DeviceContext.h"
#include "platform/scripted/ScriptedSurface.h"

namespace platform::scripted {

// A context drawing onto a Surface it may or may not own, with an origin
// (a child control draws in its own coordinates onto the parent's pixels).
// Drawing is clipped to the surface.
class ScriptedDeviceContext : public DeviceContext {
 public:
  ScriptedDeviceContext(Surface* surface, Point origin);
  // A memory context owning a zeroed section.
  ScriptedDeviceContext(int32_t width, int32_t height);

  Colour SetBkColor(Colour colour) override;
  Font SelectFont(Font font) override;
  void FillSolidRect(const Rect& rect, Colour colour) override;
  void SetDIBitsToDevice(int32_t x, int32_t y, int32_t width, int32_t height,
                         const uint8_t* bgrRows, int32_t stride) override;
  int32_t DrawTextEx(const char* text, const Rect& rect, uint32_t dtFlags) override;
  void DrawThemeTextEx(ThemeHandle theme, int part, int state, const char* text,
                       const Rect& rect, uint32_t dtFlags, const DTTOPTS& options) override;
  void BitBlt(int32_t x, int32_t y, int32_t width, int32_t height, DeviceContext& source,
              int32_t sx, int32_t sy) override;
  std::unique_ptr<DeviceContext> CreateCompatibleDC(int32_t width, int32_t height) override;

  Colour BkColor() const { return bkColour_; }
  Font CurrentFont() const { return font_; }
  Surface& Target() { return *surface_; }
  Point Origin() const { return origin_; }

  // Height DrawTextEx reports for one line.
  static constexpr int32_t kLineHeight = 13;

 private:
  Rect ToSurface(const Rect& r) const;

  std::unique_ptr<Surface> owned_;
  Surface* surface_;
  Point origin_;
  Colour bkColour_ = RGB(255, 255, 255);
  Font font_ = Font::System;
};

}  // namespace platform::scripted
