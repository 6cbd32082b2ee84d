#include "app/TessaryWnd.h"

#include "app/AppModule.h"
#include "app/HintTexts.h"
#include "app/Icons.h"
#include "app/Metrics.h"
#include "interaction/SimpleDropTarget.h"
#include "resources/BuiltInImages.h"

namespace app {

using namespace platform;

const std::array<CTessaryWnd::Row, CTessaryWnd::kMessageRows> CTessaryWnd::kMessageTable = {{
    {WM_NOTIFY, NM_CUSTOMDRAW, &CTessaryWnd::OnCustomDraw},
    {WM_SETCURSOR, 0, &CTessaryWnd::OnSetCursor},
    {WM_ERASEBKGND, 0, &CTessaryWnd::OnEraseBackground},
    {WM_PAINT, 0, &CTessaryWnd::OnPaint},
    {WM_SIZE, 0, &CTessaryWnd::OnSize},
    {WM_MOUSEMOVE, 0, &CTessaryWnd::OnMouseMove},
    {WM_LBUTTONUP, 0, &CTessaryWnd::OnLButtonUp},
    {WM_LBUTTONDOWN, 0, &CTessaryWnd::OnLButtonDown},
    {WM_LBUTTONDBLCLK, 0, &CTessaryWnd::OnLButtonDblClk},
    {WM_COMMAND, IdSave, &CTessaryWnd::SaveCard},
    {WM_COMMAND, IdTemplate, &CTessaryWnd::NextBuiltInTemplate},
    {WM_COMMAND, IdDonate, &CTessaryWnd::OnDonate},
    {WM_COMMAND, IdHelp, &CTessaryWnd::OnHelp},
    {WM_CREATE, 0, &CTessaryWnd::OnCreate},
    {WM_DESTROY, 0, &CTessaryWnd::OnDestroy},
    {WM_CLOSE, 0, &CTessaryWnd::OnClose},
    {WM_DWMCOMPOSITIONCHANGED, 0, &CTessaryWnd::OnCompositionChanged},
    {WM_NOTIFY, TBN_HOTITEMCHANGE, &CTessaryWnd::OnToolbarHotItemChange},
}};

CTessaryWnd::CTessaryWnd(Platform& platform, int32_t dpi_, const engine::ImageReader& reader)
    : platform_(platform), reader_(reader), dpi(dpi_) {}

CTessaryWnd::~CTessaryWnd() {
  card.onTemplateInstalled = nullptr;
  toolbarImages.reset();
  for (engine::PhotoSlot& slot : card.slots) slot.photoPixels.reset();
  card.placeholderTile.Reset();
  card.slots.clear();
  card.cardTemplate.overlay.reset();
  card.cardTemplate.regionMap.reset();
  if (dropTarget) {
    dropTarget->Release();
    dropTarget = nullptr;
  }
  themeClassList.clear();
}

LRESULT CTessaryWnd::WindowProc(Window& w, uint32_t message, WPARAM wParam, LPARAM lParam) {
  if (!window) window = &w;  // WM_CREATE comes first
  ThemeSupport(message);
  LRESULT result = 0;
  if (RouteMessage(*this, kMessageTable.data(), kMessageTable.size(), message, wParam, lParam,
                   &result))
    return result;
  return w.DefWindowProc(message, wParam, lParam);
}

void CTessaryWnd::ThemeSupport(uint32_t message) {
  switch (message) {
    case WM_CREATE:
      theme = platform_.OpenThemeData(window, themeClassList.c_str());
      break;
    case WM_DESTROY:
      if (theme) platform_.CloseThemeData(theme);
      theme = nullptr;
      break;
    case WM_THEMECHANGED:
      if (theme) platform_.CloseThemeData(theme);
      theme = platform_.OpenThemeData(window, themeClassList.c_str());
      break;
    default:  // WM_NCPAINT: no client edge to draw
      break;
  }
}

LRESULT CTessaryWnd::OnCreate(uint32_t, WPARAM, LPARAM, bool&) {
  // The composition service only exists from version 6 on.
  if (platform_.WindowsMajorVersion() >= 6) {
    bool enabled = false;
    glass = platform_.DwmIsCompositionEnabled(&enabled) == S_OK && enabled;
  }
  arrowCursor = platform_.LoadCursor(CursorId::Arrow);
  handCursor = platform_.LoadCursor(CursorId::Hand);
  moveCursor = platform_.LoadCursor(CursorId::SizeAll);
  CentreOnWorkArea();
  SetWindowIcons();
  if (CMessageLoop* loop = AppModule().GetMessageLoop()) {
    loop->AddMessageFilter(this);
    loop->AddIdleHandler(this);
  }
  toolbarWidth = ToolbarWidthFor(dpi);
  toolbarGap = ToolbarGapFor(dpi);
  const resources::Blob tile = resources::FindPngResource(207);
  if (tile.size) reader_.Decode(tile.data, tile.size, false, &card.placeholderTile);
  hintText = kHintAddMorePhotos;
  const Rect client = window->GetClientRect();
  hintRect = client;
  hintRect.top = client.bottom - HintHeightFor(dpi);
  CreateToolbar(Rect{client.right - toolbarWidth, client.top, client.right, hintRect.top});
  card.cardTemplate.width = uint32_t(kBuiltInCardWidth);
  card.cardTemplate.height = uint32_t(kBuiltInCardHeight);
  card.cardTemplate.builtInTemplateIndex = 0;
  card.onTemplateInstalled = [this] { OnTemplateInstalled(); };
  engine::LoadBuiltInTemplate(card, 201, 202, reader_);
  dropTarget = new CSimpleDropTarget(*this);
  window->RegisterDragDrop(dropTarget);
  return 0;
}

void CTessaryWnd::CentreOnWorkArea() {
  Rect work;
  if (!window->GetMonitorWorkArea(&work)) return;
  const Rect r = window->GetWindowRect();
  const int32_t w = r.Width(), h = r.Height();
  int32_t x = (work.left + work.right) / 2 - w / 2;
  int32_t y = (work.top + work.bottom) / 2 - h / 2;
  if (x + w > work.right) x = work.right - w;
  if (y + h > work.bottom) y = work.bottom - h;
  if (x < work.left) x = work.left;
  if (y < work.top) y = work.top;
  window->SetWindowPos(x, y);
}

void CTessaryWnd::SetWindowIcons() {
  const engine::Raster big =
      LoadIconImage(reader_, 128, platform_.GetSystemMetrics(SM_CXICON));
  if (!big.Empty())
    window->SetIcon(ICON_BIG, IconImage{int32_t(big.width), int32_t(big.height),
                                        big.pixels.get()});
  const engine::Raster small =
      LoadIconImage(reader_, 128, platform_.GetSystemMetrics(SM_CXSMICON));
  if (!small.Empty())
    window->SetIcon(ICON_SMALL, IconImage{int32_t(small.width), int32_t(small.height),
                                          small.pixels.get()});
}

void CTessaryWnd::OnTemplateInstalled() {
  if (!window || !window->IsWindow()) return;
  const Rect client = window->GetClientRect();
  ArrangeClientArea(client.right, client.bottom);
  window->InvalidateRect(nullptr, false);
}

void CTessaryWnd::ArrangeClientArea(int32_t width, int32_t height) {
  hintRect.right = width;
  hintRect.bottom = height;
  hintRect.top = height - HintHeightFor(dpi);
  if (toolbar) toolbar->MoveWindow(Rect{width - toolbarWidth, 0, width, hintRect.top}, true);

  // Unsigned on purpose: an area too small for the card (a minimised window)
  // wraps round and puts the card outside the client area instead of
  // producing a negative size.
  const uint32_t availW = uint32_t(width - toolbarWidth - toolbarGap);
  const uint32_t availH = uint32_t(hintRect.top);
  const uint32_t tw = card.cardTemplate.width, th = card.cardTemplate.height;
  uint32_t left, top, right, bottom;
  if (availW >= tw && availH >= th) {
    left = (availW - tw) >> 1;
    top = (availH - th) >> 1;
    right = left + tw;
    bottom = top + th;
  } else if (tw * availH > th * availW) {
    const uint32_t h = availW * th / tw;
    left = 0;
    right = availW;
    top = (availH - h) >> 1;
    bottom = top + h;
  } else {
    const uint32_t w = th ? availH * tw / th : 0;  // no template height: nothing to fit
    top = 0;
    bottom = availH;
    left = (availW - w) >> 1;
    right = left + w;
  }
  const Rect arranged{int32_t(left), int32_t(top), int32_t(right), int32_t(bottom)};
  if (arranged == cardRect) return;
  cardRect = arranged;
  if (glass) ExtendFrame(width, height);
}

void CTessaryWnd::ExtendFrame(int32_t width, int32_t height) {
  window->ExtendFrameIntoClientArea(Margins{cardRect.left, width - cardRect.right, cardRect.top,
                                            height - cardRect.bottom});
}

LRESULT CTessaryWnd::OnSize(uint32_t, WPARAM, LPARAM lParam, bool&) {
  window->SetRedraw(false);
  ArrangeClientArea(LOWORD(uintptr_t(lParam)), HIWORD(uintptr_t(lParam)));
  window->SetRedraw(true);
  window->InvalidateRect(nullptr, true);
  return 0;
}

LRESULT CTessaryWnd::OnClose(uint32_t, WPARAM, LPARAM, bool&) {
  window->DestroyWindow();
  platform_.PostQuitMessage(0);
  return 0;
}

LRESULT CTessaryWnd::OnDestroy(uint32_t, WPARAM, LPARAM, bool&) {
  window->RevokeDragDrop();
  if (CMessageLoop* loop = AppModule().GetMessageLoop()) {
    loop->RemoveMessageFilter(this);
    loop->RemoveIdleHandler(this);
  }
  return 0;
}

LRESULT CTessaryWnd::OnCompositionChanged(uint32_t, WPARAM, LPARAM, bool&) {
  bool enabled = false;
  glass = platform_.DwmIsCompositionEnabled(&enabled) == S_OK && enabled;
  const Rect client = window->GetClientRect();
  ArrangeClientArea(client.right, client.bottom);
  // The extension is lost while composition is off, so make it again even
  // when the layout kept the card where it was.
  if (glass) ExtendFrame(client.right, client.bottom);
  return 0;
}

}  // namespace app
