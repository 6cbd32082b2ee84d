#pragma once

// Mouse input through the window system, as a user's would arrive: double
// clicks come as press, release, double-click, release, and enter/leave follow.
#define QTEST_QPA_MOUSE_HANDLING

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <QTest>
#include <QWidget>

#include "OwnFolders.h"
#include "platform/qt/QtPlatform.h"
#include "platform/qt/QtWindow.h"

namespace qttest {

using namespace platform;

// Records every event as a short line ("press 30,40 left"); hooks may
// answer the events that ask for an answer.
class RecordingHandler : public WindowHandler {
 public:
  void OnPaint(Canvas& canvas, const Rect& area) override {
    Log("paint");
    paintAreas.push_back(area);
    if (paint) paint(canvas, area);
  }
  void OnResized(Size s) override { Log("resized " + Str(s.width, s.height)); }
  void OnPointerPressed(const PointerEvent& e) override { Pointer("press", e); }
  void OnPointerMoved(const PointerEvent& e) override {
    Pointer("move", e);
    if (onMove) onMove(e);
  }
  void OnPointerReleased(const PointerEvent& e) override { Pointer("release", e); }
  void OnDoubleClicked(const PointerEvent& e) override { Pointer("double", e); }
  void OnPointerLeft() override { Log("left"); }
  void OnWheel(const WheelEvent& e) override {
    Log("wheel " + Str(e.point.x, e.point.y) + " " + std::to_string(e.angleDelta));
  }
  bool OnKey(const KeyEvent& e) override {
    Log("key " + std::to_string(uint32_t(e.key)) + " " + std::to_string(e.modifiers));
    return key ? key(e) : false;
  }
  void OnContextMenu(Point p, bool keyboard) override {
    Log("menu " + Str(p.x, p.y) + (keyboard ? " key" : " pointer"));
  }
  void OnFocusChanged(bool gained, FocusReason reason) override {
    Log(std::string(gained ? "focus in " : "focus out ") + std::to_string(int(reason)));
  }
  bool OnFilesDragged(const FileDrag& d) override {
    drags.push_back(d);
    return acceptDrag ? acceptDrag(d) : false;
  }
  void OnFilesDropped(const FileDrag& d) override { drops.push_back(d); }
  void OnCommand(int c) override { Log("command " + std::to_string(c)); }
  void OnCommandHovered(int c) override { Log("hover " + std::to_string(c)); }
  bool OnCloseRequested() override {
    Log("close");
    return allowClose;
  }
  bool OnIdle() override {
    Log("idle");
    return --idleRounds > 0;
  }
  void OnTimer(int timer) override { Log("timer " + std::to_string(timer)); }

  // The lines recorded that start with one of `prefixes` (all when empty).
  std::vector<std::string> Lines(const std::vector<std::string>& prefixes = {}) const {
    std::vector<std::string> out;
    for (const std::string& line : log)
      for (size_t i = 0; i < std::max<size_t>(1, prefixes.size()); ++i)
        if (prefixes.empty() || line.rfind(prefixes[i], 0) == 0) {
          out.push_back(line);
          break;
        }
    return out;
  }

  std::vector<std::string> log;
  std::vector<Rect> paintAreas;
  std::vector<FileDrag> drags, drops;
  std::function<void(Canvas&, const Rect&)> paint;
  std::function<void(const PointerEvent&)> onMove;
  std::function<bool(const KeyEvent&)> key;
  std::function<bool(const FileDrag&)> acceptDrag;
  bool allowClose = true;
  int idleRounds = 1;

 private:
  static std::string Str(int a, int b) { return std::to_string(a) + "," + std::to_string(b); }
  void Log(const std::string& line) { log.push_back(line); }
  void Pointer(const char* what, const PointerEvent& e) {
    static const char* kButtons[] = {" left", " right", " middle"};
    Log(std::string(what) + " " + Str(e.point.x, e.point.y) + kButtons[int(e.button)] +
        (e.modifiers ? " +" + std::to_string(e.modifiers) : ""));
  }
};

// A fresh platform (and QApplication) for every test.
class QtPlatformTest : public ::testing::Test {
 protected:
  void SetUp() override { platform = std::make_unique<qt::QtPlatform>(argc_, argv_); }
  void TearDown() override { platform.reset(); }

  // A shown window whose client area is width x height at (100, 100). The
  // test keeps it in a variable declared after its handler, so it goes first.
  std::unique_ptr<qt::QtWindow> Make(RecordingHandler& handler, int width, int height) {
    const FrameMetrics m = platform->Frame();
    const Rect frame{100 - m.frameX, 100 - m.captionHeight - m.frameY, 100 + width + m.frameX,
                     100 + height + m.frameY};
    std::unique_ptr<qt::QtWindow> window(
        static_cast<qt::QtWindow*>(platform->MakeWindow(handler, frame, "Test").release()));
    if (!window) return nullptr;
    window->Show(ShowState::Normal);
    if (!QTest::qWaitForWindowExposed(window->Widget())) return nullptr;
    return window;
  }

  std::unique_ptr<qt::QtPlatform> platform;

 private:
  static inline int argc_ = 1;
  static inline char name_[] = "test_qt";
  static inline char* argv_[] = {name_, nullptr};
};

}  // namespace qttest
