#pragma once

#include <memory>

#include <QApplication>

#include "platform/Platform.h"

namespace platform::qt {

// The window system on Qt 6 Widgets. Makes the QApplication unless one
// exists already (tests make their own).
class QtPlatform : public Platform {
 public:
  QtPlatform(int& argc, char** argv);
  ~QtPlatform() override;
  QtPlatform(const QtPlatform&) = delete;
  QtPlatform& operator=(const QtPlatform&) = delete;

  int32_t ScreenDpi() override;
  Size MaximisedClientSize() override;
  FrameMetrics Frame() override;
  ShowState StartupShowState() override { return ShowState::Normal; }
  std::unique_ptr<Window> MakeWindow(WindowHandler& handler, const Rect& frame,
                                     const std::string& title) override;
  int Run() override;
  void Quit(int exitCode) override;
  bool OpenAddress(const std::string& address) override;
  Colour FaceColour() override;
  // QSettings in the desktop's configuration folder ($XDG_CONFIG_HOME/tessary).
  std::vector<std::string> ReadSetting(const std::string& key) override;
  void WriteSetting(const std::string& key, const std::vector<std::string>& values) override;
  // $XDG_STATE_HOME/tessary, by default ~/.local/state/tessary.
  std::string StateFolder() override;
  void PostToMainThread(std::function<void()> task) override;
  bool WaitUntil(const std::function<bool()>& done, int32_t timeoutMs) override;

 private:
  std::unique_ptr<QApplication> ownedApp_;
  bool quitPending_ = false;
  int quitCode_ = 0;
};

}  // namespace platform::qt
