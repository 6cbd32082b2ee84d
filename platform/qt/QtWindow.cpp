#include "platform/qt/QtWindow.h"

#include <algorithm>

#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDragLeaveEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>
#include <QPixmap>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QWindowStateChangeEvent>

#include "platform/qt/QtDataObject.h"
#include "platform/qt/QtDeviceContext.h"
#include "platform/qt/QtPlatform.h"
#include "platform/qt/QtToolbar.h"

namespace platform::qt {

namespace {

constexpr HRESULT E_INVALIDARG = int32_t(0x80070057u);
constexpr HRESULT DRAGDROP_E_NOTREGISTERED = int32_t(0x80040100u);
constexpr HRESULT DRAGDROP_E_ALREADYREGISTERED = int32_t(0x80040101u);
constexpr HRESULT DRAGDROP_E_INVALIDHWND = int32_t(0x80040102u);

// Drag stages for OnDrag.
constexpr uint32_t kDragEnter = 0;
constexpr uint32_t kDragOver = 1;
constexpr uint32_t kDrop = 2;

int16_t ClampWord(int value) { return int16_t(std::clamp(value, -32768, 32767)); }

LPARAM PackPoint(const QPoint& p) { return MAKELPARAM(ClampWord(p.x()), ClampWord(p.y())); }

uint32_t KeyState(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) {
  uint32_t keys = 0;
  if (buttons & Qt::LeftButton) keys |= MK_LBUTTON;
  if (buttons & Qt::RightButton) keys |= MK_RBUTTON;
  if (buttons & Qt::MiddleButton) keys |= MK_MBUTTON;
  if (modifiers & Qt::ShiftModifier) keys |= MK_SHIFT;
  if (modifiers & Qt::ControlModifier) keys |= MK_CONTROL;
  if (modifiers & Qt::AltModifier) keys |= MK_ALT;
  return keys;
}

uint32_t ToEffects(Qt::DropActions actions) {
  uint32_t effects = DROPEFFECT_NONE;
  if (actions & Qt::CopyAction) effects |= DROPEFFECT_COPY;
  if (actions & Qt::MoveAction) effects |= DROPEFFECT_MOVE;
  if (actions & Qt::LinkAction) effects |= DROPEFFECT_LINK;
  return effects;
}

Rect ToRect(const QRect& r) { return Rect{r.x(), r.y(), r.x() + r.width(), r.y() + r.height()}; }

QStyle* Style() { return QApplication::style(); }

}  // namespace

int32_t FrameThickness() { return std::max(1, Style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth)); }

int32_t CaptionHeight() { return std::max(1, Style()->pixelMetric(QStyle::PM_TitleBarHeight)); }

// ---------------------------------------------------------------------------

WindowWidget::WindowWidget(QtWindow* owner) : owner_(owner) {
  // The program paints every pixel itself (erase, then paint), so Qt must
  // neither fill the background first nor keep a system background.
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_NoSystemBackground);
  setAutoFillBackground(false);
  setMouseTracking(true);
}

WindowWidget::~WindowWidget() { owner_ = nullptr; }

void WindowWidget::paintEvent(QPaintEvent* event) {
  if (owner_) owner_->OnPaint(*this, event->region());
}

void WindowWidget::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (owner_) owner_->OnResize();
}

void WindowWidget::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  // A window coming on screen is invalid as a whole, background included.
  if (owner_) owner_->eraseAll_ = true;
}

void WindowWidget::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  if (owner_) owner_->EndCapture();
}

void WindowWidget::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (!owner_) return;
  if (event->type() == QEvent::WindowStateChange) {
    owner_->OnWindowStateChange(static_cast<QWindowStateChangeEvent*>(event)->oldState());
  } else if (event->type() == QEvent::ActivationChange && !isActiveWindow()) {
    owner_->EndCapture();
  }
}

