// The design chooser: every design as a picture with its name, in a grid.
#include <algorithm>

#include <QDialog>
#include <QDialogButtonBox>
#include <QStyle>
#include <QImage>
#include <QListWidget>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/qt/QtWindow.h"

namespace platform::qt {

namespace {

// The picture centred on a transparent tile of the chooser's thumbnail
// size, so that every item is the same size and the names line up.
QIcon Thumbnail(const DesignChoice& choice, QSize tile) {
  QPixmap pixmap(tile);
  pixmap.fill(Qt::transparent);
  const size_t bytes = size_t(choice.width) * size_t(choice.height) * 3;
  if (choice.width > 0 && choice.height > 0 && choice.rgb.size() >= bytes) {
    const QImage image(choice.rgb.data(), choice.width, choice.height, choice.width * 3,
                       QImage::Format_RGB888);
    QPainter painter(&pixmap);
    const QImage fitted =
        image.width() > tile.width() || image.height() > tile.height()
            ? image.scaled(tile, Qt::KeepAspectRatio, Qt::SmoothTransformation)
            : image;
    const QPoint at((tile.width() - fitted.width()) / 2, (tile.height() - fitted.height()) / 2);
    painter.drawImage(at, fitted);
    // A thin edge, so that a white card stands out on a white list.
    painter.setPen(QColor(0, 0, 0, 60));
    painter.drawRect(QRect(at, fitted.size()).adjusted(0, 0, -1, -1));
  }
  // Selected, the style tints it: the choice shows on the picture too.
  return QIcon(pixmap);
}

}  // namespace

std::optional<size_t> QtWindow::ChooseDesign(const DesignChoices& request) {
  if (request.choices.empty()) return std::nullopt;
  QDialog dialog(widget_.data());
  dialog.setWindowTitle(QString::fromStdString(request.title));
  const QSize tile(std::max(16, request.thumbnailWidth), std::max(16, request.thumbnailHeight));

  auto* list = new QListWidget(&dialog);
  list->setObjectName(QStringLiteral("designs"));
  list->setViewMode(QListView::IconMode);
  list->setMovement(QListView::Static);
  list->setResizeMode(QListView::Adjust);
  list->setWrapping(true);
  list->setWordWrap(true);
  list->setUniformItemSizes(true);
  list->setSelectionMode(QAbstractItemView::SingleSelection);
  list->setIconSize(tile);
  const int lineHeight = list->fontMetrics().height();
  const QSize cell(tile.width() + 24, tile.height() + 3 * lineHeight + 12);
  list->setGridSize(cell);
  list->setSpacing(4);
  for (const DesignChoice& choice : request.choices) {
    QString text = QString::fromStdString(choice.name);
    if (!choice.detail.empty()) text += QLatin1Char('\n') + QString::fromStdString(choice.detail);
    auto* item = new QListWidgetItem(Thumbnail(choice, tile), text, list);
    item->setTextAlignment(Qt::AlignHCenter | Qt::AlignTop);
    item->setToolTip(text);
  }
  if (request.selected < request.choices.size()) {
    list->setCurrentRow(int(request.selected));
    list->scrollToItem(list->currentItem());
  }

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  if (!request.acceptLabel.empty())
    buttons->button(QDialogButtonBox::Ok)->setText(QString::fromStdString(request.acceptLabel));
  buttons->button(QDialogButtonBox::Ok)->setEnabled(list->currentRow() >= 0);
  QObject::connect(list, &QListWidget::currentRowChanged, buttons, [buttons](int row) {
    buttons->button(QDialogButtonBox::Ok)->setEnabled(row >= 0);
  });
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  QObject::connect(list, &QListWidget::itemActivated, &dialog, [&dialog] { dialog.accept(); });

  auto* layout = new QVBoxLayout(&dialog);
  layout->addWidget(list);
  layout->addWidget(buttons);
  // Room for three columns and three rows, and half a row more when there
  // are more to scroll to.
  const int frame = 2 * list->frameWidth() + list->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
  const int rows = int(std::min<size_t>(3, (request.choices.size() + 2) / 3));
  const int more = request.choices.size() > 9 ? cell.height() / 2 : 0;
  list->setMinimumSize(3 * (cell.width() + 8) + frame + 8,
                       rows * (cell.height() + 8) + more + frame);

  BeginModal();
  const bool accepted = dialog.exec() == QDialog::Accepted;
  EndModal();
  const int row = list->currentRow();
  if (!accepted || row < 0 || size_t(row) >= request.choices.size()) return std::nullopt;
  return size_t(row);
}

}  // namespace platform::qt
