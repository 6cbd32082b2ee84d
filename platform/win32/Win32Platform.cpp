#include "platform/win32/Win32Platform.h"

#include <windows.h>
#include <commctrl.h>
#include <ole2.h>
#include <shellapi.h>
#include <shlobj.h>

#include "platform/win32/MessageLoop.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32Window.h"

namespace platform::win32 {

Win32Platform::Win32Platform() {
  // Drag and drop needs OLE on this thread; neither result stops the
  // program, which then simply takes no drops or shows no toolbar.
  oleReady_ = SUCCEEDED(OleInitialize(nullptr));
  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof controls;
  controls.dwICC = ICC_BAR_CLASSES | ICC_LISTVIEW_CLASSES;  // the toolbar, the design chooser
  InitCommonControlsEx(&controls);
}

Win32Platform::~Win32Platform() {
  if (oleReady_) OleUninitialize();
}

int32_t Win32Platform::ScreenDpi() {
  const HDC screen = GetDC(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 96;
  if (screen) ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

Size Win32Platform::MaximisedClientSize() {
  return Size{GetSystemMetrics(SM_CXFULLSCREEN), GetSystemMetrics(SM_CYFULLSCREEN)};
}

FrameMetrics Win32Platform::Frame() {
  // The frame the system really draws around an overlapped window, so that
  // a window made from a client size gets exactly that client size (the
  // sizing border metrics alone miss the padding newer systems add).
  RECT r{0, 0, 0, 0};
  if (AdjustWindowRectEx(&r, WS_OVERLAPPEDWINDOW, FALSE, 0))
    return FrameMetrics{-r.left, r.bottom, -r.top - r.bottom};
  return FrameMetrics{GetSystemMetrics(SM_CXFRAME), GetSystemMetrics(SM_CYFRAME),
                      GetSystemMetrics(SM_CYCAPTION)};
}

ShowState Win32Platform::StartupShowState() {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  GetStartupInfoW(&startup);
  if (!(startup.dwFlags & STARTF_USESHOWWINDOW)) return ShowState::Normal;
  switch (startup.wShowWindow) {
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
    case SW_SHOWMINNOACTIVE:
    case SW_FORCEMINIMIZE: return ShowState::Minimized;
    case SW_SHOWMAXIMIZED: return ShowState::Maximized;
    default: return ShowState::Normal;
  }
}

std::unique_ptr<Window> Win32Platform::MakeWindow(WindowHandler& handler, const Rect& frame,
                                                  const std::string& title) {
  return Win32Window::Make(handler, frame, title);
}

int Win32Platform::Run() { return ThreadLoop().Run(); }

void Win32Platform::Quit(int exitCode) { PostQuitMessage(exitCode); }

void Win32Platform::OpenAddress(const std::string& address) {
  if (address.empty()) return;
  // The desktop's browser, or the program registered for the file; a
  // failure (no browser) is not the program's to report.
  ShellExecuteW(nullptr, L"open", Widen(address).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

Colour Win32Platform::FaceColour() {
  const COLORREF c = GetSysColor(COLOR_BTNFACE);
  return Colour{GetRValue(c), GetGValue(c), GetBValue(c)};
}

std::string Win32Platform::SettingsFolder() {
  // The user's roaming application data, in a folder of the program's own.
  wchar_t base[MAX_PATH] = L"";
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, base)) ||
      base[0] == L'\0')
    return std::string();
  const std::wstring folder = std::wstring(base) + L"\\Tessary";
  if (!CreateDirectoryW(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
    return std::string();
  return Narrow(folder);
}

std::vector<std::string> Win32Platform::Arguments() {
  std::vector<std::string> arguments;
  int count = 0;
  LPWSTR* words = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!words) return arguments;
  for (int i = 1; i < count; ++i) arguments.push_back(Narrow(words[i]));
  LocalFree(words);
  return arguments;
}

}  // namespace platform::win32
