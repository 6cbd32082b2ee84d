#pragma once

#include <QPainter>
#include <QWidget>

#include "platform/Canvas.h"

namespace platform::qt {

class QtCanvas : public Canvas {
 public:
  QtCanvas(QPainter& painter, QWidget& widget) : painter_(painter), widget_(widget) {}

  void FillRect(const Rect& rect, Colour colour) override;
  void DrawRgb(const Rect& target, const uint8_t* rgb, int32_t width, int32_t height,
               int32_t stride) override;
  void DrawTextLine(const std::string& text, const Rect& rect, const TextStyle& style) override;
  void DrawFocusOutline(const Rect& target, Size picture,
                        const std::vector<Rect>& pieces) override;

 private:
  QPainter& painter_;
  QWidget& widget_;
};

}  // namespace platform::qt
