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

void QtCanvas::DrawFocusOutline(const Rect& target, Size picture,
                                const std::vector<Rect>& pieces) {
  if (pieces.empty() || target.Empty() || picture.width <= 0 || picture.height <= 0) return;
  // The pieces are in the picture's pixels, the device's on a high-density
  // screen: scaled down to client pixels they land on whole device pixels.
  painter_.save();
  painter_.setRenderHint(QPainter::Antialiasing, false);
  painter_.translate(target.left, target.top);
  painter_.scale(double(target.Width()) / picture.width, double(target.Height()) / picture.height);
  const QColor colour = widget_.palette().color(QPalette::Active, QPalette::Highlight);
  for (const Rect& piece : pieces)
    painter_.fillRect(QRect(piece.left, piece.top, piece.Width(), piece.Height()), colour);
  painter_.restore();
}

}  // namespace platform::qt
