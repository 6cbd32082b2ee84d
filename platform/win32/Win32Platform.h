#pragma once

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
  void OpenAddress(const std::string& address) override;
  Colour FaceColour() override;
  std::string SettingsFolder() override;

  // The program's command line after its own name, in UTF-8 as typed,
  // whatever the ANSI code page.
  static std::vector<std::string> Arguments();

 private:
  bool oleReady_ = false;
};

}  // namespace platform::win32
