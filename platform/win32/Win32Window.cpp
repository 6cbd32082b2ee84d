#include "platform/win32/Win32Window.h"

#include <windows.h>
#include <commctrl.h>
#include <ole2.h>
#include <windowsx.h>

#include <algorithm>

#include "platform/win32/Composition.h"
#include "platform/win32/DropTarget.h"
#include "platform/win32/MessageLoop.h"
#include "platform/win32/Win32Canvas.h"
#include "platform/win32/Win32TextPanel.h"
#include "platform/win32/WideText.h"

namespace platform::win32 {

namespace {

constexpr wchar_t kWindowClass[] = L"Tessary.MainWindow";
constexpr UINT kIdleRequest = WM_APP + 1;
#ifndef WM_DPICHANGED
constexpr UINT WM_DPICHANGED = 0x02E0;
#endif

Rect ToRect(const RECT& r) { return Rect{r.left, r.top, r.right, r.bottom}; }
RECT ToRECT(const Rect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

Point PointOf(LPARAM lParam) { return Point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }

uint32_t ModifiersNow() {
  uint32_t m = 0;
  if (GetKeyState(VK_SHIFT) < 0) m |= kShift;
  if (GetKeyState(VK_CONTROL) < 0) m |= kControl;
  if (GetKeyState(VK_MENU) < 0) m |= kAlt;
  return m;
}

Key ToKey(WPARAM vk) {
  if (vk >= 'A' && vk <= 'Z') return Key(uint32_t(vk));
  if (vk >= '0' && vk <= '9') return Key(uint32_t(vk));
  if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9) return Digit(int(vk - VK_NUMPAD0));
  switch (vk) {
    case VK_TAB: return Key::Tab;
    case VK_RETURN: return Key::Enter;
    case VK_SPACE: return Key::Space;
    case VK_ESCAPE: return Key::Escape;
    case VK_DELETE: return Key::Delete;
    case VK_BACK: return Key::Backspace;
    case VK_LEFT: return Key::Left;
    case VK_RIGHT: return Key::Right;
    case VK_UP: return Key::Up;
    case VK_DOWN: return Key::Down;
    case VK_PRIOR: return Key::PageUp;
    case VK_NEXT: return Key::PageDown;
    case VK_HOME: return Key::Home;
    case VK_END: return Key::End;
    case VK_ADD:
    case VK_OEM_PLUS: return Key::Plus;  // + shares its key with = on most layouts
    case VK_SUBTRACT:
    case VK_OEM_MINUS: return Key::Minus;
    case VK_F1: return Key::F1;
    case VK_APPS: return Key::Menu;
    case VK_OEM_4: return Key::BracketLeft;  // [ on US and many other layouts
    case VK_OEM_6: return Key::BracketRight;
    default: return Key::Other;
  }
}

// Shift+Tab arrives as Backtab, as the layer's other desktops report it.
KeyEvent ToKeyEvent(WPARAM vk) {
  KeyEvent key{ToKey(vk), ModifiersNow()};
  if (key.key == Key::Tab && (key.modifiers & kShift)) key.key = Key::Backtab;
  return key;
}

Button ButtonOf(UINT message) {
  switch (message) {
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK: return Button::Right;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK: return Button::Middle;
    default: return Button::Left;
  }
}

uint32_t ModifiersOf(WPARAM keys) {
  uint32_t m = 0;
  if (keys & MK_SHIFT) m |= kShift;
  if (keys & MK_CONTROL) m |= kControl;
  if (GetKeyState(VK_MENU) < 0) m |= kAlt;
  return m;
}

HCURSOR SystemCursor(LPCWSTR id) { return LoadCursorW(nullptr, id); }

HCURSOR CursorFor(CursorShape shape) {
  switch (shape) {
    case CursorShape::Hand: return SystemCursor(IDC_HAND);
    case CursorShape::Move: return SystemCursor(IDC_SIZEALL);
    case CursorShape::SizeHorizontal: return SystemCursor(IDC_SIZEWE);
    case CursorShape::SizeVertical: return SystemCursor(IDC_SIZENS);
    case CursorShape::SizeDiagonal: return SystemCursor(IDC_SIZENWSE);
    case CursorShape::SizeAntiDiagonal: return SystemCursor(IDC_SIZENESW);
    default: return SystemCursor(IDC_ARROW);
  }
}

// The message being handled, for handlers that need more than its two
// parameters (which button a press is of).
thread_local UINT currentMessage = 0;

}  // namespace

// --- the window procedure ------------------------------------------------------

struct WindowProcedure {
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* window = reinterpret_cast<Win32Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (message == WM_NCCREATE) {
      window = static_cast<Win32Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
      window->hwnd_ = hwnd;
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
    }
    if (!window) return DefWindowProcW(hwnd, message, wParam, lParam);
    const UINT outer = currentMessage;
    currentMessage = message;
    const LRESULT result = window->HandleMessage(message, wParam, lParam);
    currentMessage = outer;
    if (message == WM_NCDESTROY) {
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
      window->hwnd_ = nullptr;
      window->toolbar_ = nullptr;
    }
    return result;
  }

