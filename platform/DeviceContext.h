#pragma once

#include <cstdint>
#include <memory>

#include "platform/Messages.h"
#include "platform/Types.h"

namespace platform {

enum class Font {
  System,          // what a fresh context holds
  DefaultGui,      // the stock GUI font
  ThemeStatus,     // the theme's status font (TMT_STATUSFONT)
  ThemeIconTitle,  // the theme's icon title font (TMT_ICONTITLEFONT)
};

// Something to draw on: a window's paint context, an item's context during
// custom draw, or a memory context made by CreateCompatibleDC.
class DeviceContext {
 public:
  virtual ~DeviceContext() = default;

  virtual Colour SetBkColor(Colour colour) = 0;  // returns the previous one
  virtual Font SelectFont(Font font) = 0;        // returns the previous one

  // Opaque fill in `colour`; the background colour is restored afterwards.
  virtual void FillSolidRect(const Rect& rect, Colour colour) = 0;

  // Copies 24-bit top-down rows (bytes B, G, R; rows `stride` bytes apart, a
  // multiple of 4) to (x, y), width x height pixels.
  virtual void SetDIBitsToDevice(int32_t x, int32_t y, int32_t width, int32_t height,
                                 const uint8_t* bgrRows, int32_t stride) = 0;

  // One line of text (UTF-8) in `rect` with DT_* flags, in the selected font,
  // the default text colour and an opaque background of the current
  // background colour. Returns the text height.
  virtual int32_t DrawTextEx(const char* text, const Rect& rect, uint32_t dtFlags) = 0;

  // Text with a glow, composited onto what the context holds (for glass).
  virtual void DrawThemeTextEx(ThemeHandle theme, int part, int state, const char* text,
                               const Rect& rect, uint32_t dtFlags, const DTTOPTS& options) = 0;

  // SRCCOPY of width x height pixels from `source` (sx, sy) to (x, y).
  virtual void BitBlt(int32_t x, int32_t y, int32_t width, int32_t height,
                      DeviceContext& source, int32_t sx, int32_t sy) = 0;

  // A memory context holding a zeroed (transparent black) 32-bit top-down
  // section of width x height, compatible with this one.
  virtual std::unique_ptr<DeviceContext> CreateCompatibleDC(int32_t width, int32_t height) = 0;
};

}  // namespace platform
