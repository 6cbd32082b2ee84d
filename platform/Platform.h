#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/DragDrop.h"
#include "platform/Messages.h"
#include "platform/Toolbar.h"
#include "platform/Types.h"
#include "platform/Window.h"

namespace platform {

// System cursors.
enum class CursorId : uint32_t {
  Arrow = 32512,    // IDC_ARROW
  Wait = 32514,     // IDC_WAIT
  SizeAll = 32646,  // IDC_SIZEALL, the four-way move cursor
  Hand = 32649,     // IDC_HAND
};

// Open and save dialogs.
constexpr uint32_t OFN_HIDEREADONLY = 0x00000004;
constexpr uint32_t OFN_PATHMUSTEXIST = 0x00000800;
constexpr uint32_t OFN_FILEMUSTEXIST = 0x00001000;
constexpr uint32_t OFN_OVERWRITEPROMPT = 0x00000002;
constexpr uint32_t OFN_EXPLORER = 0x00080000;
constexpr uint32_t OFN_ENABLESIZING = 0x00800000;

struct FileFilter {
  std::string description;  // "JPEG picture files"
  std::string pattern;      // "*.jpg", several separated by ';'
};

struct OPENFILENAME {
  Window* owner = nullptr;
  std::vector<FileFilter> filters;
  uint32_t filterIndex = 0;  // in: 0 = the first; out: 1-based index of the filter chosen
  std::string file;          // in: pre-filled name; out: the full path chosen (UTF-8)
  uint32_t maxFile = 260;    // characters the name may have
  std::string title;
  std::string defaultExtension;  // without the dot; empty for none
  uint32_t flags = 0;
};

// Hooks of the program's message loop: filters see each queued message
// before it is dispatched (true = eaten); idle handlers run when the queue
// runs empty.
class MessageLoopHooks {
 public:
  virtual ~MessageLoopHooks() = default;
  virtual bool PreTranslateMessage(Window& window, uint32_t message, WPARAM wParam,
                                   LPARAM lParam) = 0;
  virtual bool OnIdle(int idleCount) = 0;
};

// Process-wide services of the window system. One per process.
class Platform {
 public:
  virtual ~Platform() = default;

  // Process set-up; failures are not reported.
  virtual void OleInitialize() = 0;
  virtual void OleUninitialize() = 0;
  virtual void InitCommonControls() = 0;

  // Screen metrics.
  virtual int32_t ScreenDpi() = 0;  // logical pixels per inch, horizontally
  virtual int32_t GetSystemMetrics(int index) = 0;
  virtual Colour GetSysColor(int index) = 0;
  virtual int StartupShowCommand() = 0;  // how the process was asked to show its window
  virtual uint32_t WindowsMajorVersion() = 0;  // 6 or more: composition may be asked about

  // A top-level window; sends WM_CREATE to `handler` before returning.
  // Null when the window cannot be made or the handler returned -1.
  virtual Window* CreateWindowEx(WindowHandler* handler, const Rect& rect, const char* title,
                                 uint32_t style) = 0;

  // Runs the loop until PostQuitMessage; returns its exit code.
  virtual int RunMessageLoop(MessageLoopHooks* hooks) = 0;
  virtual void PostQuitMessage(int exitCode) = 0;

  // Cursors.
  virtual Cursor LoadCursor(CursorId id) = 0;
  virtual Cursor SetCursor(Cursor cursor) = 0;  // returns the previous one
  virtual Point GetCursorPos() = 0;            // screen coordinates

  // Modal dialogs. True when the user chose a file (ofn.file, ofn.filterIndex set).
  virtual bool GetOpenFileName(OPENFILENAME& ofn) = 0;
  virtual bool GetSaveFileName(OPENFILENAME& ofn) = 0;
  virtual int MessageBox(Window* owner, const char* text, const char* caption, uint32_t type) = 0;
  // Opens a document or address with its default program ("open").
  virtual void ShellExecute(Window* owner, const char* verb, const char* file,
                            int showCommand) = 0;

  // Desktop composition and themes.
  virtual HRESULT DwmIsCompositionEnabled(bool* enabled) = 0;
  virtual ThemeHandle OpenThemeData(Window* window, const char* classList) = 0;
  virtual void CloseThemeData(ThemeHandle theme) = 0;

  // Image lists for toolbars.
  virtual std::unique_ptr<ImageList> CreateImageList(int32_t cx, int32_t cy, uint32_t flags) = 0;

  // The drag-image helper; S_OK with a referenced helper, or an error and null.
  virtual HRESULT CreateDropTargetHelper(IDropTargetHelper** helper) = 0;
};

}  // namespace platform
