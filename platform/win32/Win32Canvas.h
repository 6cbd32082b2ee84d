#pragma once

#include <cstdint>
#include <vector>

#include "platform/Canvas.h"

struct HDC__;

namespace platform::win32 {

// A paint's device context as the layer's canvas. Coordinates are client
// pixels; the context's origin is set up by the caller.
class Win32Canvas : public Canvas {
 public:
  // `theme` (may be null) supplies the status font and the glow on glass;
  // `scratch` holds the device-order copy of pictures between paints.
  Win32Canvas(HDC__* dc, void* theme, std::vector<uint8_t>& scratch)
      : dc_(dc), theme_(theme), scratch_(scratch) {}

  void FillRect(const Rect& rect, Colour colour) override;
  void DrawRgb(const Rect& target, const uint8_t* rgb, int32_t width, int32_t height,
               int32_t stride) override;
  void DrawTextLine(const std::string& text, const Rect& rect, const TextStyle& style) override;
  void DrawFocusOutline(const Rect& target, Size picture,
                        const std::vector<Rect>& pieces) override;

 private:
  HDC__* dc_;
  void* theme_;
  std::vector<uint8_t>& scratch_;
};

// Rows of R, G, B turned into the device's B, G, R rows of the same stride
// (each a multiple of 4 bytes, as device-independent bitmaps need).
void SwapToDeviceOrder(const uint8_t* rgb, int32_t width, int32_t height, int32_t stride,
                       int32_t deviceStride, uint8_t* bgr);

}  // namespace platform::win32
