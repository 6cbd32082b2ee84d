#include "platform/win32/Composition.h"

#include <windows.h>
#include <uxtheme.h>

namespace platform::win32::composition {

namespace {

// The parts of dwmapi.dll and uxtheme.dll the program uses, bound by name.
using IsCompositionEnabledFn = HRESULT(WINAPI*)(BOOL*);
using ExtendFrameFn = HRESULT(WINAPI*)(HWND, const MARGINS*);
using OpenThemeFn = HANDLE(WINAPI*)(HWND, LPCWSTR);
using CloseThemeFn = HRESULT(WINAPI*)(HANDLE);
using ThemeSysFontFn = HRESULT(WINAPI*)(HANDLE, int, LOGFONTW*);
using DrawThemeTextExFn = HRESULT(WINAPI*)(HANDLE, HDC, int, int, LPCWSTR, int, DWORD, RECT*,
                                           const DTTOPTS*);

struct Bindings {
  IsCompositionEnabledFn isEnabled = nullptr;
  ExtendFrameFn extendFrame = nullptr;
  OpenThemeFn openTheme = nullptr;
  CloseThemeFn closeTheme = nullptr;
  ThemeSysFontFn themeSysFont = nullptr;
  DrawThemeTextExFn drawThemeTextEx = nullptr;
};

template <typename Fn>
Fn Bind(HMODULE module, const char* name) {
  if (!module) return nullptr;
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

const Bindings& Library() {
  static const Bindings bindings = [] {
    Bindings b;
    // Only from the system folder: a DLL of that name beside a photo must
    // not be loaded.
    const HMODULE dwm = LoadLibraryExW(L"dwmapi.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    b.isEnabled = Bind<IsCompositionEnabledFn>(dwm, "DwmIsCompositionEnabled");
    b.extendFrame = Bind<ExtendFrameFn>(dwm, "DwmExtendFrameIntoClientArea");
    const HMODULE theme = LoadLibraryExW(L"uxtheme.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    b.openTheme = Bind<OpenThemeFn>(theme, "OpenThemeData");
    b.closeTheme = Bind<CloseThemeFn>(theme, "CloseThemeData");
    b.themeSysFont = Bind<ThemeSysFontFn>(theme, "GetThemeSysFont");
    b.drawThemeTextEx = Bind<DrawThemeTextExFn>(theme, "DrawThemeTextEx");
    return b;
  }();
  return bindings;
}

std::optional<bool> forced;

}  // namespace

bool Enabled() {
  if (forced) return *forced;
  BOOL on = FALSE;
  const auto isEnabled = Library().isEnabled;
  return isEnabled && SUCCEEDED(isEnabled(&on)) && on;
}

void ExtendFrame(HWND window, int left, int right, int top, int bottom) {
  const MARGINS margins{left, right, top, bottom};
  if (const auto extend = Library().extendFrame) extend(window, &margins);
}

void* OpenTheme(HWND window, const wchar_t* classList) {
  const auto open = Library().openTheme;
  return open ? open(window, classList) : nullptr;
}

void CloseTheme(void* theme) {
  if (theme && Library().closeTheme) Library().closeTheme(theme);
}

bool ThemeFont(void* theme, int fontId, LOGFONTW* font) {
  const auto get = Library().themeSysFont;
  return theme && get && SUCCEEDED(get(theme, fontId, font));
}

bool DrawGlowText(void* theme, HDC dc, const std::wstring& text, RECT* rect, unsigned format,
                  int glowSize) {
  const auto draw = Library().drawThemeTextEx;
  if (!theme || !draw) return false;
  DTTOPTS options{};
  options.dwSize = sizeof options;
  options.dwFlags = DTT_COMPOSITED | DTT_GLOWSIZE;
  options.iGlowSize = glowSize;
  return SUCCEEDED(draw(theme, dc, 0, 0, text.c_str(), -1, format, rect, &options));
}

void ForceForTesting(std::optional<bool> enabled) { forced = enabled; }

}  // namespace platform::win32::composition
