#pragma once

#include <vector>

#include <QPixmap>

#include "platform/Toolbar.h"

namespace platform::qt {

// Icons of one size, kept as pixmaps ready for the toolbar's buttons.
class QtImageList : public ImageList {
 public:
  QtImageList(int32_t cx, int32_t cy);

  int ReplaceIcon(int index, const IconImage& icon) override;
  int Count() const override { return int(pixmaps_.size()); }

  // A null pixmap when there is no image at `index`.
  QPixmap Pixmap(int index) const;
  QSize ImageSize() const { return QSize(cx_, cy_); }

 private:
  int32_t cx_;
  int32_t cy_;
  std::vector<QPixmap> pixmaps_;
};

}  // namespace platform::qt
