#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace platform::win32 {

// The window system on Win32. Making one prepares the process for OLE drag
// and drop and the common controls (toolbar); it lives as long as the
// program's windows.
class Win32Platform : public Platform {
 public:
  Win32Platform();
  ~Win32Platform() override;
  Win32Platform(const Win32Platform&) = delete;
  Win32Platform& operator=(const Win32Platform&) = delete;

  int32_t ScreenDpi() override;
  Size MaximisedClientSize() override;
  FrameMetrics Frame() override;
  ShowState StartupShowState() override;
  std::unique_ptr<Window> MakeWindow(WindowHandler& handler, const Rect& frame,
                                     const std::string& title) override;
  int Run() override;
  void Quit(int exitCode) override;
  bool OpenAddress(const std::string& address) override;
  Colour FaceColour() override;
  // Values of the key HKEY_CURRENT_USER\Software\Tessary, as lists of strings.
  std::vector<std::string> ReadSetting(const std::string& key) override;
  void WriteSetting(const std::string& key, const std::vector<std::string>& values) override;
  // %LOCALAPPDATA%\Tessary.
  std::string StateFolder() override;
  // A message to a hidden window of the program's own: modal loops
  // (dialogs, menus) dispatch it as the main loop does.
  void PostToMainThread(std::function<void()> task) override;
  bool WaitUntil(const std::function<bool()>& done, int32_t timeoutMs) override;

  // Where settings live, for tests that must not touch the user's own.
  static void SetSettingsKeyForTesting(const std::wstring& key);

  // The program's command line after its own name, in UTF-8 as typed,
  // whatever the ANSI code page.
  static std::vector<std::string> Arguments();

 private:
  bool oleReady_ = false;
  void* tasks_ = nullptr;  // HWND of the message-only window posted tasks go to
};

}  // namespace platform::win32
