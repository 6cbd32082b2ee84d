#pragma once

#include <optional>
#include <string>

struct HWND__;
struct HDC__;
struct tagLOGFONTW;
struct tagRECT;

namespace platform::win32 {

// Desktop composition (glass) and visual styles. Their libraries are loaded
// on first use, so the program starts on systems without them; every call
// answers "off" or does nothing where a library or function is missing.
namespace composition {

bool Enabled();
void ExtendFrame(HWND__* window, int left, int right, int top, int bottom);

// Theme data for a class list such as L"globals"; null without themes.
void* OpenTheme(HWND__* window, const wchar_t* classList);
void CloseTheme(void* theme);
// The theme's font with this property id (804 status line, 806 icon titles).
bool ThemeFont(void* theme, int fontId, tagLOGFONTW* font);
// Text with a glow of `glowSize` pixels, composited onto a 32-bit surface.
bool DrawGlowText(void* theme, HDC__* dc, const std::wstring& text, tagRECT* rect,
                  unsigned format, int glowSize);

// Tests switch composition on or off where the system has none; nullopt
// asks the system again.
void ForceForTesting(std::optional<bool> enabled);

}  // namespace composition

}  // namespace platform::win32
