#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "platform/scripted/ScriptedDataObject.h"
#include "platform/scripted/ScriptedToolbar.h"
#include "platform/scripted/ScriptedWindow.h"

namespace platform::scripted {

// The machine the program believes it runs on.
struct ScriptedConfig {
  int32_t dpi = 96;
  int32_t frameX = 4;
  int32_t frameY = 4;
  int32_t captionHeight = 23;
  int32_t screenW = 1920;  // SM_CXFULLSCREEN
  int32_t screenH = 1057;  // SM_CYFULLSCREEN
  bool hasWorkArea = true;
  Rect workArea{0, 0, 1920, 1080};
  int32_t iconSize = 32;        // SM_CXICON, SM_CYICON
  int32_t smallIconSize = 16;   // SM_CXSMICON, SM_CYSMICON
  int showCommand = SW_SHOWNORMAL;
  bool composition = false;
  bool compositionQueryFails = false;
  uint32_t windowsMajor = 10;
  Colour buttonFace = RGB(240, 240, 240);
  bool themes = true;      // OpenThemeData gives a handle
  bool dropHelper = true;  // CreateDropTargetHelper succeeds (with a recording fake)
  bool failCreateWindow = false;
};

struct MessageBoxRecord {
  Window* owner = nullptr;
  std::string text;
  std::string caption;
  uint32_t type = 0;
};

struct ShellExecuteRecord {
  Window* owner = nullptr;
  std::string verb;
  std::string file;
  int showCommand = 0;
};

// An answer for the next open or save dialog.
struct DialogAnswer {
  bool chosen = false;  // false: the user cancels
  std::string path;
  uint32_t filterIndex = 1;
};

class ScriptedPlatform : public Platform {
 public:
  explicit ScriptedPlatform(ScriptedConfig config = {});
  ~ScriptedPlatform() override;

  // Platform
  void OleInitialize() override;
  void OleUninitialize() override;
  void InitCommonControls() override;
  int32_t ScreenDpi() override;
  int32_t GetSystemMetrics(int index) override;
  Colour GetSysColor(int index) override;
  int StartupShowCommand() override;
  uint32_t WindowsMajorVersion() override;
  Window* CreateWindowEx(WindowHandler* handler, const Rect& rect, const char* title,
                         uint32_t style) override;
  int RunMessageLoop(MessageLoopHooks* hooks) override;
  void PostQuitMessage(int exitCode) override;
  Cursor LoadCursor(CursorId id) override;
  Cursor SetCursor(Cursor cursor) override;
  Point GetCursorPos() override { return cursorPos; }
  bool GetOpenFileName(OPENFILENAME& ofn) override;
  bool GetSaveFileName(OPENFILENAME& ofn) override;
  int MessageBox(Window* owner, const char* text, const char* caption, uint32_t type) override;
  void ShellExecute(Window* owner, const char* verb, const char* file, int showCommand) override;
  HRESULT DwmIsCompositionEnabled(bool* enabled) override;
  ThemeHandle OpenThemeData(Window* window, const char* classList) override;
  void CloseThemeData(ThemeHandle theme) override;
  std::unique_ptr<ImageList> CreateImageList(int32_t cx, int32_t cy, uint32_t flags) override;
  HRESULT CreateDropTargetHelper(IDropTargetHelper** helper) override;

  // Dialog answers, taken in order; an empty queue cancels.
  void QueueOpenFile(std::string path, uint32_t filterIndex = 1);
  void QueueSaveFile(std::string path, uint32_t filterIndex = 1);
  void QueueOpenCancel();
  void QueueSaveCancel();

  // The scripted message loop: actions run in order (each may post the quit
  // message); queued messages pass the loop's filters first. The loop ends
  // when the quit message is posted, or when the script runs out (then it
  // returns kLoopRanDry, which a real loop would never do).
  static constexpr int kLoopRanDry = -1000;
  void QueueAction(std::function<void()> action);
  void QueueMessage(ScriptedWindow* window, uint32_t message, WPARAM wParam, LPARAM lParam);

  ScriptedWindow* MainWindow() const { return windows.empty() ? nullptr : windows.back().get(); }
  Cursor CursorHandle(CursorId id) { return LoadCursor(id); }
  ThemeHandle ThemeToken() const { return &themeToken_; }
  // Cursors made current while `cursor` was asked for.
  int TimesSet(Cursor cursor) const;

  ScriptedConfig config;
  std::vector<std::string> calls;  // process-level calls in order, for sequencing checks
  std::vector<std::unique_ptr<ScriptedWindow>> windows;
  Window* captured = nullptr;
  Point cursorPos;
  Cursor currentCursor = nullptr;
  std::vector<Cursor> cursorLog;  // every SetCursor argument
  std::optional<int> quitCode;
  int oleInitialized = 0;
  int oleUninitialized = 0;
  int commonControls = 0;
  int compositionQueries = 0;
  std::vector<OPENFILENAME> openDialogs;  // as each dialog was shown
  std::vector<OPENFILENAME> saveDialogs;
  std::vector<MessageBoxRecord> messageBoxes;
  std::vector<ShellExecuteRecord> shellExecutes;
  std::vector<std::string> themeOpens;  // class lists
  int themeCloses = 0;
  std::vector<ScriptedImageList*> liveImageLists;
  RecordingDropTargetHelper* dropHelper = nullptr;  // the last one made; the platform holds a reference
  int idleCalls = 0;
  int filteredMessages = 0;  // eaten by the loop's filters

 private:
  struct LoopStep {
    std::function<void()> action;
    ScriptedWindow* window = nullptr;
    uint32_t message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
  };

  std::deque<DialogAnswer> openAnswers_;
  std::deque<DialogAnswer> saveAnswers_;
  std::deque<LoopStep> loop_;
  char themeToken_ = 0;
};

}  // namespace platform::scripted