void WindowWidget::closeEvent(QCloseEvent* event) {
  // Closing is the program's decision: it answers WM_CLOSE by destroying
  // the window (and quitting) or by keeping it.
  event->ignore();
  if (owner_) owner_->Send(WM_CLOSE, 0, 0);
}

void WindowWidget::focusOutEvent(QFocusEvent* event) {
  QWidget::focusOutEvent(event);
  if (owner_ && !isActiveWindow()) owner_->EndCapture();
}

void WindowWidget::mouseMoveEvent(QMouseEvent* event) {
  if (owner_) owner_->OnMouse(event, WM_MOUSEMOVE);
}

void WindowWidget::mousePressEvent(QMouseEvent* event) {
  if (owner_) owner_->OnMouse(event, WM_LBUTTONDOWN);
}

void WindowWidget::mouseReleaseEvent(QMouseEvent* event) {
  if (owner_) owner_->OnMouse(event, WM_LBUTTONUP);
}

void WindowWidget::mouseDoubleClickEvent(QMouseEvent* event) {
  if (owner_) owner_->OnMouse(event, WM_LBUTTONDBLCLK);
}

void WindowWidget::dragEnterEvent(QDragEnterEvent* event) {
  if (!owner_ || !owner_->OnDrag(event, kDragEnter)) event->ignore();
}

void WindowWidget::dragMoveEvent(QDragMoveEvent* event) {
  if (!owner_ || !owner_->OnDrag(event, kDragOver)) event->ignore();
}

void WindowWidget::dragLeaveEvent(QDragLeaveEvent* event) {
  if (owner_) owner_->OnDragLeave();
  event->accept();
}

void WindowWidget::dropEvent(QDropEvent* event) {
  if (!owner_ || !owner_->OnDrag(event, kDrop)) event->ignore();
}

// ---------------------------------------------------------------------------

QtWindow::QtWindow(QtPlatform& platform, WindowHandler* handler, const Rect& rect,
                   const char* title)
    : platform_(platform), handler_(handler), widget_(new WindowWidget(this)) {
  widget_->setWindowTitle(QString::fromUtf8(title ? title : ""));
  const int frame = FrameThickness();
  const int caption = CaptionHeight();
  widget_->setGeometry(rect.left + frame, rect.top + caption + frame,
                       std::max(1, rect.Width() - 2 * frame),
                       std::max(1, rect.Height() - caption - 2 * frame));
}

QtWindow::~QtWindow() {
  ClearDropTarget();
  EndDrag();
  // The widget first (also one of a destroyed window still waiting for
  // deletion): its toolbar buttons report to the toolbar object.
  delete widget_.data();
  toolbar_.reset();
}

bool QtWindow::Create(const Rect& rect, const char* title, uint32_t style) {
  CREATESTRUCT create;
  create.rect = rect;
  create.title = title;
  create.style = style;
  if (Send(WM_CREATE, 0, reinterpret_cast<LPARAM>(&create)) == -1) {
    DestroyWindow();
    return false;
  }
  if ((style & WS_VISIBLE) && alive_) {
    // A window made visible by its style appears once the loop runs, unless
    // the program shows it its own way first.
    pendingShow_ = true;
    QTimer::singleShot(0, widget_.data(), [this] {
      if (pendingShow_) ShowWindow(SW_SHOW);
    });
  }
  return alive_;
}

LRESULT QtWindow::Send(uint32_t message, WPARAM wParam, LPARAM lParam) {
  if (!alive_ || !handler_) return 0;
  return handler_->WindowProc(*this, message, wParam, lParam);
}

void QtWindow::Dispatch(uint32_t message, WPARAM wParam, LPARAM lParam) {
  if (!alive_) return;
  if (platform_.PreTranslate(*this, message, wParam, lParam)) return;
  Send(message, wParam, lParam);
}

Rect QtWindow::GetClientRect() const {
  if (!Widget() || widget_->isMinimized()) return Rect{};
  return Rect{0, 0, widget_->width(), widget_->height()};
}