  static bool Register() {
    static const bool registered = [] {
      WNDCLASSEXW wc{};
      wc.cbSize = sizeof wc;
      // Double clicks are part of editing; the whole window is painted anew
      // whenever its size changes.
      wc.style = CS_OWNDC | CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
      wc.lpfnWndProc = Procedure;
      wc.hInstance = GetModuleHandleW(nullptr);
      wc.hCursor = SystemCursor(IDC_ARROW);
      wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);  // never used: we erase
      wc.lpszClassName = kWindowClass;
      return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    }();
    return registered;
  }
};

// --- the message table ------------------------------------------------------------

const MessageRow<Win32Window> Win32Window::kMessageTable[] = {
    {WM_NOTIFY, &Win32Window::IsCustomDrawFromToolbar, &Win32Window::OnToolbarCustomDraw},
    {WM_SETCURSOR, nullptr, &Win32Window::OnSetCursorMessage},
    {WM_ERASEBKGND, nullptr, &Win32Window::OnEraseBackground},
    {WM_PAINT, nullptr, &Win32Window::OnPaintMessage},
    {WM_SIZE, nullptr, &Win32Window::OnSizeMessage},
    {WM_MOUSEMOVE, nullptr, &Win32Window::OnMouseMoveMessage},
    {WM_LBUTTONUP, nullptr, &Win32Window::OnButtonUp},
    {WM_LBUTTONDOWN, nullptr, &Win32Window::OnButtonDown},
    {WM_LBUTTONDBLCLK, nullptr, &Win32Window::OnButtonDoubleClick},
    {WM_COMMAND, &Win32Window::IsToolbarCommand, &Win32Window::OnToolbarCommand},
    {WM_CREATE, nullptr, &Win32Window::OnCreateMessage},
    {WM_DESTROY, nullptr, &Win32Window::OnDestroyMessage},
    {WM_CLOSE, nullptr, &Win32Window::OnCloseMessage},
    {WM_DWMCOMPOSITIONCHANGED, nullptr, &Win32Window::OnCompositionMessage},
    {WM_NOTIFY, &Win32Window::IsHotItemChange, &Win32Window::OnHotItemChange},
    // The other buttons, the wheel, the keyboard and focus.
    {WM_RBUTTONUP, nullptr, &Win32Window::OnButtonUp},
    {WM_RBUTTONDOWN, nullptr, &Win32Window::OnButtonDown},
    {WM_RBUTTONDBLCLK, nullptr, &Win32Window::OnButtonDoubleClick},
    {WM_MBUTTONUP, nullptr, &Win32Window::OnButtonUp},
    {WM_MBUTTONDOWN, nullptr, &Win32Window::OnButtonDown},
    {WM_MBUTTONDBLCLK, nullptr, &Win32Window::OnButtonDoubleClick},
    {WM_MOUSELEAVE, nullptr, &Win32Window::OnMouseLeave},
    {WM_MOUSEWHEEL, nullptr, &Win32Window::OnWheelMessage},
    {WM_KEYDOWN, nullptr, &Win32Window::OnKeyDown},
    {WM_SYSKEYDOWN, nullptr, &Win32Window::OnKeyDown},
    {WM_CONTEXTMENU, nullptr, &Win32Window::OnContextMenuMessage},
    {WM_SETFOCUS, nullptr, &Win32Window::OnSetFocusMessage},
    {WM_KILLFOCUS, nullptr, &Win32Window::OnKillFocusMessage},
    {WM_GETMINMAXINFO, nullptr, &Win32Window::OnMinMaxInfo},
    {WM_DPICHANGED, nullptr, &Win32Window::OnDpiChanged},
    {kIdleRequest, nullptr, &Win32Window::OnIdleRequest},
    {WM_TIMER, nullptr, &Win32Window::OnTimerMessage},
};

bool Win32Window::IsCustomDrawFromToolbar(const Win32Window&, uintptr_t, intptr_t lParam) {
  return reinterpret_cast<const NMHDR*>(lParam)->code == UINT(NM_CUSTOMDRAW);
}

bool Win32Window::IsHotItemChange(const Win32Window&, uintptr_t, intptr_t lParam) {
  return reinterpret_cast<const NMHDR*>(lParam)->code == UINT(TBN_HOTITEMCHANGE);
}

bool Win32Window::IsToolbarCommand(const Win32Window& w, uintptr_t wParam, intptr_t) {
  return w.CommandIndex(LOWORD(wParam)) >= 0;
}

intptr_t Win32Window::HandleMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  ThemeSupport(message);
  intptr_t result = 0;
  if (RouteMessage(*this, kMessageTable, message, wParam, lParam, &result)) return result;
  return DefWindowProcW(hwnd_, message, wParam, lParam);
}

void Win32Window::ThemeSupport(uint32_t message) {
  // Theme data for the glow texts, kept current; never stops a message.
  if (message == WM_CREATE || message == WM_THEMECHANGED) {
    composition::CloseTheme(theme_);
    theme_ = composition::OpenTheme(hwnd_, L"globals");
  } else if (message == WM_DESTROY) {
    composition::CloseTheme(theme_);
    theme_ = nullptr;
  }
}

