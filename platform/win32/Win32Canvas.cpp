#include "platform/win32/Win32Canvas.h"

#include <windows.h>

#include "platform/win32/Composition.h"
#include "platform/win32/WideText.h"

namespace platform::win32 {

namespace {

constexpr int kStatusFont = 804;  // TMT_STATUSFONT
constexpr int kGlowSize = 10;

COLORREF ToColorRef(Colour c) { return RGB(c.r, c.g, c.b); }
RECT ToRECT(const Rect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

// A font selected for one drawing, the previous one back at the end.
class SelectedFont {
 public:
  SelectedFont(HDC dc, HFONT font, bool owned)
      : dc_(dc), font_(font), owned_(owned), previous_(SelectObject(dc, font)) {}
  ~SelectedFont() {
    SelectObject(dc_, previous_);
    if (owned_) DeleteObject(font_);
  }
  SelectedFont(const SelectedFont&) = delete;
  SelectedFont& operator=(const SelectedFont&) = delete;

 private:
  HDC dc_;
  HFONT font_;
  bool owned_;
  HGDIOBJ previous_;
};

}  // namespace

void SwapToDeviceOrder(const uint8_t* rgb, int32_t width, int32_t height, int32_t stride,
                       int32_t deviceStride, uint8_t* bgr) {
  for (int32_t y = 0; y < height; ++y) {
    const uint8_t* in = rgb + size_t(y) * size_t(stride);
    uint8_t* out = bgr + size_t(y) * size_t(deviceStride);
    for (int32_t x = 0; x < width; ++x, in += 3, out += 3) {
      out[0] = in[2];
      out[1] = in[1];
      out[2] = in[0];
    }
  }
}

void Win32Canvas::FillRect(const Rect& rect, Colour colour) {
  if (rect.Empty()) return;
  const RECT r = ToRECT(rect);
  const COLORREF previous = SetBkColor(dc_, ToColorRef(colour));
  ExtTextOutW(dc_, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
  SetBkColor(dc_, previous);
}

void Win32Canvas::DrawRgb(const Rect& target, const uint8_t* rgb, int32_t width, int32_t height,
                          int32_t stride) {
  if (!rgb || width <= 0 || height <= 0 || target.Empty() || stride < width * 3) return;
  const int32_t deviceStride = (width * 3 + 3) & ~3;
  const size_t bytes = size_t(deviceStride) * size_t(height);
  if (scratch_.size() < bytes) scratch_.resize(bytes);
  SwapToDeviceOrder(rgb, width, height, stride, deviceStride, scratch_.data());

  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  if (width == target.Width() && height == target.Height()) {
    SetDIBitsToDevice(dc_, target.left, target.top, DWORD(width), DWORD(height), 0, 0, 0,
                      UINT(height), scratch_.data(), &info, DIB_RGB_COLORS);
  } else {
    // More pixels than the target: shown smaller, never larger.
    SetStretchBltMode(dc_, HALFTONE);
    StretchDIBits(dc_, target.left, target.top, target.Width(), target.Height(), 0, 0, width,
                  height, scratch_.data(), &info, DIB_RGB_COLORS, SRCCOPY);
  }
}

void Win32Canvas::DrawTextLine(const std::string& text, const Rect& rect,
                               const TextStyle& style) {
  if (rect.Empty()) return;
  std::wstring line = Widen(text);
  RECT r = ToRECT(rect);
  const UINT format =
      DT_NOPREFIX | DT_SINGLELINE | DT_BOTTOM | DT_END_ELLIPSIS | (style.centred ? DT_CENTER : DT_LEFT);

  HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  bool owned = false;
  LOGFONTW themed{};
  if (style.font == TextFont::StatusLine && composition::ThemeFont(theme_, kStatusFont, &themed)) {
    if (HFONT made = CreateFontIndirectW(&themed)) {
      font = made;
      owned = true;
    }
  }
  SelectedFont selected(dc_, font, owned);
  if (style.glow && composition::DrawGlowText(theme_, dc_, line, &r, format, kGlowSize)) return;

  const int previousMode = SetBkMode(dc_, style.opaque ? OPAQUE : TRANSPARENT);
  const COLORREF previousBack = SetBkColor(dc_, ToColorRef(style.background));
  const COLORREF previousText = SetTextColor(dc_, GetSysColor(COLOR_BTNTEXT));
  DrawTextExW(dc_, line.data(), -1, &r, format, nullptr);
  SetTextColor(dc_, previousText);
  SetBkColor(dc_, previousBack);
  SetBkMode(dc_, previousMode);
}

void Win32Canvas::DrawFocusOutline(const Rect& target, Size picture,
                                   const std::vector<Rect>& pieces) {
  if (pieces.empty() || target.Empty() || picture.width <= 0 || picture.height <= 0) return;
  // Client pixels are the device's here; a picture of another size is
  // mapped onto the target as DrawRgb maps it.
  const bool same = picture.width == target.Width() && picture.height == target.Height();
  const HBRUSH brush = GetSysColorBrush(COLOR_HIGHLIGHT);
  for (const Rect& piece : pieces) {
    RECT r = ToRECT(piece);
    if (!same) {
      r.left = LONG(int64_t(piece.left) * target.Width() / picture.width);
      r.right = LONG(int64_t(piece.right) * target.Width() / picture.width);
      r.top = LONG(int64_t(piece.top) * target.Height() / picture.height);
      r.bottom = LONG(int64_t(piece.bottom) * target.Height() / picture.height);
    }
    OffsetRect(&r, target.left, target.top);
    ::FillRect(dc_, &r, brush);
  }
}

}  // namespace platform::win32
