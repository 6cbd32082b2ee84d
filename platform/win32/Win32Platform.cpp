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

namespace {

constexpr UINT kRunTask = WM_APP + 0x51;
constexpr wchar_t kTaskClass[] = L"TessaryTasks";

LRESULT CALLBACK TaskProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kRunTask) {
    std::unique_ptr<std::function<void()>> task(reinterpret_cast<std::function<void()>*>(lParam));
    if (task && *task) (*task)();
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

HWND MakeTaskWindow() {
  WNDCLASSW type{};
  type.lpfnWndProc = TaskProc;
  type.hInstance = GetModuleHandleW(nullptr);
  type.lpszClassName = kTaskClass;
  RegisterClassW(&type);  // fails harmlessly when a platform before this one registered it
  return CreateWindowExW(0, kTaskClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                         type.hInstance, nullptr);
}

}  // namespace

Win32Platform::Win32Platform() {
  // Drag and drop needs OLE on this thread; neither result stops the
  // program, which then simply takes no drops or shows no toolbar.
  oleReady_ = SUCCEEDED(OleInitialize(nullptr));
  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof controls;
  controls.dwICC = ICC_BAR_CLASSES | ICC_LISTVIEW_CLASSES;  // the toolbar, the design chooser
  InitCommonControlsEx(&controls);
  tasks_ = MakeTaskWindow();
}

Win32Platform::~Win32Platform() {
  if (HWND tasks = static_cast<HWND>(tasks_)) {
    // Tasks never run are still owned by their messages.
    MSG message{};
    while (PeekMessageW(&message, tasks, kRunTask, kRunTask, PM_REMOVE))
      delete reinterpret_cast<std::function<void()>*>(message.lParam);
    DestroyWindow(tasks);
  }
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

bool Win32Platform::OpenAddress(const std::string& address) {
  if (address.empty()) return false;
  // The desktop's browser, or the program registered for the file; above
  // 32 means it started.
  const HINSTANCE result =
      ShellExecuteW(nullptr, L"open", Widen(address).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  return reinterpret_cast<INT_PTR>(result) > 32;
}

void Win32Platform::PostToMainThread(std::function<void()> task) {
  auto* held = new std::function<void()>(std::move(task));
  if (!tasks_ || !PostMessageW(static_cast<HWND>(tasks_), kRunTask, 0,
                               reinterpret_cast<LPARAM>(held)))
    delete held;
}

bool Win32Platform::WaitUntil(const std::function<bool()>& done, int32_t timeoutMs) {
  const ULONGLONG end = GetTickCount64() + ULONGLONG(timeoutMs < 0 ? 0 : timeoutMs);
  for (;;) {
    if (done()) return true;
    if (GetTickCount64() >= end) return false;
    // Posted tasks and paints only: the user's input waits in the queue
    // until the program can take it.
    MSG message{};
    bool any = false;
    while (PeekMessageW(&message, static_cast<HWND>(tasks_), 0, 0, PM_REMOVE) ||
           PeekMessageW(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) {
      DispatchMessageW(&message);
      any = true;
      if (done()) return true;
    }
    if (!any) MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_POSTMESSAGE | QS_PAINT);
  }
}

Colour Win32Platform::FaceColour() {
  const COLORREF c = GetSysColor(COLOR_BTNFACE);
  return Colour{GetRValue(c), GetGValue(c), GetBValue(c)};
}

namespace {

std::wstring& SettingsKey() {
  static std::wstring key = L"Software\\Tessary";
  return key;
}

}  // namespace

void Win32Platform::SetSettingsKeyForTesting(const std::wstring& key) { SettingsKey() = key; }

std::vector<std::string> Win32Platform::ReadSetting(const std::string& key) {
  std::vector<std::string> values;
  const std::wstring name = Widen(key);
  DWORD type = 0;
  DWORD bytes = 0;
  if (RegGetValueW(HKEY_CURRENT_USER, SettingsKey().c_str(), name.c_str(), RRF_RT_REG_MULTI_SZ,
                   &type, nullptr, &bytes) != ERROR_SUCCESS ||
      bytes == 0 || bytes > (1u << 20))
    return values;
  std::wstring data(bytes / sizeof(wchar_t) + 2, L'\0');
  if (RegGetValueW(HKEY_CURRENT_USER, SettingsKey().c_str(), name.c_str(), RRF_RT_REG_MULTI_SZ,
                   &type, data.data(), &bytes) != ERROR_SUCCESS)
    return values;
  // Strings one after the other, each ended by a 0, the list by another.
  for (size_t start = 0; start < data.size() && data[start] != L'\0';) {
    const size_t end = data.find(L'\0', start);
    values.push_back(Narrow(data.substr(start, end - start)));
    start = end + 1;
  }
  return values;
}

void Win32Platform::WriteSetting(const std::string& key, const std::vector<std::string>& values) {
  std::wstring data;
  for (const std::string& value : values) {
    const std::wstring wide = Widen(value);
    if (wide.empty() || wide.find(L'\0') != std::wstring::npos) continue;  // no place in the list
    data += wide;
    data.push_back(L'\0');
  }
  data.push_back(L'\0');
  HKEY handle = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, SettingsKey().c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                      nullptr, &handle, nullptr) != ERROR_SUCCESS)
    return;
  RegSetValueExW(handle, Widen(key).c_str(), 0, REG_MULTI_SZ,
                 reinterpret_cast<const BYTE*>(data.data()), DWORD(data.size() * sizeof(wchar_t)));
  RegCloseKey(handle);
}

std::string Win32Platform::StateFolder() {
  // The variable first, so that a test (or the user) may move it.
  wchar_t buffer[MAX_PATH * 2] = {};
  const DWORD length = GetEnvironmentVariableW(L"LOCALAPPDATA", buffer, DWORD(MAX_PATH * 2));
  if (length > 0 && length < MAX_PATH * 2) return Narrow(buffer) + "\\Tessary";
  wchar_t folder[MAX_PATH] = {};
  if (SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, 0, folder)))
    return Narrow(folder) + "\\Tessary";
  return std::string();
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