// --- making and ending ------------------------------------------------------------

Win32Window::Win32Window(WindowHandler& handler) : handler_(handler) {}

std::unique_ptr<Win32Window> Win32Window::Make(WindowHandler& handler, const Rect& frame,
                                               const std::string& title) {
  if (!WindowProcedure::Register()) return nullptr;
  std::unique_ptr<Win32Window> window(new Win32Window(handler));
  const std::wstring caption = Widen(title);
  // Hidden until the program shows it; WM_CREATE stores the handle.
  if (!CreateWindowExW(0, kWindowClass, caption.c_str(), WS_OVERLAPPEDWINDOW, frame.left,
                       frame.top, frame.Width(), frame.Height(), nullptr, nullptr,
                       GetModuleHandleW(nullptr), window.get())) {
    return nullptr;
  }
  Win32Window* self = window.get();
  self->filterId_ = ThreadLoop().AddFilter(
      [self](MSG& message) { return self->FilterMessage(&message); });
  self->idleId_ = ThreadLoop().AddIdleHandler([self] { return self->RunIdle(); });
  // Files dropped from the shell; without OLE the window simply takes none.
  self->dropTarget_ = MakeDropTarget(*self);
  if (self->dropTarget_) RegisterDragDrop(self->hwnd_, self->dropTarget_);
  self->ready_ = true;
  return window;
}

Win32Window::~Win32Window() {
  ready_ = false;  // no event reaches a half-destroyed window's handler
  while (busyDepth_ > 0) SetBusy(false);
  ThreadLoop().RemoveFilter(filterId_);
  ThreadLoop().RemoveIdleHandler(idleId_);
  textPanel_.reset();  // before its owner, which would take it along
  if (hwnd_) DestroyWindow(hwnd_);
  if (dropTarget_) {
    DetachDropTarget(dropTarget_);
    dropTarget_->Release();
  }
  if (toolbarImages_) ImageList_Destroy(toolbarImages_);
  if (bigIcon_) DestroyIcon(bigIcon_);
  if (smallIcon_) DestroyIcon(smallIcon_);
}

intptr_t Win32Window::OnCreateMessage(uintptr_t, intptr_t, bool&) {
  composition_ = composition::Enabled();
  return 0;
}

intptr_t Win32Window::OnDestroyMessage(uintptr_t, intptr_t, bool&) {
  if (dropTarget_) RevokeDragDrop(hwnd_);
  DestroyToolbar();
  return 0;
}

intptr_t Win32Window::OnCloseMessage(uintptr_t, intptr_t, bool&) {
  // The program may keep the window (a question to the user); a window that
  // is not yet the program's closes at once.
  if (!ready_ || handler_.OnCloseRequested()) {
    if (GetCapture() == hwnd_) ReleaseCapture();
    DestroyWindow(hwnd_);
  }
  return 0;
}

// --- geometry ----------------------------------------------------------------------

Size Win32Window::ClientSize() const {
  RECT r{};
  if (!hwnd_ || IsIconic(hwnd_) || !GetClientRect(hwnd_, &r)) return Size{};
  return Size{r.right - r.left, r.bottom - r.top};
}

Rect Win32Window::FrameRect() const {
  RECT r{};
  if (!hwnd_ || !GetWindowRect(hwnd_, &r)) return Rect{};
  return ToRect(r);
}

