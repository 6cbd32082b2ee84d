#include "platform/qt/QtDeviceContext.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPalette>
#include <QString>

namespace platform::qt {

namespace {

// Text flags the layer speaks, as a QPainter alignment. Only single lines
// are drawn, so vertical placement is top or bottom.
QPoint TextOrigin(const QFontMetrics& metrics, const QRect& box, int textWidth, uint32_t dtFlags) {
  const int x = (dtFlags & DT_CENTER) ? box.left() + (box.width() - textWidth) / 2 : box.left();
  const int top = (dtFlags & DT_BOTTOM) ? box.top() + box.height() - metrics.height() : box.top();
  return QPoint(x, top);
}

}  // namespace

QtDeviceContext::QtDeviceContext(QPainter* painter) : painter_(painter) {}

QtDeviceContext::QtDeviceContext(int32_t width, int32_t height) {
  if (width <= 0 || height <= 0) return;
  auto image = std::make_unique<QImage>(width, height, QImage::Format_ARGB32_Premultiplied);
  if (image->isNull()) return;  // too large to allocate: behave as an inert context
  image->fill(0);
  image_ = std::move(image);
  ownedPainter_ = std::make_unique<QPainter>(image_.get());
  painter_ = ownedPainter_.get();
}

QtDeviceContext::~QtDeviceContext() {
  if (ownedPainter_) ownedPainter_->end();
}

QColor QtDeviceContext::ToQColor(Colour colour) {
  return QColor(GetRValue(colour), GetGValue(colour), GetBValue(colour));
}

QRect QtDeviceContext::ToQRect(const Rect& rect) {
  return QRect(rect.left, rect.top, rect.Width(), rect.Height());
}

QFont QtDeviceContext::FontFor(Font font) {
  // The classic system has four fonts here; on a desktop toolkit the
  // application font is the one users configure, so every role uses it.
  switch (font) {
    case Font::System:
    case Font::DefaultGui:
    case Font::ThemeStatus:
    case Font::ThemeIconTitle:
      break;
  }
  return QApplication::font();
}

Colour QtDeviceContext::SetBkColor(Colour colour) {
  const Colour previous = bkColour_;
  bkColour_ = colour;
  return previous;
}

Font QtDeviceContext::SelectFont(Font font) {
  const Font previous = font_;
  font_ = font;
  return previous;
}

void QtDeviceContext::FillSolidRect(const Rect& rect, Colour colour) {
  if (!painter_ || rect.Empty()) return;
  painter_->fillRect(ToQRect(rect), ToQColor(colour));
}

void QtDeviceContext::SetDIBitsToDevice(int32_t x, int32_t y, int32_t width, int32_t height,
                                        const uint8_t* bgrRows, int32_t stride) {
  if (!painter_ || !bgrRows || width <= 0 || height <= 0) return;
  if (int64_t(stride) < int64_t(width) * 3) return;
  // Wraps the caller's rows without copying them.
  const QImage rows(bgrRows, width, height, stride, QImage::Format_BGR888);
  painter_->drawImage(QPoint(x, y), rows);
}

int32_t QtDeviceContext::DrawTextEx(const char* text, const Rect& rect, uint32_t dtFlags) {
  const QFont font = FontFor(font_);
  const QFontMetrics metrics(font);
  if (!painter_ || !text) return metrics.height();
  const QString line = QString::fromUtf8(text);
  const QRect box = ToQRect(rect);
  const int textWidth = metrics.horizontalAdvance(line);
  const QPoint origin = TextOrigin(metrics, box, textWidth, dtFlags);

  painter_->save();
  painter_->setClipRect(box, Qt::IntersectClip);
  painter_->fillRect(QRect(origin, QSize(textWidth, metrics.height())).intersected(box),
                     ToQColor(bkColour_));
  painter_->setFont(font);
  painter_->setPen(QApplication::palette().color(QPalette::WindowText));
  painter_->drawText(QPoint(origin.x(), origin.y() + metrics.ascent()), line);
  painter_->restore();
  return metrics.height();
}

void QtDeviceContext::DrawThemeTextEx(ThemeHandle, int, int, const char* text, const Rect& rect,
                                      uint32_t dtFlags, const DTTOPTS& options) {
  if (!painter_ || !text) return;
  const QFont font = FontFor(font_);
  const QFontMetrics metrics(font);
  const QString line = QString::fromUtf8(text);
  const QRect box = ToQRect(rect);
  const QPoint origin = TextOrigin(metrics, box, metrics.horizontalAdvance(line), dtFlags);
  const QPoint baseline(origin.x(), origin.y() + metrics.ascent());
  const int glow = (options.dwFlags & DTT_GLOWSIZE) ? qBound(0, options.iGlowSize, 32) / 2 : 0;

  painter_->save();
  painter_->setClipRect(box, Qt::IntersectClip);
  painter_->setFont(font);
  // A soft halo: faint white copies of the text around the glyphs, the
  // nearer rings drawn more strongly.
  for (int radius = glow; radius > 0; --radius) {
    painter_->setPen(QColor(255, 255, 255, 160 / radius));
    for (int dy = -radius; dy <= radius; dy += radius)
      for (int dx = -radius; dx <= radius; dx += radius)
        if (dx || dy) painter_->drawText(baseline + QPoint(dx, dy), line);
  }
  painter_->setPen(Qt::black);
  painter_->drawText(baseline, line);
  painter_->restore();
}

void QtDeviceContext::BitBlt(int32_t x, int32_t y, int32_t width, int32_t height,
                             DeviceContext& source, int32_t sx, int32_t sy) {
  if (!painter_ || width <= 0 || height <= 0) return;
  auto* from = dynamic_cast<QtDeviceContext*>(&source);
  if (!from || !from->image_) return;  // only memory contexts can be read back
  painter_->save();
  painter_->setCompositionMode(QPainter::CompositionMode_Source);
  painter_->drawImage(QRect(x, y, width, height), *from->image_, QRect(sx, sy, width, height));
  painter_->restore();
}

std::unique_ptr<DeviceContext> QtDeviceContext::CreateCompatibleDC(int32_t width, int32_t height) {
  return std::make_unique<QtDeviceContext>(width, height);
}

}  // namespace platform::qt
