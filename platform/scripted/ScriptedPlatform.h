#pragma once

#include <functional>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
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
  bool canPrint = true;  // the windows' CanPrint
  Colour face{240, 240, 240};
  // Photos decode at once unless a test asks for worker threads.
  unsigned backgroundThreads = 0;
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
  // Recorded; answers `addressesOpen` (false: a desktop without a browser).
  bool OpenAddress(const std::string& address) override {
    openedAddresses.push_back(address);
    return addressesOpen && !address.empty();
  }
  Colour FaceColour() override { return config.face; }
  std::vector<std::string> ReadSetting(const std::string& key) override {
    const auto found = settings.find(key);
    return found == settings.end() ? std::vector<std::string>() : found->second;
  }
  void WriteSetting(const std::string& key, const std::vector<std::string>& values) override {
    settings[key] = values;
  }
  std::string StateFolder() override { return stateFolder; }
  // Posted tasks wait in a queue until the test runs them (RunPosted) or
  // waits for something (WaitUntil).
  unsigned BackgroundThreads() override { return config.backgroundThreads; }
  void PostToMainThread(std::function<void()> task) override;
  bool WaitUntil(const std::function<bool()>& done, int32_t timeoutMs) override;
  // Runs the tasks posted so far, and those they post; their number.
  size_t RunPosted();
  size_t PostedWaiting();

  ScriptedConfig config;
  ScriptedWindow* window = nullptr;  // the last window made, while it lives
  std::vector<Rect> windowFrames;    // every frame asked for
  std::vector<std::string> openedAddresses;
  bool addressesOpen = true;
  int quitCode = -1;
  int runs = 0;
  std::vector<std::function<void()>> duringRun;
  std::map<std::string, std::vector<std::string>> settings;
  std::string stateFolder;  // empty: none

 private:
  std::mutex postedMutex_;
  std::deque<std::function<void()>> posted_;
};

}  // namespace platform::scripted