void Win32Window::MoveTo(Point p) {
  if (hwnd_)
    SetWindowPos(hwnd_, nullptr, p.x, p.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

Rect Win32Window::WorkArea() const {
  if (!hwnd_) return Rect{};
  const HMONITOR monitor = MonitorFromWindow(hwnd_, MONITOR_DEFAULTTONEAREST);
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (!monitor || !GetMonitorInfoW(monitor, &info)) return Rect{};
  return ToRect(info.rcWork);
}

Point Win32Window::ClientFromScreen(int32_t x, int32_t y) const {
  POINT p{x, y};
  if (hwnd_) ScreenToClient(hwnd_, &p);
  return Point{p.x, p.y};
}

void Win32Window::SetTitle(const std::string& title) {
  if (hwnd_) SetWindowTextW(hwnd_, Widen(title).c_str());
}

HICON MakeIcon(const IconImage& image) {
  if (image.width <= 0 || image.height <= 0 ||
      image.rgba.size() != size_t(image.width) * size_t(image.height) * 4)
    return nullptr;
  BITMAPV5HEADER header{};
  header.bV5Size = sizeof header;
  header.bV5Width = image.width;
  header.bV5Height = -image.height;
  header.bV5Planes = 1;
  header.bV5BitCount = 32;
  header.bV5Compression = BI_BITFIELDS;
  header.bV5RedMask = 0x00FF0000;
  header.bV5GreenMask = 0x0000FF00;
  header.bV5BlueMask = 0x000000FF;
  header.bV5AlphaMask = 0xFF000000;
  void* bits = nullptr;
  HDC screen = GetDC(nullptr);
  HBITMAP colour = CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS,
                                    &bits, nullptr, 0);
  ReleaseDC(nullptr, screen);
  if (!colour) return nullptr;
  auto* out = static_cast<uint8_t*>(bits);
  for (size_t i = 0; i < image.rgba.size(); i += 4) {  // straight alpha, bytes B, G, R, A
    out[i] = image.rgba[i + 2];
    out[i + 1] = image.rgba[i + 1];
    out[i + 2] = image.rgba[i];
    out[i + 3] = image.rgba[i + 3];
  }
  // The alpha channel decides; the mask only has to be there.
  HBITMAP mask = CreateBitmap(image.width, image.height, 1, 1, nullptr);
  ICONINFO info{};
  info.fIcon = TRUE;
  info.hbmColor = colour;
  info.hbmMask = mask;
  HICON icon = CreateIconIndirect(&info);
  DeleteObject(colour);
  DeleteObject(mask);
  return icon;
}

void Win32Window::SetIcons(const std::vector<IconImage>& icons) {
  if (!hwnd_) return;
  // For each use, the smallest image at least as large as the system's
  // size, else the largest there is.
  auto pick = [&icons](int side) -> const IconImage* {
    const IconImage* best = nullptr;
    for (const IconImage& image : icons) {
      if (image.width <= 0) continue;
      const bool fits = image.width >= side;
      if (!best || (fits && (best->width < side || image.width < best->width)) ||
          (!fits && best->width < side && image.width > best->width))
        best = &image;
    }
    return best;
  };
  const IconImage* big = pick(GetSystemMetrics(SM_CXICON));
  const IconImage* small = pick(GetSystemMetrics(SM_CXSMICON));
  HICON newBig = big ? MakeIcon(*big) : nullptr;
  HICON newSmall = small ? MakeIcon(*small) : nullptr;
  SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(newBig));
  SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(newSmall));
  if (bigIcon_) DestroyIcon(bigIcon_);
  if (smallIcon_) DestroyIcon(smallIcon_);
  bigIcon_ = newBig;
  smallIcon_ = newSmall;
}

void Win32Window::Show(ShowState state) {
  if (!hwnd_) return;
  ShowWindow(hwnd_, state == ShowState::Minimized   ? SW_SHOWMINIMIZED
                    : state == ShowState::Maximized ? SW_SHOWMAXIMIZED
                                                    : SW_SHOWNORMAL);
  UpdateWindow(hwnd_);
}

