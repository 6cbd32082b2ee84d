#pragma once

#include <cstdint>

#include "platform/DeviceContext.h"
#include "platform/DragDrop.h"
#include "platform/Messages.h"
#include "platform/Toolbar.h"
#include "platform/Types.h"

namespace platform {

class Window;

// Implemented by the program's window class: every message for the window
// arrives here, including WM_CREATE during Platform::CreateWindowEx (so the
// handler learns its Window before CreateWindowEx returns).
class WindowHandler {
 public:
  virtual ~WindowHandler() = default;
  virtual LRESULT WindowProc(Window& window, uint32_t message, WPARAM wParam, LPARAM lParam) = 0;
};

// WM_CREATE's lParam points at this.
struct CREATESTRUCT {
  Rect rect;  // the window rectangle asked for, screen coordinates
  const char* title = nullptr;
  uint32_t style = 0;
};

// A top-level window. Owned by the Platform that created it; the object
// stays valid (IsWindow() false) after DestroyWindow.
class Window {
 public:
  virtual ~Window() = default;

  HWND Handle() const { return this; }
  virtual bool IsWindow() const = 0;

  virtual Rect GetClientRect() const = 0;  // (0, 0, width, height)
  virtual Rect GetWindowRect() const = 0;  // screen coordinates, frame included
  // Moves without resizing, without changing the z-order, without activating.
  virtual void SetWindowPos(int32_t x, int32_t y) = 0;
  // Work area of the monitor nearest to the window; false if unknown.
  virtual bool GetMonitorWorkArea(Rect* work) const = 0;
  virtual void SetIcon(int which, const IconImage& icon) = 0;  // ICON_BIG / ICON_SMALL
  virtual void ShowWindow(int showCommand) = 0;
  virtual void SetWindowText(const char* title) = 0;
  // Sends WM_DESTROY to the handler, then takes the window off the screen.
  virtual void DestroyWindow() = 0;
  // What happens to a message no row of the window's table takes.
  virtual LRESULT DefWindowProc(uint32_t message, WPARAM wParam, LPARAM lParam) = 0;

  // Painting. `rect` null means the whole client area. Invalid areas are
  // painted later: WM_ERASEBKGND first when an erase was asked, then WM_PAINT.
  virtual void InvalidateRect(const Rect* rect, bool erase) = 0;
  virtual void SetRedraw(bool redraw) = 0;  // WM_SETREDRAW
  // Only inside WM_PAINT. `paintRect` receives the area to paint.
  virtual DeviceContext* BeginPaint(Rect* paintRect) = 0;
  virtual void EndPaint() = 0;

  // Mouse.
  virtual void SetCapture() = 0;
  virtual void ReleaseCapture() = 0;
  virtual bool HasCapture() const = 0;  // GetCapture() == this window
  virtual Point ScreenToClient(Point screen) const = 0;
  virtual Point ClientToScreen(Point client) const = 0;

  // Desktop composition: extend the glass frame into the client area.
  virtual HRESULT ExtendFrameIntoClientArea(const Margins& margins) = 0;

  // Drag and drop: the registration holds a reference of its own.
  virtual HRESULT RegisterDragDrop(IDropTarget* target) = 0;
  virtual HRESULT RevokeDragDrop() = 0;

  // Creates the window's one toolbar child (owned by the window).
  virtual Toolbar* CreateToolbar(const Rect& rect, uint32_t style) = 0;
};

}  // namespace platform
