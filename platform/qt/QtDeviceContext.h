#pragma once

#include <memory>

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>

#include "platform/DeviceContext.h"

namespace platform::qt {

// A device context drawing through a QPainter: either one lent by a paint
// event (window or toolbar button) or, for memory contexts, one that paints
// on an image the context owns. Without a painter every call does nothing,
// which is what a context outside a paint cycle amounts to.
class QtDeviceContext : public DeviceContext {
 public:
  explicit QtDeviceContext(QPainter* painter);
  // A memory context: a zeroed ARGB32 premultiplied image of this size.
  QtDeviceContext(int32_t width, int32_t height);
  ~QtDeviceContext() override;

  QtDeviceContext(const QtDeviceContext&) = delete;
  QtDeviceContext& operator=(const QtDeviceContext&) = delete;

  Colour SetBkColor(Colour colour) override;
  Font SelectFont(Font font) override;
  void FillSolidRect(const Rect& rect, Colour colour) override;
  void SetDIBitsToDevice(int32_t x, int32_t y, int32_t width, int32_t height,
                         const uint8_t* bgrRows, int32_t stride) override;
  int32_t DrawTextEx(const char* text, const Rect& rect, uint32_t dtFlags) override;
  void DrawThemeTextEx(ThemeHandle theme, int part, int state, const char* text,
                       const Rect& rect, uint32_t dtFlags, const DTTOPTS& options) override;
  void BitBlt(int32_t x, int32_t y, int32_t width, int32_t height, DeviceContext& source,
              int32_t sx, int32_t sy) override;
  std::unique_ptr<DeviceContext> CreateCompatibleDC(int32_t width, int32_t height) override;

  QPainter* Painter() const { return painter_; }
  // The memory context's picture; null for a window context.
  const QImage* Image() const { return image_.get(); }

  static QColor ToQColor(Colour colour);
  static QRect ToQRect(const Rect& rect);
  static QFont FontFor(Font font);

 private:
  QPainter* painter_ = nullptr;
  std::unique_ptr<QImage> image_;
  std::unique_ptr<QPainter> ownedPainter_;
  Colour bkColour_ = RGB(255, 255, 255);  // a fresh context's background is white
  Font font_ = Font::System;
};

}  // namespace platform::qt
