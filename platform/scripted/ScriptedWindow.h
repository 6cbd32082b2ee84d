#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Window.h"
#include "platform/scripted/ScriptedDeviceContext.h"
#include "platform/scripted/ScriptedSurface.h"
#include "platform/scripted/ScriptedToolbar.h"

namespace platform::scripted {

class ScriptedPlatform;

constexpr WPARAM SIZE_RESTORED = 0;
constexpr WPARAM SIZE_MINIMIZED = 1;
constexpr WPARAM MK_LBUTTON = 0x0001;

struct InvalidationRecord {
  std::optional<Rect> rect;  // none: the whole client area
  bool erase = false;
  bool suppressed = false;  // made while redrawing was off
};

struct IconRecord {
  int which = 0;
  int32_t width = 0;
  int32_t height = 0;
};

struct DragResult {
  HRESULT hr = E_FAIL;
  uint32_t effect = DROPEFFECT_NONE;
};

// A top-level window whose pixels live in memory. Messages reach the handler
// synchronously; painting happens when a test calls UpdateWindow.
class ScriptedWindow : public Window {
 public:
  ScriptedWindow(ScriptedPlatform& platform, WindowHandler* handler, const Rect& rect,
                 const char* title, uint32_t style);

  // Window
  bool IsWindow() const override { return alive_; }
  Rect GetClientRect() const override { return Rect{0, 0, clientWidth_, clientHeight_}; }
  Rect GetWindowRect() const override { return windowRect_; }
  void SetWindowPos(int32_t x, int32_t y) override;
  bool GetMonitorWorkArea(Rect* work) const override;
  void SetIcon(int which, const IconImage& icon) override;
  void ShowWindow(int showCommand) override;
  void SetWindowText(const char* text) override { title = text ? text : ""; }
  void DestroyWindow() override;
  LRESULT DefWindowProc(uint32_t message, WPARAM wParam, LPARAM lParam) override;
  void InvalidateRect(const Rect* rect, bool erase) override;
  void SetRedraw(bool redraw) override;
  DeviceContext* BeginPaint(Rect* paintRect) override;
  void EndPaint() override;
  void SetCapture() override;
  void ReleaseCapture() override;
  bool HasCapture() const override;
  Point ScreenToClient(Point screen) const override;
  Point ClientToScreen(Point client) const override;
  HRESULT ExtendFrameIntoClientArea(const Margins& margins) override;
  HRESULT RegisterDragDrop(IDropTarget* target) override;
  HRESULT RevokeDragDrop() override;
  Toolbar* CreateToolbar(const Rect& rect, uint32_t style) override;

  // Sends a message to the handler (nothing once the window is destroyed).
  LRESULT Send(uint32_t message, WPARAM wParam, LPARAM lParam);

  // Paints what is invalid: WM_ERASEBKGND first when an erase is pending,
  // then WM_PAINT. False when nothing was invalid.
  bool UpdateWindow();
  bool HasInvalidArea() const { return invalid_.has_value(); }
  std::optional<Rect> InvalidArea() const { return invalid_; }
  bool ErasePending() const { return erasePending_; }
  void Validate();  // forget what is invalid, as if painted

  // Size changes: WM_SIZE with the new client size.
  void Resize(int32_t clientWidth, int32_t clientHeight);
  void Minimise();
  void Restore();  // back to the size before Minimise

  // Pointer input in client coordinates, as the classic system delivers it.
  // MouseMove sends WM_SETCURSOR first unless the mouse is captured; without
  // capture a point outside the client area reaches nobody (false).
  bool MouseMove(int32_t x, int32_t y);
  void LButtonDown(int32_t x, int32_t y);
  void LButtonUp(int32_t x, int32_t y);
  void DoubleClick(int32_t x, int32_t y);  // down, up, WM_LBUTTONDBLCLK, up
  void SetCursorPos(int32_t x, int32_t y);  // client point; GetCursorPos gives it in screen
  LRESULT Command(int32_t id);
  LRESULT Close();
  LRESULT SetComposition(bool enabled);  // then WM_DWMCOMPOSITIONCHANGED

  // Drag and drop onto the registered target, points in client coordinates.
  DragResult DragEnter(IDataObject* data, Point client, uint32_t allowed, uint32_t keyState = 0);
  DragResult DragOver(Point client, uint32_t allowed, uint32_t keyState = 0);
  HRESULT DragLeave();
  DragResult Drop(IDataObject* data, Point client, uint32_t allowed, uint32_t keyState = 0);
  IDropTarget* RegisteredDropTarget() const { return dropTarget_; }

  Colour Pixel(int32_t x, int32_t y) const { return surface.Pixel(x, y); }
  ScriptedToolbar* GetToolbar() { return toolbar_.get(); }
  ScriptedDeviceContext& WindowDC() { return dc_; }
  void ClearLogs();

  // Records.
  Surface surface;
  std::string title;
  uint32_t style;
  std::vector<IconRecord> icons;
  std::vector<int> showCommands;
  std::vector<InvalidationRecord> invalidations;
  std::vector<Rect> paintRects;  // one per WM_PAINT, in order
  int erases = 0;
  int paints = 0;
  bool redraw = true;
  std::vector<Margins> frameExtensions;
  std::vector<uint32_t> defaultMessages;  // messages that reached DefWindowProc
  std::vector<std::string> captureLog;  // "set", "release"
  int registrations = 0;
  int revocations = 0;
  int destroyMessages = 0;

 private:
  void SetClientSize(int32_t w, int32_t h);
  Point ScreenOfClientOrigin() const;

  ScriptedPlatform& platform_;
  WindowHandler* handler_;
  bool alive_ = true;
  Rect windowRect_;
  int32_t clientWidth_ = 0;
  int32_t clientHeight_ = 0;
  int32_t restoreWidth_ = 0;
  int32_t restoreHeight_ = 0;
  std::optional<Rect> invalid_;
  bool erasePending_ = false;
  bool inPaint_ = false;
  Rect paintRect_;
  bool buttonDown_ = false;
  ScriptedDeviceContext dc_;  // one context for the window's life (an own-DC class)
  std::unique_ptr<ScriptedToolbar> toolbar_;
  IDropTarget* dropTarget_ = nullptr;
};

}  // namespace platform::scripted
