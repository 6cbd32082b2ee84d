#include <cmath>

#include "app/Metrics.h"
#include "app/TessaryWnd.h"
#include "engine/compose/CardCompositor.h"
#include "engine/raster/Raster.h"

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

Size CTessaryWnd::DeviceCardSize() const {
  const double ratio = window ? window->DevicePixelRatio() : 1.0;
  return Size{int32_t(std::lround(cardRect.Width() * ratio)),
              int32_t(std::lround(cardRect.Height() * ratio))};
}

bool CTessaryWnd::FullQualityShown() const {
  const Size device = DeviceCardSize();
  return preview.FullQualityReady(card, device.width, device.height);
}

void CTessaryWnd::PaintCard(Canvas& canvas) {
  const Size device = DeviceCardSize();
  if (device.width <= 0 || device.height <= 0) return;
  if (!card.cardTemplate.Installed()) {
    canvas.FillRect(cardRect, Colour{0, 0, 0});
    return;
  }
  // The whole card, whatever part of it is invalid: one copy of what the
  // preview has ready.
  const engine::RasterView frame = preview.Frame(card, device.width, device.height);
  canvas.DrawRgb(cardRect, frame.pixels, frame.width, frame.height, frame.stride);
  if (!preview.FullQualityReady(card, device.width, device.height)) window->RequestIdle();
}

bool CTessaryWnd::OnIdle() {
  // A photo on the move is drawn in draft; full quality waits until it rests.
  if (!window || editor.CurrentGesture() != interaction::PointerEditor::Gesture::Idle) return false;
  const Size device = DeviceCardSize();
  if (device.width <= 0 || device.height <= 0 || !card.cardTemplate.Installed()) return false;
  if (preview.StepFullQuality(card, device.width, device.height)) return true;
  // Ready: show it (a repaint that asks for nothing more).
  RepaintCard();
  return false;
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
