#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "platform/scripted/ScriptedWindow.h"

namespace platform::scripted {

// The desktop a scripted window lives on.
struct ScriptedConfig {
  int32_t dpi = 96;
  Size screen{1920, 1050};  // client area of a maximised window
  Rect workArea{0, 0, 1920, 1050};
  FrameMetrics frame{4, 4, 24};
  ShowState startupShow = ShowState::Normal;
  bool composition = false;
  int32_t devicePixelRatio = 1;
  bool refuseWindows = false;  // MakeWindow fails
  Colour face{240, 240, 240};
  std::string settingsFolder;  // empty: nothing is remembered between runs
};

class ScriptedPlatform : public Platform {
 public:
  explicit ScriptedPlatform(ScriptedConfig desktop = {}) : config(desktop) {}

  int32_t ScreenDpi() override { return config.dpi; }
  Size MaximisedClientSize() override { return config.screen; }
  FrameMetrics Frame() override { return config.frame; }
  ShowState StartupShowState() override { return config.startupShow; }
  std::unique_ptr<Window> MakeWindow(WindowHandler& handler, const Rect& frame,
                                     const std::string& title) override;
  // There is no queue: Run does what the test put in `duringRun`, then
  // answers Quit's code, or -1 when nothing asked to quit.
  int Run() override {
    ++runs;
    for (const auto& action : duringRun) action();
    return quitCode;
  }
  void Quit(int exitCode) override { quitCode = exitCode; }
  void OpenAddress(const std::string& address) override { openedAddresses.push_back(address); }
  Colour FaceColour() override { return config.face; }
  std::string SettingsFolder() override { return config.settingsFolder; }

  ScriptedConfig config;
  ScriptedWindow* window = nullptr;  // the last window made, while it lives
  std::vector<Rect> windowFrames;    // every frame asked for
  std::vector<std::string> openedAddresses;
  int quitCode = -1;
  int runs = 0;
  std::vector<std::function<void()>> duringRun;
};

}  // namespace platform::scripted
