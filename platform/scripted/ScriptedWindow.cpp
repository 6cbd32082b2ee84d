#include "platform/scripted/ScriptedWindow.h"

#include <algorithm>

#include "platform/scripted/ScriptedPlatform.h"

namespace platform::scripted {

namespace {

Rect Intersect(const Rect& a, const Rect& b) {
  return Rect{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
              std::min(a.bottom, b.bottom)};
}

Rect Union(const Rect& a, const Rect& b) {
  return Rect{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
              std::max(a.bottom, b.bottom)};
}

}  // namespace

ScriptedWindow::ScriptedWindow(ScriptedPlatform& platform, WindowHandler* handler,
                               const Rect& rect, const char* title_, uint32_t style_)
    : surface(0, 0, kUnpainted),
      title(title_ ? title_ : ""),
      style(style_),
      platform_(platform),
      handler_(handler),
      windowRect_(rect),
      dc_(&surface, Point{}) {
  const ScriptedConfig& c = platform_.config;
  SetClientSize(rect.Width() - 2 * c.frameX, rect.Height() - c.captionHeight - 2 * c.frameY);
}

void ScriptedWindow::SetClientSize(int32_t w, int32_t h) {
  clientWidth_ = std::max(w, 0);
  clientHeight_ = std::max(h, 0);
  surface.Resize(clientWidth_, clientHeight_, kUnpainted);
  invalid_.reset();
  erasePending_ = false;
}

LRESULT ScriptedWindow::Send(uint32_t message, WPARAM wParam, LPARAM lParam) {
  if (!alive_ || !handler_) return 0;
  return handler_->WindowProc(*this, message, wParam, lParam);
}

void ScriptedWindow::SetWindowPos(int32_t x, int32_t y) {
  const int32_t w = windowRect_.Width(), h = windowRect_.Height();
  windowRect_ = Rect{x, y, x + w, y + h};
}

bool ScriptedWindow::GetMonitorWorkArea(Rect* work) const {
  if (!platform_.config.hasWorkArea || !work) return false;
  *work = platform_.config.workArea;
  return true;
}

void ScriptedWindow::SetIcon(int which, const IconImage& icon) {
  icons.push_back(IconRecord{which, icon.width, icon.height});
}

void ScriptedWindow::ShowWindow(int showCommand) {
  showCommands.push_back(showCommand);
  platform_.calls.push_back("ShowWindow(" + std::to_string(showCommand) + ")");
  if (showCommand == SW_SHOWMAXIMIZED) {
    const Rect& work = platform_.config.workArea;
    windowRect_ = Rect{work.left - platform_.config.frameX, work.top - platform_.config.frameY,
                       work.right + platform_.config.frameX,
                       work.bottom + platform_.config.frameY};
    Resize(work.Width(), work.Height() - platform_.config.captionHeight);
  } else if (showCommand == SW_SHOWMINIMIZED || showCommand == SW_SHOWMINNOACTIVE) {
    Minimise();
  }
}

void ScriptedWindow::DestroyWindow() {
  if (!alive_) return;
  ++destroyMessages;
  Send(WM_DESTROY, 0, 0);
  alive_ = false;
  if (platform_.captured == this) platform_.captured = nullptr;
  // A window that forgot to revoke still drops the registration's reference.
  if (dropTarget_) {
    dropTarget_->Release();
    dropTarget_ = nullptr;
  }
}

LRESULT ScriptedWindow::DefWindowProc(uint32_t message, WPARAM wParam, LPARAM lParam) {
  defaultMessages.push_back(message);
  switch (message) {
    case WM_SETCURSOR:
      // The class cursor is the arrow.
      if (LOWORD(uintptr_t(lParam)) == HTCLIENT) {
        platform_.SetCursor(platform_.LoadCursor(CursorId::Arrow));
        return 1;
      }
      return 0;
    case WM_CLOSE:
      DestroyWindow();
      return 0;
    case WM_ERASEBKGND: {
      // The class brush is the button face.
      auto* dc = reinterpret_cast<DeviceContext*>(wParam);
      if (dc) dc->FillSolidRect(GetClientRect(), platform_.config.buttonFace);
      return 1;
    }
    default:
      (void)wParam;
      return 0;
  }
}

void ScriptedWindow::InvalidateRect(const Rect* rect, bool erase) {
  InvalidationRecord record;
  if (rect) record.rect = *rect;
  record.erase = erase;
  record.suppressed = !redraw || !alive_;
  invalidations.push_back(record);
  if (record.suppressed) return;
  const Rect area = Intersect(rect ? *rect : GetClientRect(), GetClientRect());
  if (area.Empty()) return;
  invalid_ = invalid_ ? Union(*invalid_, area) : area;
  erasePending_ = erasePending_ || erase;
}

void ScriptedWindow::SetRedraw(bool on) { redraw = on; }

void ScriptedWindow::Validate() {
  invalid_.reset();
  erasePending_ = false;
}

bool ScriptedWindow::UpdateWindow() {
  if (!alive_ || !invalid_) return false;
  paintRect_ = *invalid_;
  const bool erase = erasePending_;
  Validate();
  if (erase) {
    ++erases;
    Send(WM_ERASEBKGND, reinterpret_cast<WPARAM>(static_cast<DeviceContext*>(&dc_)), 0);
  }
  ++paints;
  paintRects.push_back(paintRect_);
  inPaint_ = true;
  Send(WM_PAINT, 0, 0);
  inPaint_ = false;
  return true;
}

DeviceContext* ScriptedWindow::BeginPaint(Rect* paintRect) {
  if (!inPaint_) return nullptr;
  if (paintRect) *paintRect = paintRect_;
  return &dc_;
}

void ScriptedWindow::EndPaint() {}

void ScriptedWindow::SetCapture() {
  captureLog.push_back("set");
  platform_.captured = this;
}

void ScriptedWindow::ReleaseCapture() {
  captureLog.push_back("release");
  platform_.captured = nullptr;
}

bool ScriptedWindow::HasCapture() const { return platform_.captured == this; }

Point ScriptedWindow::ScreenOfClientOrigin() const {
  const ScriptedConfig& c = platform_.config;
  return Point{windowRect_.left + c.frameX, windowRect_.top + c.frameY + c.captionHeight};
}

Point ScriptedWindow::ScreenToClient(Point screen) const {
  const Point o = ScreenOfClientOrigin();
  return Point{screen.x - o.x, screen.y - o.y};
}

Point ScriptedWindow::ClientToScreen(Point client) const {
  const Point o = ScreenOfClientOrigin();
  return Point{client.x + o.x, client.y + o.y};
}

HRESULT ScriptedWindow::ExtendFrameIntoClientArea(const Margins& margins) {
  frameExtensions.push_back(margins);
  return platform_.config.composition ? S_OK : E_FAIL;
}

HRESULT ScriptedWindow::RegisterDragDrop(IDropTarget* target) {
  if (!target || !alive_) return E_FAIL;
  if (dropTarget_) return E_FAIL;  // already registered
  target->AddRef();
  dropTarget_ = target;
  ++registrations;
  return S_OK;
}

HRESULT ScriptedWindow::RevokeDragDrop() {
  if (!dropTarget_) return E_FAIL;
  dropTarget_->Release();
  dropTarget_ = nullptr;
  ++revocations;
  return S_OK;
}

Toolbar* ScriptedWindow::CreateToolbar(const Rect& rect, uint32_t toolbarStyle) {
  if (toolbar_) return nullptr;
  toolbar_ = std::make_unique<ScriptedToolbar>(*this, rect, toolbarStyle);
  return toolbar_.get();
}

void ScriptedWindow::Resize(int32_t w, int32_t h) {
  const ScriptedConfig& c = platform_.config;
  SetClientSize(w, h);
  windowRect_.right = windowRect_.left + clientWidth_ + 2 * c.frameX;
  windowRect_.bottom = windowRect_.top + clientHeight_ + c.captionHeight + 2 * c.frameY;
  Send(WM_SIZE, SIZE_RESTORED, MAKELPARAM(clientWidth_, clientHeight_));
}

void ScriptedWindow::Minimise() {
  restoreWidth_ = clientWidth_;
  restoreHeight_ = clientHeight_;
  SetClientSize(0, 0);
  Send(WM_SIZE, SIZE_MINIMIZED, MAKELPARAM(0, 0));
}

void ScriptedWindow::Restore() { Resize(restoreWidth_, restoreHeight_); }

void ScriptedWindow::SetCursorPos(int32_t x, int32_t y) {
  platform_.cursorPos = ClientToScreen(Point{x, y});
}

bool ScriptedWindow::MouseMove(int32_t x, int32_t y) {
  const bool captured = HasCapture();
  if (!captured && !(x >= 0 && y >= 0 && x < clientWidth_ && y < clientHeight_)) return false;
  SetCursorPos(x, y);
  if (!captured)
    Send(WM_SETCURSOR, reinterpret_cast<WPARAM>(Handle()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  Send(WM_MOUSEMOVE, buttonDown_ ? MK_LBUTTON : 0, MAKELPARAM(x, y));
  return true;
}

void ScriptedWindow::LButtonDown(int32_t x, int32_t y) {
  SetCursorPos(x, y);
  if (!HasCapture())
    Send(WM_SETCURSOR, reinterpret_cast<WPARAM>(Handle()), MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN));
  buttonDown_ = true;
  Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
}

void ScriptedWindow::LButtonUp(int32_t x, int32_t y) {
  SetCursorPos(x, y);
  buttonDown_ = false;
  Send(WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

void ScriptedWindow::DoubleClick(int32_t x, int32_t y) {
  LButtonDown(x, y);
  LButtonUp(x, y);
  buttonDown_ = true;
  Send(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(x, y));
  LButtonUp(x, y);
}

LRESULT ScriptedWindow::Command(int32_t id) { return Send(WM_COMMAND, MAKEWPARAM(id, 0), 0); }

LRESULT ScriptedWindow::Close() { return Send(WM_CLOSE, 0, 0); }

LRESULT ScriptedWindow::SetComposition(bool enabled) {
  platform_.config.composition = enabled;
  return Send(WM_DWMCOMPOSITIONCHANGED, 0, 0);
}

DragResult ScriptedWindow::DragEnter(IDataObject* data, Point client, uint32_t allowed,
                                     uint32_t keyState) {
  DragResult r;
  if (!dropTarget_) return r;
  r.effect = allowed;
  r.hr = dropTarget_->DragEnter(data, keyState, ClientToScreen(client), &r.effect);
  return r;
}

DragResult ScriptedWindow::DragOver(Point client, uint32_t allowed, uint32_t keyState) {
  DragResult r;
  if (!dropTarget_) return r;
  r.effect = allowed;
  r.hr = dropTarget_->DragOver(keyState, ClientToScreen(client), &r.effect);
  return r;
}

HRESULT ScriptedWindow::DragLeave() { return dropTarget_ ? dropTarget_->DragLeave() : E_FAIL; }

DragResult ScriptedWindow::Drop(IDataObject* data, Point client, uint32_t allowed,
                                uint32_t keyState) {
  DragResult r;
  if (!dropTarget_) return r;
  r.effect = allowed;
  r.hr = dropTarget_->Drop(data, keyState, ClientToScreen(client), &r.effect);
  return r;
}

void ScriptedWindow::ClearLogs() {
  surface.ClearRecords();
  invalidations.clear();
  paintRects.clear();
  erases = 0;
  paints = 0;
  frameExtensions.clear();
  defaultMessages.clear();
  captureLog.clear();
  icons.clear();
  showCommands.clear();
  if (toolbar_) toolbar_->moves.clear();
}

}  // namespace platform::scripted
