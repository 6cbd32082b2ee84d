#include "app/Metrics.h"
#include "app/TessaryWnd.h"
#include "engine/CardCompositor.h"
#include "engine/Raster.h"

namespace app {

using namespace platform;

void CTessaryWnd::OnPaint(Canvas& canvas, const Rect& area) {
  // Around the card, never over it: the card covers its rectangle fully, so
  // it does not flicker. Black is what lets glass show through.
  const Colour background = glass ? Colour{0, 0, 0} : platform_.FaceColour();
  const Size size = window->ClientSize();
  const Rect c{0, 0, size.width, size.height};
  const Rect bands[] = {
      {c.left, c.top, c.right, cardRect.top},
      {c.left, cardRect.top, cardRect.left, cardRect.bottom},
      {cardRect.right, cardRect.top, c.right, cardRect.bottom},
      {c.left, cardRect.bottom, c.right, c.bottom},
  };
  for (const Rect& band : bands)
    if (!band.Empty() && band.Intersects(area)) canvas.FillRect(band, background);

  if (cardRect.Intersects(area)) PaintCard(canvas);
  // The keyboard's place on the card: on the screen only, never in a save.
  if (hasFocus && focus.RingVisible()) {
    const Rect ring = interaction::RegionFocus::BoxOnScreen(card, cardRect, focus.Slot());
    if (ring.Intersects(area)) canvas.DrawFocusRing(ring);
  }
  if (hintRect.Intersects(area)) PaintHintLine(canvas);
}

void CTessaryWnd::PaintCard(Canvas& canvas) {
  const int32_t w = cardRect.Width(), h = cardRect.Height();
  if (w <= 0 || h <= 0) return;
  // The whole card, whatever part of it is invalid: one render, one copy.
  const uint32_t stride = engine::CardImageStride(uint32_t(w));
  const size_t bytes = size_t(stride) * size_t(h);
  if (cardPixels.size() != bytes) cardPixels.assign(bytes, 0);
  if (card.cardTemplate.Installed()) {
    engine::RenderCard(card, w, h, cardPixels.data(), int32_t(stride), true);
  } else {
    std::fill(cardPixels.begin(), cardPixels.end(), 0);
  }
  canvas.DrawRgb(cardRect, cardPixels.data(), w, h, int32_t(stride));
}

void CTessaryWnd::PaintHintLine(Canvas& canvas) {
  if (!hintText) return;
  const int32_t inset = TextInsetFor(dpi);
  TextStyle style;
  if (glass) {
    // Glow keeps the line readable on glass; it rests on the bottom edge.
    style.font = TextFont::StatusLine;
    style.glow = true;
    canvas.DrawTextLine(hintText,
                        Rect{hintRect.left + inset, hintRect.top + inset, hintRect.right - inset,
                             hintRect.bottom},
                        style);
  } else {
    style.opaque = true;
    style.background = platform_.FaceColour();
    canvas.DrawTextLine(hintText,
                        Rect{hintRect.left + inset, hintRect.top + inset, hintRect.right - inset,
                             hintRect.bottom - inset},
                        style);
  }
}

}  // namespace app
