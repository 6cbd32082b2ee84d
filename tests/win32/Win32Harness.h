#pragma once

// A real Win32 window (under Wine on the test machines) with a handler that
// writes down what reaches it.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "platform/win32/MessageLoop.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/Win32Window.h"

namespace win32test {

using namespace platform;

// The program keeps autosaved cards and settings of the user's; the tests
// keep theirs in a folder and a registry key of their own, set before any
// window is made.
inline const std::wstring kOwnStateFolder = [] {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  const std::wstring folder =
      std::wstring(temp) + L"tessary-win32-test-" + std::to_wstring(GetCurrentProcessId());
  SetEnvironmentVariableW(L"LOCALAPPDATA", folder.c_str());
  platform::win32::Win32Platform::SetSettingsKeyForTesting(L"Software\\TessaryTests");
  static const std::wstring removed = folder;
  std::atexit([] {
    std::error_code error;
    std::filesystem::remove_all(removed, error);
  });
  return folder;
}();

inline std::string Describe(const PointerEvent& e) {
  std::ostringstream out;
  out << (e.button == Button::Left ? "L" : e.button == Button::Right ? "R" : "M") << " "
      << e.point.x << "," << e.point.y;
  if (e.modifiers & kShift) out << " shift";
  if (e.modifiers & kControl) out << " ctrl";
  return out.str();
}

class Recorder : public WindowHandler {
 public:
  void OnPaint(Canvas& canvas, const Rect& area) override {
    paints.push_back(area);
    if (paint) paint(canvas, area);
  }
  void OnResized(Size client) override {
    log.push_back("resized " + std::to_string(client.width) + "x" + std::to_string(client.height));
  }
  void OnPointerPressed(const PointerEvent& e) override { log.push_back("press " + Describe(e)); }
  void OnPointerMoved(const PointerEvent& e) override { log.push_back("move " + Describe(e)); }
  void OnPointerReleased(const PointerEvent& e) override {
    log.push_back("release " + Describe(e));
  }
  void OnDoubleClicked(const PointerEvent& e) override { log.push_back("double " + Describe(e)); }
  void OnPointerLeft() override { log.push_back("left"); }
  void OnWheel(const WheelEvent& e) override {
    log.push_back("wheel " + std::to_string(e.point.x) + "," + std::to_string(e.point.y) + " " +
                  std::to_string(e.angleDelta));
  }
  bool OnKey(const KeyEvent& key) override {
    log.push_back("key " + std::to_string(uint32_t(key.key)));
    return key.key == usedKey;
  }
  void OnContextMenu(Point p, bool keyboard) override {
    log.push_back("menu " + std::to_string(p.x) + "," + std::to_string(p.y) +
                  (keyboard ? " keyboard" : ""));
  }
  void OnFocusChanged(bool gained, FocusReason reason) override {
    log.push_back(std::string(gained ? "focus in" : "focus out") +
                  (reason == FocusReason::Forward    ? " forward"
                   : reason == FocusReason::Backward ? " backward"
                                                     : ""));
  }
  bool OnFilesDragged(const FileDrag& drag) override {
    drags.push_back(drag);
    return acceptDrags && drag.copyAllowed;
  }
  void OnFilesDropped(const FileDrag& drag) override { drops.push_back(drag); }
  void OnCommand(int command) override { log.push_back("command " + std::to_string(command)); }
  void OnCommandHovered(int command) override {
    log.push_back("hover " + std::to_string(command));
  }
  bool OnCloseRequested() override {
    log.push_back("close?");
    return allowClose;
  }
  bool OnIdle() override {
    ++idles;
    return idles < idleRounds;
  }
  void OnCompositionChanged() override { log.push_back("composition"); }
  void OnTimer(int timer) override { log.push_back("timer " + std::to_string(timer)); }

  std::vector<std::string> log;
  std::vector<Rect> paints;
  std::vector<FileDrag> drags, drops;
  std::function<void(Canvas&, const Rect&)> paint;
  Key usedKey = Key::Other;
  bool acceptDrags = true;
  bool allowClose = false;
  int idles = 0;
  int idleRounds = 1;
};

// Handles what is queued, as the program's loop would, without waiting.
inline void Pump() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) continue;
    if (!platform::win32::ThreadLoop().PreTranslate(message)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
}

// A frame rectangle whose client area is `client`, at (x, y).
inline Rect FrameFor(platform::win32::Win32Platform& platform, Size client, int32_t x = 40,
                     int32_t y = 40) {
  const FrameMetrics f = platform.Frame();
  return Rect{x, y, x + client.width + 2 * f.frameX,
              y + client.height + f.captionHeight + 2 * f.frameY};
}

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override { Make(); }
  void Make(Size client = {320, 240}) {
    made = platform.MakeWindow(recorder, FrameFor(platform, client), "Tessary \xC3\xBC");
    ASSERT_NE(made, nullptr);
    window = static_cast<platform::win32::Win32Window*>(made.get());
    hwnd = window->Handle();
  }
  LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return SendMessageW(hwnd, message, wParam, lParam);
  }

  platform::win32::Win32Platform platform;
  Recorder recorder;
  std::unique_ptr<Window> made;
  platform::win32::Win32Window* window = nullptr;
  HWND hwnd = nullptr;
};

inline IconImage SolidIcon(uint8_t r, uint8_t g, uint8_t b) {
  IconImage icon{48, 48, std::vector<uint8_t>(48 * 48 * 4)};
  for (size_t i = 0; i < icon.rgba.size(); i += 4) {
    icon.rgba[i] = r;
    icon.rgba[i + 1] = g;
    icon.rgba[i + 2] = b;
    icon.rgba[i + 3] = 255;
  }
  return icon;
}

inline std::vector<ToolbarButton> FourButtons() {
  std::vector<ToolbarButton> buttons(4);
  buttons[0] = ToolbarButton{100, "Save", SolidIcon(200, 0, 0), false};
  buttons[1] = ToolbarButton{101, "Template", SolidIcon(0, 200, 0), false};
  buttons[2] = ToolbarButton{102, "Donate", SolidIcon(0, 0, 200), true};
  buttons[3] = ToolbarButton{103, "Help", SolidIcon(9, 9, 9), false};
  return buttons;
}

}  // namespace win32test
