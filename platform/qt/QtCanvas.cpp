#include "platform/qt/QtCanvas.h"

#include <QApplication>
#include <QImage>
#include <QPen>

namespace platform::qt {

namespace {

QRect ToQRect(const Rect& r) { return QRect(r.left, r.top, r.Width(), r.Height()); }
QColor ToQColor(Colour c) { return QColor(c.r, c.g, c.b); }

}  // namespace

void QtCanvas::FillRect(const Rect& rect, Colour colour) {
  painter_.fillRect(ToQRect(rect), ToQColor(colour));
}

void QtCanvas::DrawRgb(const Rect& target, const uint8_t* rgb, int32_t width, int32_t height,
                       int32_t stride) {
  if (width <= 0 || height <= 0 || target.Empty()) return;
  // The program's R, G, B rows as they are: no copy, no channel swap.
  QImage image(rgb, width, height, stride, QImage::Format_RGB888);
  image.setDevicePixelRatio(double(width) / target.Width());
  painter_.drawImage(QPoint(target.left, target.top), image);
}

void QtCanvas::DrawTextLine(const std::string& text, const Rect& rect, const TextStyle& style) {
  const int flags = Qt::TextSingleLine | Qt::AlignBottom |
                    (style.centred ? Qt::AlignHCenter : Qt::AlignLeft);
  const QRect box = ToQRect(rect);
  painter_.save();
  painter_.setClipRect(box, Qt::IntersectClip);
  painter_.setFont(QApplication::font(&widget_));
  const QString line = painter_.fontMetrics().elidedText(QString::fromStdString(text),
                                                         Qt::ElideRight, box.width());
  if (style.opaque) {
    painter_.fillRect(painter_.boundingRect(box, flags, line).intersected(box),
                      ToQColor(style.background));
  }
  if (style.glow) {
    // A soft light halo keeps dark text readable on a dark background.
    painter_.setPen(QColor(255, 255, 255, 90));
    for (int d = -2; d <= 2; ++d)
      for (int e = -2; e <= 2; ++e)
        if (d || e) painter_.drawText(box.translated(d, e), flags, line);
  }
  painter_.setPen(widget_.palette().color(QPalette::WindowText));
  painter_.drawText(box, flags, line);
  painter_.restore();
}

void QtCanvas::DrawFocusRing(const Rect& rect) {
  // The style's own focus frame is a faint tinted box that vanishes on a
  // photo; a ring in the selection colour with a light inner edge stays
  // visible on dark and light pictures alike.
  const QRect box = ToQRect(rect);
  if (box.width() < 6 || box.height() < 6) return;
  painter_.save();
  painter_.setRenderHint(QPainter::Antialiasing, false);
  painter_.setBrush(Qt::NoBrush);
  painter_.setPen(QPen(widget_.palette().color(QPalette::Active, QPalette::Highlight), 2));
  painter_.drawRect(QRectF(box).adjusted(1, 1, -1, -1));
  painter_.setPen(QPen(QColor(255, 255, 255, 200), 1));
  painter_.drawRect(box.adjusted(2, 2, -3, -3));
  painter_.restore();
}

}  // namespace platform::qt