void Win32Window::SetClientSize(Size size) {
  if (!hwnd_ || IsZoomed(hwnd_) || IsIconic(hwnd_)) return;
  RECT r{0, 0, std::max(size.width, minimumClient_.width),
         std::max(size.height, minimumClient_.height)};
  AdjustWindowRectEx(&r, DWORD(GetWindowLongPtrW(hwnd_, GWL_STYLE)), FALSE,
                     DWORD(GetWindowLongPtrW(hwnd_, GWL_EXSTYLE)));
  SetWindowPos(hwnd_, nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

intptr_t Win32Window::OnMinMaxInfo(uintptr_t, intptr_t lParam, bool& handled) {
  if (minimumClient_.width <= 0 && minimumClient_.height <= 0) {
    handled = false;
    return 0;
  }
  RECT r{0, 0, minimumClient_.width, minimumClient_.height};
  AdjustWindowRectEx(&r, DWORD(GetWindowLongPtrW(hwnd_, GWL_STYLE)), FALSE,
                     DWORD(GetWindowLongPtrW(hwnd_, GWL_EXSTYLE)));
  auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
  info->ptMinTrackSize.x = std::max<LONG>(info->ptMinTrackSize.x, r.right - r.left);
  info->ptMinTrackSize.y = std::max<LONG>(info->ptMinTrackSize.y, r.bottom - r.top);
  return 0;
}

intptr_t Win32Window::OnDpiChanged(uintptr_t, intptr_t lParam, bool&) {
  // The window keeps its design; it takes the size the system proposes
  // for the other monitor.
  const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
  SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
               suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
  return 0;
}

intptr_t Win32Window::OnSizeMessage(uintptr_t, intptr_t lParam, bool&) {
  if (!Delivering()) return 0;
  // One repaint after the new layout, none in between. A minimised window
  // reports 0 x 0 and is laid out like any other size.
  SendMessageW(hwnd_, WM_SETREDRAW, FALSE, 0);
  handler_.OnResized(Size{LOWORD(lParam), HIWORD(lParam)});
  SendMessageW(hwnd_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(hwnd_, nullptr, TRUE);
  return 0;
}

// --- painting -----------------------------------------------------------------------

void Win32Window::Invalidate(const Rect& rect) {
  if (!hwnd_ || rect.Empty()) return;
  const RECT r = ToRECT(rect);
  InvalidateRect(hwnd_, &r, TRUE);
}

intptr_t Win32Window::OnEraseBackground(uintptr_t wParam, intptr_t, bool&) {
  const HDC dc = reinterpret_cast<HDC>(wParam);
  // The window's own paint covers every pixel, so its background is left
  // alone (nothing flickers). The transparent toolbar asks for the
  // background under it with its context moved to our coordinates.
  if (Delivering() && WindowFromDC(dc) != hwnd_) {
    RECT box{};
    if (GetClipBox(dc, &box) != ERROR && box.left < box.right && box.top < box.bottom) {
      Win32Canvas canvas(dc, theme_, scratch_);
      handler_.OnPaint(canvas, ToRect(box));
    }
  }
  return 1;
}

intptr_t Win32Window::OnPaintMessage(uintptr_t, intptr_t, bool&) {
  PAINTSTRUCT ps{};
  const HDC dc = BeginPaint(hwnd_, &ps);
  const RECT& p = ps.rcPaint;
  const int width = p.right - p.left, height = p.bottom - p.top;
  if (dc && Delivering() && width > 0 && height > 0) {
    // Painted off screen and copied in one go. A 32-bit surface keeps the
    // alpha that glass and glowing text need.
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const HDC memory = CreateCompatibleDC(dc);
    const HBITMAP surface =
        memory ? CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0) : nullptr;
    if (surface) {
      const HGDIOBJ previous = SelectObject(memory, surface);
      SetViewportOrgEx(memory, -p.left, -p.top, nullptr);
      {
        Win32Canvas canvas(memory, theme_, scratch_);
        handler_.OnPaint(canvas, ToRect(p));
      }
      GdiFlush();
      BitBlt(dc, p.left, p.top, width, height, memory, p.left, p.top, SRCCOPY);
      SelectObject(memory, previous);
      DeleteObject(surface);
    } else {
      Win32Canvas canvas(dc, theme_, scratch_);  // no memory for a surface: straight on
      handler_.OnPaint(canvas, ToRect(p));
    }
    if (memory) DeleteDC(memory);
  }
  EndPaint(hwnd_, &ps);
  return 0;
}

void Win32Window::ExtendFrame(const Margins& margins) {
  if (hwnd_ && composition_)
    composition::ExtendFrame(hwnd_, margins.left, margins.right, margins.top, margins.bottom);
}

intptr_t Win32Window::OnCompositionMessage(uintptr_t, intptr_t, bool&) {
  composition_ = composition::Enabled();
  if (Delivering()) handler_.OnCompositionChanged();
  return 0;
}

// --- idle ---------------------------------------------------------------------------

void Win32Window::RequestIdle() {
  if (!hwnd_ || idlePending_) return;
  idlePending_ = true;
  // Wakes the loop, which runs its idle handlers once the queue is empty.
  PostMessageW(hwnd_, kIdleRequest, 0, 0);
}

intptr_t Win32Window::OnIdleRequest(uintptr_t, intptr_t, bool&) { return 0; }

// --- timers -------------------------------------------------------------------------

void Win32Window::StartTimer(int timer, int32_t milliseconds) {
  // The window's own timers: WM_TIMER with the number as its id. Starting
  // an id again replaces its timer.
  if (hwnd_ && timer > 0) SetTimer(hwnd_, UINT_PTR(timer), UINT(milliseconds), nullptr);
}

void Win32Window::StopTimer(int timer) {
  if (hwnd_ && timer > 0) KillTimer(hwnd_, UINT_PTR(timer));
}

intptr_t Win32Window::OnTimerMessage(uintptr_t wParam, intptr_t, bool&) {
  if (Delivering()) handler_.OnTimer(int(wParam));
  return 0;
}

bool Win32Window::RunIdle() {
  if (!idlePending_ || !Delivering()) return false;
  idlePending_ = handler_.OnIdle();
  return idlePending_;
}

// --- the pointer --------------------------------------------------------------------

intptr_t Win32Window::OnSetCursorMessage(uintptr_t wParam, intptr_t lParam, bool& handled) {
  // Only over the window's own client area; the frame and the toolbar keep
  // the system's cursors.
  if (reinterpret_cast<HWND>(wParam) != hwnd_ || LOWORD(lParam) != HTCLIENT) {
    handled = false;
    return 0;
  }
  ApplyCursor();
  return TRUE;
}

void Win32Window::ApplyCursor() {
  ::SetCursor(busyDepth_ > 0 ? SystemCursor(IDC_WAIT) : CursorFor(cursor_));
}

void Win32Window::SetCursor(CursorShape shape) {
  cursor_ = shape;
  if (!hwnd_ || busyDepth_ > 0) return;
  // Shown at once when the pointer is over the client area; otherwise the
  // next WM_SETCURSOR shows it.
  POINT p{};
  if (GetCursorPos(&p) && WindowFromPoint(p) == hwnd_) {
    ScreenToClient(hwnd_, &p);
    RECT client{};
    GetClientRect(hwnd_, &client);
    if (PtInRect(&client, p)) ApplyCursor();
  }
}

void Win32Window::SetBusy(bool busy) {
  if (busy) {
    if (busyDepth_++ == 0) cursorBeforeBusy_ = ::SetCursor(SystemCursor(IDC_WAIT));
  } else if (busyDepth_ > 0 && --busyDepth_ == 0) {
    ::SetCursor(cursorBeforeBusy_);
  }
}

void Win32Window::BeginModal() {
  if (busyDepth_ > 0) ::SetCursor(SystemCursor(IDC_ARROW));
}

void Win32Window::EndModal() {
  if (busyDepth_ > 0) ::SetCursor(SystemCursor(IDC_WAIT));
}

void Win32Window::CapturePointer() {
  if (hwnd_) SetCapture(hwnd_);
}

void Win32Window::ReleasePointer() {
  if (hwnd_ && GetCapture() == hwnd_) ReleaseCapture();
}

bool Win32Window::HasPointerCapture() const { return hwnd_ && GetCapture() == hwnd_; }

intptr_t Win32Window::OnMouseMoveMessage(uintptr_t wParam, intptr_t lParam, bool&) {
  if (!Delivering()) return 0;
  if (!trackingLeave_) {
    TRACKMOUSEEVENT track{};
    track.cbSize = sizeof track;
    track.dwFlags = TME_LEAVE;
    track.hwndTrack = hwnd_;
    trackingLeave_ = TrackMouseEvent(&track) != FALSE;
  }
  handler_.OnPointerMoved(PointerEvent{PointOf(lParam), Button::Left, ModifiersOf(wParam)});
  return 0;
}

intptr_t Win32Window::OnMouseLeave(uintptr_t, intptr_t, bool&) {
  trackingLeave_ = false;
  if (Delivering()) handler_.OnPointerLeft();
  return 0;
}

intptr_t Win32Window::OnButtonDown(uintptr_t wParam, intptr_t lParam, bool&) {
  if (!Delivering()) return 0;
  if (GetFocus() != hwnd_) FocusWindow(FocusReason::Other);  // a click brings focus back
  handler_.OnPointerPressed(
      PointerEvent{PointOf(lParam), ButtonOf(currentMessage), ModifiersOf(wParam)});
  return 0;
}

intptr_t Win32Window::OnButtonUp(uintptr_t wParam, intptr_t lParam, bool& handled) {
  const Button button = ButtonOf(currentMessage);
  if (Delivering())
    handler_.OnPointerReleased(PointerEvent{PointOf(lParam), button, ModifiersOf(wParam)});
  // The system makes WM_CONTEXTMENU out of the right button's release, but
  // only when the release reaches its default handling.
  if (button == Button::Right) handled = false;
  return 0;
}

intptr_t Win32Window::OnButtonDoubleClick(uintptr_t wParam, intptr_t lParam, bool&) {
  if (Delivering())
    handler_.OnDoubleClicked(
        PointerEvent{PointOf(lParam), ButtonOf(currentMessage), ModifiersOf(wParam)});
  return 0;
}

intptr_t Win32Window::OnWheelMessage(uintptr_t wParam, intptr_t lParam, bool&) {
  if (!Delivering()) return 0;
  // The wheel reports where the pointer is on the screen.
  const Point at = ClientFromScreen(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
  handler_.OnWheel(WheelEvent{at, GET_WHEEL_DELTA_WPARAM(wParam),
                              ModifiersOf(GET_KEYSTATE_WPARAM(wParam))});
  return 0;
}

// --- the keyboard and focus ------------------------------------------------------------

intptr_t Win32Window::OnKeyDown(uintptr_t wParam, intptr_t, bool& handled) {
  if (!Delivering()) {
    handled = false;
    return 0;
  }
  const KeyEvent key = ToKeyEvent(wParam);
  if (key.key != Key::Other && handler_.OnKey(key)) return 0;
  if (key.key == Key::Tab || key.key == Key::Backtab) {
    // Keys the program does not use move on to the toolbar.
    if (!commands_.empty()) {
      FocusToolbar(key.key == Key::Tab);
      return 0;
    }
  }
  handled = false;  // Alt+F4, Alt+Space and the rest stay the system's
  return 0;
}

intptr_t Win32Window::OnContextMenuMessage(uintptr_t wParam, intptr_t lParam, bool& handled) {
  if (!Delivering() || reinterpret_cast<HWND>(wParam) != hwnd_) {
    handled = false;
    return 0;
  }
  // From the keyboard the position is -1, -1: the program picks the place.
  const bool fromKeyboard = lParam == -1;
  const Point at =
      fromKeyboard ? Point{0, 0} : ClientFromScreen(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
  handler_.OnContextMenu(at, fromKeyboard);
  return 0;
}

void Win32Window::FocusWindow(FocusReason reason) {
  pendingFocusReason_ = reason;
  SetFocus(hwnd_);
  pendingFocusReason_ = FocusReason::Other;
}

intptr_t Win32Window::OnSetFocusMessage(uintptr_t, intptr_t, bool&) {
  if (Delivering()) handler_.OnFocusChanged(true, pendingFocusReason_);
  return 0;
}

intptr_t Win32Window::OnKillFocusMessage(uintptr_t, intptr_t, bool&) {
  if (Delivering()) handler_.OnFocusChanged(false, FocusReason::Other);
  return 0;
}

bool Win32Window::FilterMessage(void* raw) {
  MSG& message = *static_cast<MSG*>(raw);
  if (!Delivering() || (message.message != WM_KEYDOWN && message.message != WM_SYSKEYDOWN))
    return false;
  if (message.hwnd != hwnd_ && (!toolbar_ || message.hwnd != toolbar_)) return false;
  const KeyEvent key = ToKeyEvent(message.wParam);
  if (key.key == Key::Other) return false;
  for (const Shortcut& shortcut : shortcuts_) {
    if (shortcut.key.key == key.key && shortcut.key.modifiers == key.modifiers) {
      if (std::find(disabled_.begin(), disabled_.end(), shortcut.command) == disabled_.end())
        handler_.OnCommand(shortcut.command);
      return true;
    }
  }
  if (message.hwnd != toolbar_ || (key.key != Key::Tab && key.key != Key::Backtab)) return false;
  // Tab walks the toolbar's buttons; past either end focus goes back to the
  // window's own area, which goes on from that end.
  const int count = int(SendMessageW(toolbar_, TB_BUTTONCOUNT, 0, 0));
  const int hot = int(SendMessageW(toolbar_, TB_GETHOTITEM, 0, 0));
  const int step = key.key == Key::Tab ? 1 : -1;
  for (int index = hot + step; index >= 0 && index < count; index += step) {
    TBBUTTON button{};
    SendMessageW(toolbar_, TB_GETBUTTON, WPARAM(index), reinterpret_cast<LPARAM>(&button));
    if (!(button.fsStyle & BTNS_SEP) && (button.fsState & TBSTATE_ENABLED)) {
      SendMessageW(toolbar_, TB_SETHOTITEM, WPARAM(index), 0);
      return true;
    }
  }
  SendMessageW(toolbar_, TB_SETHOTITEM, WPARAM(-1), 0);
  FocusWindow(key.key == Key::Tab ? FocusReason::Forward : FocusReason::Backward);
  return true;
}

// --- the toolbar ---------------------------------------------------------------------------

int Win32Window::CommandIndex(int command) const {
  for (size_t i = 0; i < commands_.size(); ++i)
    if (commands_[i].id == command) return int(i);
  return -1;
}

void Win32Window::DestroyToolbar() {
  if (toolbar_) DestroyWindow(toolbar_);
  toolbar_ = nullptr;
}

Size Win32Window::SetToolbar(const std::vector<ToolbarButton>& buttons, int32_t buttonWidth) {
  if (!hwnd_) return Size{};
  DestroyToolbar();
  if (toolbarImages_) ImageList_Destroy(toolbarImages_);
  toolbarImages_ = nullptr;
  commands_.clear();
  labels_.clear();
  buttonWidth_ = buttonWidth;

  // The window places and sizes the toolbar itself; no divider, and the
  // window's background shows through (button face, or black for glass).
  // The tooltips style keeps the control from showing its own labels as
  // tips: the hint line describes the button under the pointer instead.
  toolbar_ = CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr,
                             WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS |
                                 TBSTYLE_TRANSPARENT | TBSTYLE_CUSTOMERASE | CCS_VERT |
                                 CCS_NODIVIDER | CCS_NOPARENTALIGN | CCS_NORESIZE,
                             0, 0, buttonWidth, 0, hwnd_, nullptr, GetModuleHandleW(nullptr),
                             nullptr);
  if (!toolbar_) return Size{};
  SendMessageW(toolbar_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);

  constexpr int kIconSide = 48;  // at every resolution
  toolbarImages_ = ImageList_Create(kIconSide, kIconSide, ILC_COLOR32 | ILC_MASK, 4, 4);
  std::vector<TBBUTTON> entries;
  labels_.reserve(buttons.size());
  for (const ToolbarButton& b : buttons) {
    if (b.separatorBefore) {
      TBBUTTON separator{};
      separator.fsState = TBSTATE_WRAP;
      separator.fsStyle = BTNS_SEP;
      separator.iBitmap = I_IMAGENONE;
      entries.push_back(separator);
    }
    int image = I_IMAGENONE;
    if (HICON icon = MakeIcon(b.icon)) {
      image = ImageList_ReplaceIcon(toolbarImages_, -1, icon);
      DestroyIcon(icon);
    }
    labels_.push_back(Widen(b.label));
    TBBUTTON entry{};
    entry.iBitmap = image;
    entry.idCommand = b.command;
    entry.fsState = TBSTATE_ENABLED | TBSTATE_WRAP;  // one button a row
    entry.fsStyle = BTNS_BUTTON;
    entry.iString = reinterpret_cast<INT_PTR>(labels_.back().c_str());
    entries.push_back(entry);
    const bool enabled =
        std::find(disabled_.begin(), disabled_.end(), b.command) == disabled_.end();
    if (!enabled) entry.fsState &= BYTE(~TBSTATE_ENABLED);
    commands_.push_back(Command{b.command, enabled});
  }
  SendMessageW(toolbar_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(toolbarImages_));
  SendMessageW(toolbar_, TB_ADDBUTTONSW, entries.size(), reinterpret_cast<LPARAM>(entries.data()));
  // Every button as wide as the column. Nine icons over their labels fit
  // beside the 600 px card only a few pixels shorter than the control's own
  // height, which keeps more room below the label than above the icon.
  const DWORD size = DWORD(SendMessageW(toolbar_, TB_GETBUTTONSIZE, 0, 0));
  const int height = std::max<int>(kIconSide, HIWORD(size) - 4);
  SendMessageW(toolbar_, TB_SETBUTTONSIZE, 0, MAKELPARAM(buttonWidth, height));
  // The buttons one above the other: down to the last one's bottom edge.
  RECT last{};
  const int count = int(SendMessageW(toolbar_, TB_BUTTONCOUNT, 0, 0));
  if (count > 0) SendMessageW(toolbar_, TB_GETITEMRECT, WPARAM(count - 1), LPARAM(&last));
  const DWORD actual = DWORD(SendMessageW(toolbar_, TB_GETBUTTONSIZE, 0, 0));
  return Size{std::max<int32_t>(buttonWidth, LOWORD(actual)), last.bottom};
}

void Win32Window::PlaceToolbar(const Rect& rect) {
  if (toolbar_) MoveWindow(toolbar_, rect.left, rect.top, rect.Width(), rect.Height(), TRUE);
}

void Win32Window::EnableCommand(int command, bool enabled) {
  disabled_.erase(std::remove(disabled_.begin(), disabled_.end(), command), disabled_.end());
  if (!enabled) disabled_.push_back(command);
  const int index = CommandIndex(command);
  if (index < 0) return;
  commands_[size_t(index)].enabled = enabled;
  if (toolbar_) SendMessageW(toolbar_, TB_ENABLEBUTTON, WPARAM(command), MAKELPARAM(enabled, 0));
}

void Win32Window::FocusToolbar(bool first) {
  if (!toolbar_ || commands_.empty()) return;
  SetFocus(toolbar_);
  // The first or last button that takes a press.
  const int count = int(SendMessageW(toolbar_, TB_BUTTONCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    const int index = first ? i : count - 1 - i;
    TBBUTTON button{};
    SendMessageW(toolbar_, TB_GETBUTTON, WPARAM(index), reinterpret_cast<LPARAM>(&button));
    if (!(button.fsStyle & BTNS_SEP) && (button.fsState & TBSTATE_ENABLED)) {
      SendMessageW(toolbar_, TB_SETHOTITEM, WPARAM(index), 0);
      return;
    }
  }
}

intptr_t Win32Window::OnToolbarCommand(uintptr_t wParam, intptr_t, bool&) {
  const Command& command = commands_[size_t(CommandIndex(LOWORD(wParam)))];
  if (Delivering() && command.enabled) handler_.OnCommand(command.id);
  return 0;
}

intptr_t Win32Window::OnHotItemChange(uintptr_t, intptr_t lParam, bool&) {
  const auto* change = reinterpret_cast<const NMTBHOTITEM*>(lParam);
  if (!Delivering() || change->hdr.hwndFrom != toolbar_) return 0;
  if (change->dwFlags & HICF_LEAVING) {
    handler_.OnCommandHovered(0);
  } else if (CommandIndex(change->idNew) >= 0) {
    handler_.OnCommandHovered(change->idNew);
  }
  return 0;
}

intptr_t Win32Window::OnToolbarCustomDraw(uintptr_t, intptr_t lParam, bool&) {
  auto* draw = reinterpret_cast<NMTBCUSTOMDRAW*>(lParam);
  // Without glass the toolbar draws its labels itself.
  if (!composition_ || draw->nmcd.hdr.hwndFrom != toolbar_) return CDRF_DODEFAULT;
  if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
  if (draw->nmcd.dwDrawStage != CDDS_ITEMPREPAINT) return 0;

  // On glass the label glows, drawn here; the toolbar then draws the
  // button and its icon but, with its text rectangle emptied, no label.
  wchar_t text[256] = L"";
  SendMessageW(toolbar_, TB_GETBUTTONTEXTW, draw->nmcd.dwItemSpec, reinterpret_cast<LPARAM>(text));
  constexpr int kIconTitleFont = 806;  // TMT_ICONTITLEFONT
  HFONT font = nullptr;
  LOGFONTW themed{};
  if (composition::ThemeFont(theme_, kIconTitleFont, &themed)) font = CreateFontIndirectW(&themed);
  const HGDIOBJ previous = font ? SelectObject(draw->nmcd.hdc, font) : nullptr;
  RECT r = draw->nmcd.rc;
  if (!(draw->nmcd.uItemState & CDIS_SELECTED)) OffsetRect(&r, -1, 0);  // pressed sits 1 px right
  r.bottom = r.top + draw->rcText.bottom;
  composition::DrawGlowText(theme_, draw->nmcd.hdc, text, &r,
                            DT_NOPREFIX | DT_SINGLELINE | DT_BOTTOM | DT_CENTER, 10);
  if (font) {
    SelectObject(draw->nmcd.hdc, previous);
    DeleteObject(font);
  }
  draw->rcText.right = draw->rcText.left;
  draw->rcText.bottom = draw->rcText.top;
  return CDRF_DODEFAULT;
}

// --- drops -----------------------------------------------------------------------------------

bool Win32Window::OfferDrag(const FileDrag& drag) {
  return Delivering() && handler_.OnFilesDragged(drag);
}

void Win32Window::EndDrag() {
  if (Delivering()) handler_.OnFilesDragLeft();
}

void Win32Window::DeliverDrop(const FileDrag& drag) {
  if (Delivering()) handler_.OnFilesDropped(drag);
}

}  // namespace platform::win32
