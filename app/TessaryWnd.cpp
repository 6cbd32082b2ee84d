#include "app/TessaryWnd.h"

#include "app/Icons.h"
#include "app/Metrics.h"
#include "interaction/HintTexts.h"
#include "interaction/Hints.h"
#include "interaction/HitTestSlot.h"
#include "resources/BuiltInImages.h"

namespace app {

using namespace platform;

CTessaryWnd::CTessaryWnd(Platform& platform, int32_t dpi_, const engine::ImageReader& reader)
    : platform_(platform), reader_(reader), dpi(dpi_) {}

CTessaryWnd::~CTessaryWnd() {
  card.onTemplateInstalled = nullptr;
  window.reset();  // no event reaches a half-destroyed window
}

bool CTessaryWnd::Create(const Rect& frame, const std::string& title) {
  window = platform_.MakeWindow(*this, frame, title);
  if (!window) return false;
  glass = window->CompositionEnabled();
  CentreOnWorkArea();
  SetWindowIcons();
  toolbarWidth = ToolbarWidthFor(dpi);
  toolbarGap = ToolbarGapFor(dpi);
  const resources::Blob tile = resources::FindPngResource(resources::kPlaceholderTileId);
  if (tile.size) reader_.Decode(tile.data, tile.size, false, &card.placeholderTile);
  hintText = interaction::kHintAddMorePhotos;
  const Size client = window->ClientSize();
  hintRect = Rect{0, client.height - HintHeightFor(dpi), client.width, client.height};
  CreateToolbar();
  window->PlaceToolbar(Rect{client.width - toolbarWidth, 0, client.width, hintRect.top});
  card.cardTemplate.width = uint32_t(kBuiltInCardWidth);
  card.cardTemplate.height = uint32_t(kBuiltInCardHeight);
  card.onTemplateInstalled = [this] { OnTemplateInstalled(); };
  engine::SelectBuiltInTemplate(card, 0, reader_);
  history.Start(card);  // a card never changed since start-up closes at once
  return true;
}

void CTessaryWnd::Show(ShowState state) {
  if (window) window->Show(state);
}

void CTessaryWnd::CentreOnWorkArea() {
  const Rect work = window->WorkArea();
  if (work.Empty()) return;  // no monitor to centre on: stay where start-up put it
  const Rect r = window->FrameRect();
  const int32_t w = r.Width(), h = r.Height();
  int32_t x = (work.left + work.right) / 2 - w / 2;
  int32_t y = (work.top + work.bottom) / 2 - h / 2;
  if (x + w > work.right) x = work.right - w;
  if (y + h > work.bottom) y = work.bottom - h;
  if (x < work.left) x = work.left;
  if (y < work.top) y = work.top;
  window->MoveTo(Point{x, y});
}

void CTessaryWnd::SetWindowIcons() {
  std::vector<IconImage> icons;
  for (const int size : {16, 24, 32, 48, 256}) {
    engine::Raster image = LoadIconImage(reader_, 128, size);
    if (image.Empty() || image.width != uint32_t(size)) continue;
    icons.push_back(
        IconImage{int32_t(image.width), int32_t(image.height),
                  std::vector<uint8_t>(image.pixels.get(), image.pixels.get() + image.ByteSize())});
  }
  if (!icons.empty()) window->SetIcons(icons);
}

void CTessaryWnd::OnTemplateInstalled() {
  if (!window) return;
  const Size client = window->ClientSize();
  ArrangeClientArea(client.width, client.height);
  RepaintAll();
}

void CTessaryWnd::ArrangeClientArea(int32_t width, int32_t height) {
  hintRect.right = width;
  hintRect.bottom = height;
  hintRect.top = height - HintHeightFor(dpi);
  if (window) window->PlaceToolbar(Rect{width - toolbarWidth, 0, width, hintRect.top});

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
  window->ExtendFrame(
      Margins{cardRect.left, width - cardRect.right, cardRect.top, height - cardRect.bottom});
}

void CTessaryWnd::OnResized(Size client) { OnSize(client.width, client.height); }

void CTessaryWnd::OnSize(int32_t width, int32_t height) {
  ArrangeClientArea(width, height);
  window->Invalidate(Rect{0, 0, width, height});
}

bool CTessaryWnd::OnCloseRequested() {
  editor.Cancel();
  if (history.ChangedSinceSave(card) && !AskToSave()) return false;
  platform_.Quit(0);
  return true;
}

bool CTessaryWnd::AskToSave() {
  const Message question{"Save changes to your card before closing?", "Tessary",
                         MessageIcon::Question, MessageButtons::SaveDiscardCancel};
  switch (window->ShowMessage(question)) {
    case MessageAnswer::Save:
      return SaveCard();  // a cancelled or failed save keeps the window
    case MessageAnswer::Discard:
      return true;
    default:
      return false;
  }
}

void CTessaryWnd::OnCompositionChanged() {
  glass = window->CompositionEnabled();
  const Size client = window->ClientSize();
  ArrangeClientArea(client.width, client.height);
  // The extension is lost while composition is off, so make it again even
  // when the layout kept the card where it was.
  if (glass) ExtendFrame(client.width, client.height);
}

int32_t CTessaryWnd::HitTestSlot(Point point) const {
  if (!window) return -1;
  return interaction::HitTestSlot(card, cardRect, point.x, point.y);
}

void CTessaryWnd::ShowHint(const char* sentence) {
  if (sentence == hintText) return;
  hintText = sentence;
  if (window) window->Invalidate(hintRect);
}

void CTessaryWnd::ShowMessage(const std::string& text) {
  window->ShowMessage(Message{text, "Tessary", MessageIcon::None, MessageButtons::Ok});
}

}  // namespace app
