#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/DeviceContext.h"
#include "platform/Types.h"

namespace platform::scripted {

// What never got painted: a colour no window of the program uses.
constexpr Colour kUnpainted = RGB(255, 0, 255);

// One line of text a context was asked to draw. Rectangles are in the
// coordinates of the surface that holds the record (a window's client area or
// a memory section); BitBlt carries records along with the pixels.
struct TextRecord {
  std::string text;
  Rect rect;
  uint32_t dtFlags = 0;
  Font font = Font::System;
  Colour bkColour = 0;
  bool themed = false;  // DrawThemeTextEx rather than DrawTextEx
  ThemeHandle theme = nullptr;
  int part = 0;
  int state = 0;
  uint32_t dttFlags = 0;
  int32_t glowSize = 0;
};

struct FillRecord {
  Rect rect;  // as asked, before clipping
  Colour colour = 0;
};

struct DibRecord {
  int32_t x = 0;
  int32_t y = 0;
  int32_t width = 0;
  int32_t height = 0;
  int32_t stride = 0;
};

// Pixels plus the record of what was drawn on them.
struct Surface {
  Surface(int32_t w, int32_t h, Colour fill);
  void Resize(int32_t w, int32_t h, Colour fill);
  Colour Pixel(int32_t x, int32_t y) const;  // kUnpainted outside
  bool Contains(int32_t x, int32_t y) const { return x >= 0 && y >= 0 && x < width && y < height; }
  void ClearRecords();

  int32_t width = 0;
  int32_t height = 0;
  std::vector<Colour> pixels;  // 0x00BBGGRR, rows top-down
  std::vector<TextRecord> texts;
  std::vector<FillRecord> fills;
  std::vector<DibRecord> dibs;
};

}  // namespace platform::scripted
