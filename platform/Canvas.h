#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Geometry.h"

namespace platform {

enum class TextFont {
  Gui,     // the desktop's ordinary user-interface font
  StatusLine,  // the font of status lines (the theme's, on glass)
};

struct TextStyle {
  TextFont font = TextFont::Gui;
  bool glow = false;      // composited with a glow, readable on glass
  bool centred = false;   // otherwise left-aligned
  bool opaque = false;    // on a filled `background` rather than what is there
  Colour background;
};

// What a paint draws on. Rectangles are client pixels.
class Canvas {
 public:
  virtual ~Canvas() = default;

  virtual void FillRect(const Rect& rect, Colour colour) = 0;

  // Rows of bytes R, G, B, `stride` bytes apart, width x height pixels, shown
  // in `target`. The picture may have more pixels than `target` (the
  // device's pixels on a high-density screen); it is never scaled up.
  virtual void DrawRgb(const Rect& target, const uint8_t* rgb, int32_t width, int32_t height,
                       int32_t stride) = 0;

  // One line of UTF-8 text resting on the bottom of `rect`; text too long
  // for it ends in "…".
  virtual void DrawTextLine(const std::string& text, const Rect& rect, const TextStyle& style) = 0;

  // Pieces of an outline (a region's edge, for the keyboard's focus or a
  // drop) filled in the desktop's selection colour. Like DrawRgb's picture,
  // the pieces are in the pixels of a `picture`-sized grid shown in
  // `target`: the device's pixels on a high-density screen.
  virtual void DrawFocusOutline(const Rect& target, Size picture,
                                const std::vector<Rect>& pieces) = 0;
};

}  // namespace platform
