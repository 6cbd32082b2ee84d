#pragma once

#include <memory>
#include <vector>

#include "platform/Platform.h"

class QApplication;

namespace platform::qt {

class QtWindow;
struct QtCursor;

// The desktop backend on Qt 6 Widgets. It owns the QApplication (unless one
// already exists, as in tests that made their own), so construct it first in
// main and destroy it last; every Window it creates lives as long as it does.
class QtPlatform : public Platform {
 public:
  QtPlatform(int& argc, char** argv);
  ~QtPlatform() override;

  QtPlatform(const QtPlatform&) = delete;
  QtPlatform& operator=(const QtPlatform&) = delete;

  void OleInitialize() override {}
  void OleUninitialize() override {}
  void InitCommonControls() override {}

  int32_t ScreenDpi() override;
  int32_t GetSystemMetrics(int index) override;
  Colour GetSysColor(int index) override;
  int StartupShowCommand() override { return SW_SHOWDEFAULT; }
  uint32_t WindowsMajorVersion() override { return 6; }

  Window* CreateWindowEx(WindowHandler* handler, const Rect& rect, const char* title,
                         uint32_t style) override;

  int RunMessageLoop(MessageLoopHooks* hooks) override;
  void PostQuitMessage(int exitCode) override;

  Cursor LoadCursor(CursorId id) override;
  Cursor SetCursor(Cursor cursor) override;
  Point GetCursorPos() override;

  bool GetOpenFileName(OPENFILENAME& ofn) override;
  bool GetSaveFileName(OPENFILENAME& ofn) override;
  int MessageBox(Window* owner, const char* text, const char* caption, uint32_t type) override;
  void ShellExecute(Window* owner, const char* verb, const char* file, int showCommand) override;

  HRESULT DwmIsCompositionEnabled(bool* enabled) override;
  ThemeHandle OpenThemeData(Window* window, const char* classList) override;
  void CloseThemeData(ThemeHandle) override {}

  std::unique_ptr<ImageList> CreateImageList(int32_t cx, int32_t cy, uint32_t flags) override;
  HRESULT CreateDropTargetHelper(IDropTargetHelper** helper) override;

  // For the backend's windows: offers a queued message to the running
  // loop's filters (true = eaten) and keeps the idle state.
  bool PreTranslate(Window& window, uint32_t message, WPARAM wParam, LPARAM lParam);
  // While a mouse message is being delivered, the pointer is where that
  // event says (what the handlers' GetCursorPos should see); null clears.
  void SetEventCursorPos(const Point* screen);

 private:
  bool FileDialog(OPENFILENAME& ofn, bool save);
  void RunIdle();

  std::unique_ptr<QApplication> ownedApp_;
  std::vector<std::unique_ptr<QtWindow>> windows_;
  MessageLoopHooks* hooks_ = nullptr;
  bool loopRunning_ = false;
  bool quitPending_ = false;
  int quitCode_ = 0;
  bool idleArmed_ = true;
  int modalDepth_ = 0;  // inside a dialog's own loop the program's idle handlers do not run
  const QtCursor* currentCursor_ = nullptr;
  bool waitOverride_ = false;
  bool haveEventCursor_ = false;
  Point eventCursor_;
};

}  // namespace platform::qt
