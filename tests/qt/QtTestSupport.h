#pragma once

// Mouse input through the window system, as a user's would arrive: double
// clicks come as press, release, double-click, release, and enter/leave follow.
#define QTEST_QPA_MOUSE_HANDLING

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <QTest>
#include <QWidget>

#include "platform/qt/QtPlatform.h"
#include "platform/qt/QtWindow.h"

namespace qttest {

using namespace platform;

struct Message {
  uint32_t message;
  WPARAM wParam;
  LPARAM lParam;
};

// Records every message; a test hook may answer one instead of the
// default window procedure. Paints are ended properly unless the hook takes them.
class RecordingHandler : public WindowHandler {
 public:
  using Hook = std::function<std::optional<LRESULT>(Window&, uint32_t, WPARAM, LPARAM)>;

  LRESULT WindowProc(Window& window, uint32_t message, WPARAM wParam, LPARAM lParam) override {
    log.push_back({message, wParam, lParam});
    if (message == WM_CREATE) {
      create = *reinterpret_cast<const CREATESTRUCT*>(lParam);
      createTitle = create.title ? create.title : "";
    }
    if (hook)
      if (std::optional<LRESULT> answer = hook(window, message, wParam, lParam)) return *answer;
    if (message == WM_PAINT) {
      Rect area;
      window.BeginPaint(&area);
      paintRects.push_back(area);
      window.EndPaint();
      return 0;
    }
    return window.DefWindowProc(message, wParam, lParam);
  }

  // The messages recorded, without those in `skip`.
  std::vector<uint32_t> Sequence(const std::vector<uint32_t>& skip = {}) const {
    std::vector<uint32_t> out;
    for (const Message& m : log)
      if (std::find(skip.begin(), skip.end(), m.message) == skip.end()) out.push_back(m.message);
    return out;
  }
  size_t Count(uint32_t message) const {
    return size_t(std::count_if(log.begin(), log.end(),
                                [&](const Message& m) { return m.message == message; }));
  }

  std::vector<Message> log;
  std::vector<Rect> paintRects;
  CREATESTRUCT create;
  std::string createTitle;
  Hook hook;
};

// A fresh platform (and QApplication) for every test.
class QtPlatformTest : public ::testing::Test {
 protected:
  void SetUp() override { platform = std::make_unique<qt::QtPlatform>(argc_, argv_); }
  void TearDown() override { platform.reset(); }

  // A shown window whose client area is width x height at (100, 100).
  qt::QtWindow* MakeWindow(RecordingHandler& handler, int width, int height) {
    const int frame = platform->GetSystemMetrics(SM_CXFRAME);
    const int caption = platform->GetSystemMetrics(SM_CYCAPTION);
    const Rect rect{100 - frame, 100 - caption - frame, 100 + width + frame, 100 + height + frame};
    auto* window = static_cast<qt::QtWindow*>(
        platform->CreateWindowEx(&handler, rect, "Test", WS_OVERLAPPEDWINDOW));
    if (!window) return nullptr;
    window->ShowWindow(SW_SHOW);
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
