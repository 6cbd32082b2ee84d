#pragma once

#include <memory>

#include <QIcon>
#include <QPointer>
#include <QRegion>
#include <QWidget>

#include "platform/Window.h"

namespace platform::qt {

class QtDataObject;
class QtDeviceContext;
class QtPlatform;
class QtToolbar;
class QtWindow;

// Modifier and button bits of the classic mouse and drag messages.
constexpr uint32_t MK_LBUTTON = 0x0001;
constexpr uint32_t MK_RBUTTON = 0x0002;
constexpr uint32_t MK_SHIFT = 0x0004;
constexpr uint32_t MK_CONTROL = 0x0008;
constexpr uint32_t MK_MBUTTON = 0x0010;
constexpr uint32_t MK_ALT = 0x0020;

// Estimates of the window manager's decorations: the sizing border and the
// title bar. Window rectangles are the client geometry grown by exactly these.
int32_t FrameThickness();
int32_t CaptionHeight();

// The top-level widget of a QtWindow: it turns Qt's events into the
// window's messages. Once the window is destroyed it is detached and
// delivers nothing while it waits for deletion.
class WindowWidget : public QWidget {
 public:
  explicit WindowWidget(QtWindow* owner);
  ~WindowWidget() override;
  void Detach() { owner_ = nullptr; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void changeEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dragLeaveEvent(QDragLeaveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  QtWindow* owner_;
};

class QtWindow : public Window {
 public:
  QtWindow(QtPlatform& platform, WindowHandler* handler, const Rect& rect, const char* title);
  ~QtWindow() override;

  QtWindow(const QtWindow&) = delete;
  QtWindow& operator=(const QtWindow&) = delete;

  bool IsWindow() const override { return alive_; }
  Rect GetClientRect() const override;
  Rect GetWindowRect() const override;
  void SetWindowPos(int32_t x, int32_t y) override;
  bool GetMonitorWorkArea(Rect* work) const override;
  void SetIcon(int which, const IconImage& icon) override;
  void ShowWindow(int showCommand) override;
  void SetWindowText(const char* title) override;
  void DestroyWindow() override;
  LRESULT DefWindowProc(uint32_t message, WPARAM wParam, LPARAM lParam) override;

  void InvalidateRect(const Rect* rect, bool erase) override;
  void SetRedraw(bool redraw) override;
  DeviceContext* BeginPaint(Rect* paintRect) override;
  void EndPaint() override;

  void SetCapture() override;
  void ReleaseCapture() override;
  bool HasCapture() const override { return alive_ && captured_; }
  Point ScreenToClient(Point screen) const override;
  Point ClientToScreen(Point client) const override;

  HRESULT ExtendFrameIntoClientArea(const Margins&) override { return S_OK; }

  HRESULT RegisterDragDrop(IDropTarget* target) override;
  HRESULT RevokeDragDrop() override;

  Toolbar* CreateToolbar(const Rect& rect, uint32_t style) override;

  // The widget, for tests and for the backend; null once destroyed.
  QWidget* Widget() const { return alive_ ? widget_.data() : nullptr; }

  // Sends a message straight to the handler (what SendMessage does).
  LRESULT Send(uint32_t message, WPARAM wParam, LPARAM lParam);
  // Delivers a queued message: the loop's filters first, then the handler.
  void Dispatch(uint32_t message, WPARAM wParam, LPARAM lParam);
  // Shows this cursor shape over the client area (the toolbar keeps its own).
  void ApplyCursor(Qt::CursorShape shape);
  // Sends WM_CREATE; false when the handler refused the window.
  bool Create(const Rect& rect, const char* title, uint32_t style);

 private:
  friend class WindowWidget;

  void OnPaint(QWidget& widget, const QRegion& region);
  void OnResize();
  void OnWindowStateChange(Qt::WindowStates oldState);
  void OnMouse(QMouseEvent* event, uint32_t message);
  void EndCapture();
  bool OnDrag(QDropEvent* event, uint32_t stage);
  void OnDragLeave();
  void EndDrag();
  void ClearDropTarget();

  QtPlatform& platform_;
  WindowHandler* handler_;
  QPointer<WindowWidget> widget_;
  std::unique_ptr<QtToolbar> toolbar_;
  bool alive_ = true;
  bool pendingShow_ = false;
  QIcon icon_;

  // Painting: what the program asked to repaint without erasing, and
  // whether an erase is pending for the whole update (as on the classic
  // system, one erase request covers the whole update region).
  QRegion noErase_;
  bool eraseAll_ = true;
  QtDeviceContext* paintDc_ = nullptr;
  QRect paintRect_;

  bool captured_ = false;
  bool grabbed_ = false;  // captured without a pressed button: an explicit grab

  IDropTarget* dropTarget_ = nullptr;
  QtDataObject* dragData_ = nullptr;
};

}  // namespace platform::qt