Rect QtWindow::GetWindowRect() const {
  if (!Widget()) return Rect{};
  const QRect client = widget_->geometry();
  const int frame = FrameThickness();
  const int caption = CaptionHeight();
  return Rect{client.x() - frame, client.y() - caption - frame,
              client.x() + client.width() + frame, client.y() + client.height() + frame};
}

void QtWindow::SetWindowPos(int32_t x, int32_t y) {
  if (!Widget()) return;
  const int frame = FrameThickness();
  // Placing the client rather than the frame (QWidget::move) keeps window
  // rectangles consistent with the frame estimates.
  widget_->setGeometry(QRect(QPoint(x + frame, y + CaptionHeight() + frame), widget_->size()));
}

bool QtWindow::GetMonitorWorkArea(Rect* work) const {
  if (!work || !Widget()) return false;
  QScreen* screen = QGuiApplication::screenAt(widget_->geometry().center());
  if (!screen) screen = widget_->screen();
  if (!screen) screen = QGuiApplication::primaryScreen();
  if (!screen) return false;
  *work = ToRect(screen->availableGeometry());
  return true;
}

void QtWindow::SetIcon(int which, const IconImage& icon) {
  if (!Widget() || (which != ICON_BIG && which != ICON_SMALL)) return;
  if (!icon.rgba || icon.width <= 0 || icon.height <= 0 || icon.width > 1024 ||
      icon.height > 1024)
    return;
  const QImage image(icon.rgba, icon.width, icon.height, icon.width * 4,
                     QImage::Format_RGBA8888);
  icon_.addPixmap(QPixmap::fromImage(image));  // fromImage copies the caller's rows
  widget_->setWindowIcon(icon_);
}

void QtWindow::ShowWindow(int showCommand) {
  if (!Widget()) return;
  pendingShow_ = false;
  switch (showCommand) {
    case SW_HIDE:
      widget_->hide();
      break;
    case SW_SHOWMINIMIZED:
    case SW_SHOWMINNOACTIVE:
      widget_->showMinimized();
      break;
    case SW_SHOWMAXIMIZED:
      widget_->showMaximized();
      break;
    case SW_SHOWNORMAL:
      widget_->showNormal();
      break;
    default:  // SW_SHOW, SW_SHOWDEFAULT and the rest
      widget_->show();
      break;
  }
}

void QtWindow::SetWindowText(const char* title) {
  if (Widget()) widget_->setWindowTitle(QString::fromUtf8(title ? title : ""));
}

void QtWindow::DestroyWindow() {
  if (!alive_) return;
  Send(WM_DESTROY, 0, 0);
  EndCapture();
  EndDrag();
  // A registration the program did not revoke dies with the window.
  ClearDropTarget();
  alive_ = false;
  pendingShow_ = false;
  if (widget_) {
    widget_->Detach();
    widget_->hide();
    widget_->deleteLater();
  }
}

LRESULT QtWindow::DefWindowProc(uint32_t message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_CLOSE:
      DestroyWindow();
      return 0;
    case WM_SETCURSOR:
      platform_.SetCursor(platform_.LoadCursor(CursorId::Arrow));
      return 1;
    case WM_ERASEBKGND:
      // The class background of the classic system: the button face.
      if (auto* dc = reinterpret_cast<DeviceContext*>(wParam)) {
        dc->FillSolidRect(GetClientRect(), platform_.GetSysColor(COLOR_BTNFACE));
        return 1;
      }
      return 0;
    default:
      return 0;
  }
}

// --- painting ---------------------------------------------------------------

void QtWindow::InvalidateRect(const Rect* rect, bool erase) {
  if (!Widget()) return;
  const QRect area = rect ? QtDeviceContext::ToQRect(*rect) : widget_->rect();
  if (area.isEmpty()) return;
  if (erase) {
    eraseAll_ = true;
  } else {
    noErase_ += area;
  }
  widget_->update(area);
}

