#pragma once

#include <cstdint>

namespace platform {

// The layer speaks the vocabulary of a classic message-driven window system,
// so the window code reads like the window it is; each backend maps these
// onto its own toolkit.
using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;
using HRESULT = int32_t;
using HWND = const void*;  // identity of a window or child control

constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_NOINTERFACE = int32_t(0x80004002u);
constexpr HRESULT E_FAIL = int32_t(0x80004005u);

struct Point {
  int32_t x = 0;
  int32_t y = 0;
};

struct Size {
  int32_t cx = 0;
  int32_t cy = 0;
};

// Right and bottom are exclusive.
struct Rect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;

  // Zero for an inverted rectangle (a layout too small for the card puts the
  // card's corners past each other), and never a signed overflow.
  int32_t Width() const { return Span(left, right); }
  int32_t Height() const { return Span(top, bottom); }
  bool Empty() const { return right <= left || bottom <= top; }
  bool operator==(const Rect& o) const {
    return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
  }
  bool operator!=(const Rect& o) const { return !(*this == o); }

  static int32_t Span(int32_t from, int32_t to) {
    const int64_t d = int64_t(to) - from;
    return d <= 0 ? 0 : d > INT32_MAX ? INT32_MAX : int32_t(d);
  }
};

// Frame extension margins, in the order the composition call takes them.
struct Margins {
  int32_t cxLeftWidth = 0;
  int32_t cxRightWidth = 0;
  int32_t cyTopHeight = 0;
  int32_t cyBottomHeight = 0;
};

// 0x00BBGGRR.
using Colour = uint32_t;
constexpr Colour RGB(uint8_t r, uint8_t g, uint8_t b) {
  return Colour(r) | Colour(g) << 8 | Colour(b) << 16;
}
constexpr uint8_t GetRValue(Colour c) { return uint8_t(c); }
constexpr uint8_t GetGValue(Colour c) { return uint8_t(c >> 8); }
constexpr uint8_t GetBValue(Colour c) { return uint8_t(c >> 16); }

constexpr uint16_t LOWORD(uintptr_t v) { return uint16_t(v & 0xFFFF); }
constexpr uint16_t HIWORD(uintptr_t v) { return uint16_t((v >> 16) & 0xFFFF); }
// Pointer positions travel as two signed 16-bit words.
constexpr int32_t GET_X_LPARAM(LPARAM l) { return int16_t(uint16_t(uintptr_t(l) & 0xFFFF)); }
constexpr int32_t GET_Y_LPARAM(LPARAM l) { return int16_t(uint16_t((uintptr_t(l) >> 16) & 0xFFFF)); }
constexpr LPARAM MAKELPARAM(int32_t lo, int32_t hi) {
  return LPARAM(uint32_t(uint16_t(lo)) | uint32_t(uint16_t(hi)) << 16);
}
constexpr WPARAM MAKEWPARAM(int32_t lo, int32_t hi) {
  return WPARAM(uint32_t(uint16_t(lo)) | uint32_t(uint16_t(hi)) << 16);
}

// An RGBA picture handed to the layer (icons); rows packed, straight alpha.
struct IconImage {
  int32_t width = 0;
  int32_t height = 0;
  const uint8_t* rgba = nullptr;
};

using Cursor = const void*;      // a loaded cursor; null is "no cursor"
using ThemeHandle = const void*; // theme data; null when the theme library is absent

}  // namespace platform
