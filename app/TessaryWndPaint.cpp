#include <memory>

#include "app/Metrics.h"
#include "app/TessaryWnd.h"
#include "engine/CardCompositor.h"
#include "engine/Raster.h"

namespace app {

using namespace platform;

namespace {

bool Overlap(const Rect& a, const Rect& b) {
  return a.left < b.right && a.top < b.bottom && b.left < a.right && b.top < a.bottom;
}

DTTOPTS GlowOptions() {
  DTTOPTS options;
  options.dwSize = 64;
  options.dwFlags = DTT_COMPOSITED | DTT_GLOWSIZE;
  options.iGlowSize = 10;
  return options;
}

constexpr uint32_t kHintFlags = DT_NOPREFIX | DT_SINGLELINE | DT_BOTTOM;

}  // namespace

LRESULT CTessaryWnd::OnEraseBackground(uint32_t, WPARAM wParam, LPARAM, bool&) {
  auto* dc = reinterpret_cast<DeviceContext*>(wParam);
  if (!dc) return 0;
  // Black is what lets the glass show through.
  const Colour colour = glass ? RGB(0, 0, 0) : platform_.GetSysColor(COLOR_BTNFACE);
  const Rect c = window->GetClientRect();
  if (c.top < cardRect.top) dc->FillSolidRect(Rect{c.left, c.top, c.right, cardRect.top}, colour);
  if (c.left < cardRect.left)
    dc->FillSolidRect(Rect{c.left, cardRect.top, cardRect.left, cardRect.bottom}, colour);
  if (cardRect.right < c.right)
    dc->FillSolidRect(Rect{cardRect.right, cardRect.top, c.right, cardRect.bottom}, colour);
  if (cardRect.bottom < c.bottom)
    dc->FillSolidRect(Rect{c.left, cardRect.bottom, c.right, c.bottom}, colour);
  return 1;
}

LRESULT CTessaryWnd::OnPaint(uint32_t, WPARAM, LPARAM, bool&) {
  Rect paint;
  DeviceContext* dc = window->BeginPaint(&paint);
  if (!dc) return 0;
  const int32_t w = cardRect.Width(), h = cardRect.Height();
  if (Overlap(cardRect, paint) && w > 0 && h > 0) {
    // The whole card, whatever part of it is invalid: one render, one copy.
    const uint32_t stride = engine::CardImageStride(uint32_t(w));
    const size_t bytes = size_t(stride) * size_t(h);
    // Rendering writes every pixel, so only a card without a template (which
    // is not rendered) needs a cleared buffer; a drag repaints on every move.
    const bool installed = card.cardTemplate.Installed();
    std::unique_ptr<uint8_t[]> buffer(installed ? new uint8_t[bytes] : new uint8_t[bytes]());
    if (installed) engine::RenderCard(card, w, h, buffer.get(), int32_t(stride), true);
    for (int32_t y = 0; y < h; ++y) {
      uint8_t* row = buffer.get() + size_t(y) * stride;
      for (size_t x = 0; x < size_t(w); ++x) {
        uint8_t* p = row + x * 3;
        const uint8_t red = p[0];
        p[0] = p[2];
        p[2] = red;
      }
    }
    dc->SetDIBitsToDevice(cardRect.left, cardRect.top, w, h, buffer.get(), int32_t(stride));
  }
  if (Overlap(hintRect, paint)) PaintHintLine(*dc);
  window->EndPaint();
  return 0;
}

void CTessaryWnd::PaintHintLine(DeviceContext& dc) {
  if (!hintText) return;
  const int32_t inset = TextInsetFor(dpi);
  if (glass) {
    const int32_t w = hintRect.Width(), h = hintRect.Height();
    if (w <= 0 || h <= 0) return;
    // Glow text needs a transparent section to compose on, not the screen.
    std::unique_ptr<DeviceContext> memory = dc.CreateCompatibleDC(w, h);
    const Font previous = memory->SelectFont(Font::ThemeStatus);
    memory->DrawThemeTextEx(theme, 0, 0, hintText, Rect{inset, inset, w - inset, h}, kHintFlags,
                            GlowOptions());
    memory->SelectFont(previous);
    dc.BitBlt(hintRect.left, hintRect.top, w, h, *memory, 0, 0);
  } else {
    const Font previous = dc.SelectFont(Font::DefaultGui);
    dc.SetBkColor(platform_.GetSysColor(COLOR_BTNFACE));
    dc.DrawTextEx(hintText,
                  Rect{hintRect.left + inset, hintRect.top + inset, hintRect.right - inset,
                       hintRect.bottom - inset},
                  kHintFlags);
    dc.SelectFont(previous);
  }
}

LRESULT CTessaryWnd::OnCustomDraw(uint32_t, WPARAM, LPARAM lParam, bool&) {
  // Without glass the toolbar draws its labels well enough by itself.
  if (!glass) return CDRF_DODEFAULT;
  auto* draw = reinterpret_cast<NMTBCUSTOMDRAW*>(lParam);
  switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
      return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT: {
      std::string text;
      if (toolbar) toolbar->GetButtonText(int(draw->nmcd.dwItemSpec), &text);
      DeviceContext* dc = draw->nmcd.hdc;
      const Font previous = dc->SelectFont(Font::ThemeIconTitle);
      Rect r = draw->nmcd.rc;
      // The toolbar shifts a pressed button's content right by a pixel.
      if (!(draw->nmcd.uItemState & CDIS_SELECTED)) {
        r.left -= 1;
        r.right -= 1;
      }
      r.bottom = r.top + draw->rcText.bottom;
      dc->DrawThemeTextEx(theme, 0, 0, text.c_str(), r, kHintFlags | DT_CENTER, GlowOptions());
      dc->SelectFont(previous);
      // A collapsed text rectangle keeps the toolbar from drawing a second,
      // unreadable label over ours.
      draw->rcText.right = draw->rcText.left;
      draw->rcText.bottom = draw->rcText.top;
      return CDRF_DODEFAULT;
    }
    default:
      return 0;
  }
}

}  // namespace app
