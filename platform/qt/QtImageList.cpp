#include "platform/qt/QtImageList.h"

#include <QImage>

namespace platform::qt {

namespace {

// Icons are small; anything larger than this is a corrupt description.
constexpr int32_t kMaxIconSide = 1024;

}  // namespace

QtImageList::QtImageList(int32_t cx, int32_t cy) : cx_(cx), cy_(cy) {}

int QtImageList::ReplaceIcon(int index, const IconImage& icon) {
  if (!icon.rgba || icon.width <= 0 || icon.height <= 0 || icon.width > kMaxIconSide ||
      icon.height > kMaxIconSide)
    return -1;
  if (index < -1 || index >= Count()) return -1;
  // Packed straight-alpha rows are exactly Format_RGBA8888; copy() detaches
  // from the caller's buffer.
  QImage image = QImage(icon.rgba, icon.width, icon.height, icon.width * 4,
                        QImage::Format_RGBA8888)
                     .copy();
  // Like the classic lists, every image takes the list's size.
  if (cx_ > 0 && cy_ > 0 && image.size() != QSize(cx_, cy_))
    image = image.scaled(cx_, cy_, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  QPixmap pixmap = QPixmap::fromImage(image);
  if (index == -1) {
    pixmaps_.push_back(std::move(pixmap));
    return Count() - 1;
  }
  pixmaps_[size_t(index)] = std::move(pixmap);
  return index;
}

QPixmap QtImageList::Pixmap(int index) const {
  if (index < 0 || index >= Count()) return QPixmap();
  return pixmaps_[size_t(index)];
}

}  // namespace platform::qt