void QtWindow::SetRedraw(bool redraw) {
  if (Widget()) widget_->setUpdatesEnabled(redraw);
}

DeviceContext* QtWindow::BeginPaint(Rect* paintRect) {
  if (paintDc_) {
    if (paintRect) *paintRect = ToRect(paintRect_);
    return paintDc_;
  }
  // Outside a paint there is nothing to paint on: an inert context.
  static QtDeviceContext inert(nullptr);
  if (paintRect) *paintRect = Rect{};
  return &inert;
}

void QtWindow::EndPaint() {}

void QtWindow::OnPaint(QWidget& widget, const QRegion& region) {
  const bool erase = eraseAll_ || !(region - noErase_).isEmpty();
  eraseAll_ = false;
  noErase_ -= region;
  if (platform_.PreTranslate(*this, WM_PAINT, 0, 0)) return;

  QPainter painter(&widget);
  QtDeviceContext dc(&painter);
  paintDc_ = &dc;
  paintRect_ = region.boundingRect();
  if (erase) Send(WM_ERASEBKGND, reinterpret_cast<WPARAM>(static_cast<DeviceContext*>(&dc)), 0);
  Send(WM_PAINT, 0, 0);
  paintDc_ = nullptr;
}

void QtWindow::OnResize() {
  eraseAll_ = true;
  if (widget_->isMinimized()) return;  // reported as 0 x 0 when it became minimised
  Send(WM_SIZE, 0, MAKELPARAM(widget_->width(), widget_->height()));
}

void QtWindow::OnWindowStateChange(Qt::WindowStates oldState) {
  const bool minimised = widget_->isMinimized();
  const bool wasMinimised = oldState & Qt::WindowMinimized;
  if (minimised && !wasMinimised) {
    EndCapture();
    Send(WM_SIZE, 1, MAKELPARAM(0, 0));
  } else if (!minimised && wasMinimised) {
    eraseAll_ = true;
    Send(WM_SIZE, 0, MAKELPARAM(widget_->width(), widget_->height()));
  }
}

// --- mouse ------------------------------------------------------------------

void QtWindow::OnMouse(QMouseEvent* event, uint32_t message) {
  const QPoint point = event->position().toPoint();
  const WPARAM keys = KeyState(event->buttons(), event->modifiers());
  const QPoint global = event->globalPosition().toPoint();
  const Point screen{global.x(), global.y()};
  platform_.SetEventCursorPos(&screen);
  if (message == WM_MOUSEMOVE) {
    // Without capture only moves over the client area count; Qt also
    // reports moves outside while a button is held.
    const bool deliver = captured_ || widget_->rect().contains(point);
    if (deliver && !captured_)
      Send(WM_SETCURSOR, reinterpret_cast<WPARAM>(Handle()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    if (deliver) Dispatch(WM_MOUSEMOVE, keys, PackPoint(point));
  } else if (event->button() == Qt::LeftButton) {
    Dispatch(message, keys, PackPoint(point));
    // Capture rides on Qt's implicit grab, which ends with the last button.
    if (message == WM_LBUTTONUP && captured_ && !grabbed_ && event->buttons() == Qt::NoButton)
      EndCapture();
  }
  platform_.SetEventCursorPos(nullptr);
}

void QtWindow::SetCapture() {
  if (!Widget()) return;
  if (captured_) return;
  captured_ = true;
  if (QGuiApplication::mouseButtons() == Qt::NoButton) {
    widget_->grabMouse();
    grabbed_ = true;
  }
}

void QtWindow::ReleaseCapture() { EndCapture(); }

void QtWindow::EndCapture() {
  if (grabbed_ && widget_) widget_->releaseMouse();
  grabbed_ = false;
  captured_ = false;
}

Point QtWindow::ScreenToClient(Point screen) const {
  if (!Widget()) return screen;
  const QPoint p = widget_->mapFromGlobal(QPoint(screen.x, screen.y));
  return Point{p.x(), p.y()};
}

Point QtWindow::ClientToScreen(Point client) const {
  if (!Widget()) return client;
  const QPoint p = widget_->mapToGlobal(QPoint(client.x, client.y));
  return Point{p.x(), p.y()};
}

void QtWindow::ApplyCursor(Qt::CursorShape shape) {
  if (!Widget()) return;
  if (widget_->testAttribute(Qt::WA_SetCursor) && widget_->cursor().shape() == shape) return;
  widget_->setCursor(shape);
}

// --- drag and drop ----------------------------------------------------------

HRESULT QtWindow::RegisterDragDrop(IDropTarget* target) {
  if (!target) return E_INVALIDARG;
  if (!Widget()) return DRAGDROP_E_INVALIDHWND;
  if (dropTarget_) return DRAGDROP_E_ALREADYREGISTERED;
  target->AddRef();
  dropTarget_ = target;
  widget_->setAcceptDrops(true);
  return S_OK;
}

HRESULT QtWindow::RevokeDragDrop() {
  if (!dropTarget_) return DRAGDROP_E_NOTREGISTERED;
  ClearDropTarget();
  return S_OK;
}

void QtWindow::ClearDropTarget() {
  if (!dropTarget_) return;
  IDropTarget* target = dropTarget_;
  dropTarget_ = nullptr;
  if (widget_) widget_->setAcceptDrops(false);
  target->Release();
}

bool QtWindow::OnDrag(QDropEvent* event, uint32_t stage) {
  if (!dropTarget_) return false;
  if (stage == kDragEnter) {
    EndDrag();
    dragData_ = new QtDataObject(event->mimeData());
  } else if (!dragData_) {
    return false;  // no enter seen: not our drag
  }
  const QPoint global = widget_->mapToGlobal(event->position().toPoint());
  const Point point{global.x(), global.y()};
  const uint32_t keys = KeyState(event->buttons(), event->modifiers());
  uint32_t effect = ToEffects(event->possibleActions());

  // The target may revoke itself or end the drag while it runs.
  IDropTarget* target = dropTarget_;
  QtDataObject* data = dragData_;
  target->AddRef();
  data->AddRef();
  HRESULT result = E_FAIL;
  if (stage == kDragEnter) {
    result = target->DragEnter(data, keys, point, &effect);
  } else if (stage == kDragOver) {
    result = target->DragOver(keys, point, &effect);
  } else {
    result = target->Drop(data, keys, point, &effect);
  }
  data->Release();
  target->Release();
  if (stage == kDrop) EndDrag();

  const bool copy = result == S_OK && (effect & DROPEFFECT_COPY);
  if (stage == kDragEnter) {
    // Qt routes the drag's moves and drop only to a widget that accepted
    // the enter, and a drag that comes in over a refusing spot can still
    // reach one that takes it; the refusal is told by the action, and the
    // move Qt sends right after the enter gives the answer.
    event->setDropAction(copy ? Qt::CopyAction : Qt::IgnoreAction);
    event->accept();
    return true;
  }
  if (!copy) return false;
  event->setDropAction(Qt::CopyAction);
  // A plain accept answers for this point only, so Qt keeps asking as the
  // pointer moves; the effect depends on what lies under it.
  event->accept();
  return true;
}

void QtWindow::OnDragLeave() {
  if (!dragData_) return;
  if (IDropTarget* target = dropTarget_) {
    target->AddRef();
    target->DragLeave();
    target->Release();
  }
  EndDrag();
}

void QtWindow::EndDrag() {
  if (!dragData_) return;
  dragData_->Detach();
  dragData_->Release();
  dragData_ = nullptr;
}

// --- toolbar ----------------------------------------------------------------

Toolbar* QtWindow::CreateToolbar(const Rect& rect, uint32_t style) {
  if (!Widget()) return nullptr;
  if (!toolbar_) toolbar_ = std::make_unique<QtToolbar>(*this, widget_.data(), rect, style);
  return toolbar_.get();
}

}  // namespace platform::qt
