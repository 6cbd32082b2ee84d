// The window's modal dialogs, questions and menus.
#include <QAbstractButton>
#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPixmap>
#include <QScreen>
#include <QShortcut>
#include <QTextBrowser>
#include <QTimer>

#include <algorithm>

#include "platform/qt/QtWindow.h"

namespace platform::qt {

namespace {

// "Description (*.jpg *.JPG *.png *.PNG)": desktop dialogs that match names
// case by case still show a camera's upper-case names.
QString NameFilter(const FileFilter& filter) {
  QStringList patterns;
  for (const std::string& p : filter.patterns) patterns << QString::fromStdString(p);
  for (const std::string& p : filter.patterns) {
    const QString upper = QString::fromStdString(p).toUpper();
    if (!patterns.contains(upper)) patterns << upper;
  }
  return QString::fromStdString(filter.description) + QStringLiteral(" (") +
         patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
}

// Qt's own dialog, where the desktop offers no native one, opens this large.
constexpr int kDialogWidth = 900;
constexpr int kDialogHeight = 600;
constexpr int kPreviewSide = 256;

// A picture of the selected file beside the list of Qt's own dialog. The
// program decodes it; the request waits for the selection to rest, so
// walking through a folder with the arrow keys decodes nothing on the way.
void AddPreview(QFileDialog& dialog, const FileDialog& request) {
  auto* grid = qobject_cast<QGridLayout*>(dialog.layout());
  if (!grid || !request.preview) return;
  auto* label = new QLabel(&dialog);
  label->setObjectName(QStringLiteral("preview"));
  label->setAlignment(Qt::AlignCenter);
  label->setMinimumSize(kPreviewSide, kPreviewSide);
  label->setFrameShape(QFrame::StyledPanel);
  grid->addWidget(label, 1, grid->columnCount(), 1, 1);
  auto* rest = new QTimer(&dialog);
  rest->setSingleShot(true);
  rest->setInterval(120);
  auto preview = request.preview;
  QObject::connect(&dialog, &QFileDialog::currentChanged, rest,
                   [rest, label](const QString& path) {
                     label->setProperty("path", path);
                     rest->start();
                   });
  QObject::connect(rest, &QTimer::timeout, label, [label, preview] {
    const QString path = label->property("path").toString();
    const IconImage image = QFileInfo(path).isFile()
                                ? preview(path.toStdString(), kPreviewSide)
                                : IconImage{};
    if (image.width <= 0 || image.height <= 0 ||
        image.rgba.size() != size_t(image.width) * size_t(image.height) * 4) {
      label->clear();
      return;
    }
    label->setPixmap(QPixmap::fromImage(QImage(image.rgba.data(), image.width, image.height,
                                               image.width * 4, QImage::Format_RGBA8888)
                                            .copy()));
  });
}

}  // namespace

std::optional<FileChoice> QtWindow::ChooseFileToOpen(const FileDialog& dialog) {
  return RunFileDialog(dialog, false);
}

std::optional<FileChoice> QtWindow::ChooseFileToSave(const FileDialog& dialog) {
  return RunFileDialog(dialog, true);
}

std::optional<FileChoice> QtWindow::RunFileDialog(const FileDialog& request, bool save) {
  QFileDialog dialog(widget_.data(), QString::fromStdString(request.title));
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save             ? QFileDialog::AnyFile
                     : request.several ? QFileDialog::ExistingFiles
                                       : QFileDialog::ExistingFile);
  // The program asks about replacing a file itself, with its own words.
  if (save) dialog.setOption(QFileDialog::DontConfirmOverwrite);
  // An open dialog's description says what a filter takes ("Pictures
  // (JPEG, PNG, ...)"); the patterns after it stay out of sight.
  if (!save) dialog.setOption(QFileDialog::HideNameFilterDetails);
  // A layout means Qt's own dialog (a native one has none): no desktop
  // dialog to take its size from, so it gets room, and a preview.
  if (dialog.layout()) {
    dialog.resize(std::max(dialog.width(), kDialogWidth), std::max(dialog.height(), kDialogHeight));
    if (!save) AddPreview(dialog, request);
  }
  QStringList filters;
  for (const FileFilter& filter : request.filters) filters << NameFilter(filter);
  if (!filters.isEmpty()) {
    dialog.setNameFilters(filters);
    if (request.initialFilter < size_t(filters.size()))
      dialog.selectNameFilter(filters[int(request.initialFilter)]);
  }
  if (!request.initialFolder.empty())
    dialog.setDirectory(QString::fromStdString(request.initialFolder));
  if (!request.initialName.empty()) dialog.selectFile(QString::fromStdString(request.initialName));

  QString path;
  for (;;) {
    BeginModal();
    const bool accepted = dialog.exec() == QDialog::Accepted;
    EndModal();
    if (!accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    path = dialog.selectedFiles().first();
    if (!save || QFileInfo(path).absoluteDir().exists()) break;
    // A name in a folder that is not there is refused on the spot, and the
    // user picks again.
    BeginModal();
    QMessageBox::warning(&dialog, dialog.windowTitle(),
                         QStringLiteral("The folder \"%1\" does not exist.")
                             .arg(QFileInfo(path).absolutePath()));
    EndModal();
  }
  const int chosen = filters.indexOf(dialog.selectedNameFilter());
  FileChoice choice{path.toStdString(), chosen >= 0 ? size_t(chosen) : 0, {}};
  if (request.several && !save)
    for (const QString& file : dialog.selectedFiles()) choice.paths.push_back(file.toStdString());
  return choice;
}

MessageAnswer QtWindow::ShowMessage(const Message& message) {
  static const QMessageBox::Icon kIcons[] = {QMessageBox::NoIcon, QMessageBox::Information,
                                             QMessageBox::Warning, QMessageBox::Question,
                                             QMessageBox::Critical};
  QMessageBox box(kIcons[int(message.icon)], QString::fromStdString(message.caption),
                  QString::fromStdString(message.text), QMessageBox::NoButton, widget_.data());
  // A file name such as "<b>.png" is a name, not markup.
  box.setTextFormat(Qt::PlainText);
  switch (message.buttons) {
    case MessageButtons::Ok:
      box.setStandardButtons(QMessageBox::Ok);
      break;
    case MessageButtons::YesNo:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
      box.setDefaultButton(QMessageBox::Yes);
      break;
    case MessageButtons::SaveDiscardCancel:
      box.setStandardButtons(QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
      box.setDefaultButton(QMessageBox::Save);
      // The style's own word for it varies ("Discard", "Close without
      // Saving"); the question is worded for this one.
      box.button(QMessageBox::Discard)->setText(QStringLiteral("Don't Save"));
      break;
  }
  static const QMessageBox::StandardButton kOrder[][3] = {
      {QMessageBox::Ok}, {QMessageBox::Yes, QMessageBox::No},
      {QMessageBox::Save, QMessageBox::Discard, QMessageBox::Cancel}};
  for (size_t i = 0; i < message.labels.size() && i < 3; ++i)
    if (QAbstractButton* button = box.button(kOrder[int(message.buttons)][i]))
      button->setText(QString::fromStdString(message.labels[i]));
  BeginModal();
  const int answer = box.exec();
  EndModal();
  switch (answer) {
    case QMessageBox::Yes: return MessageAnswer::Yes;
    case QMessageBox::No: return MessageAnswer::No;
    case QMessageBox::Save: return MessageAnswer::Save;
    case QMessageBox::Discard: return MessageAnswer::Discard;
    case QMessageBox::Cancel: return MessageAnswer::Cancel;
    default:
      // Closing a question with Escape or its title bar button answers
      // its most careful choice.
      return message.buttons == MessageButtons::Ok        ? MessageAnswer::Ok
             : message.buttons == MessageButtons::YesNo ? MessageAnswer::No
                                                         : MessageAnswer::Cancel;
  }
}

bool QtWindow::ShowLocalPage(const std::string& path, const std::string& title) {
  const QString file = QString::fromStdString(path);
  if (!widget_ || !QFileInfo(file).isFile() || !QFileInfo(file).isReadable()) return false;
  if (!page_) {
    // A window of its own, above the card and gone with it.
    auto* browser = new QTextBrowser(widget_.data());
    browser->setWindowFlags(Qt::Window);
    browser->setAttribute(Qt::WA_DeleteOnClose);
    browser->setOpenExternalLinks(true);  // web links to a browser, where there is one
    new QShortcut(QKeySequence(Qt::Key_Escape), browser, browser, &QWidget::close);
    const QRect owner = widget_->window()->frameGeometry();
    QRect room = owner;
    if (QScreen* screen = widget_->screen()) room = screen->availableGeometry();
    const QSize size(std::min(860, room.width()), std::min(700, room.height()));
    QRect placed(QPoint(0, 0), size);
    placed.moveCenter(owner.center());
    placed.moveLeft(std::clamp(placed.left(), room.left(), room.right() - size.width()));
    placed.moveTop(std::clamp(placed.top(), room.top(), room.bottom() - size.height()));
    browser->setGeometry(placed);
    page_ = browser;
  }
  auto* browser = static_cast<QTextBrowser*>(page_.data());
  browser->setWindowTitle(QString::fromStdString(title));
  browser->setSource(QUrl::fromLocalFile(file));
  browser->show();
  browser->raise();
  browser->activateWindow();
  return true;
}

namespace {

// A label as it reads: "&" is a mnemonic marker to Qt.
QString PlainLabel(const std::string& text) {
  return QString::fromStdString(text).replace(QLatin1Char('&'), QStringLiteral("&&"));
}

void AddItems(QMenu& menu, const std::vector<MenuItem>& items) {
  for (const MenuItem& item : items) {
    if (!item.submenu.empty()) {
      QMenu* sub = menu.addMenu(PlainLabel(item.label));
      sub->setEnabled(item.enabled);
      AddItems(*sub, item.submenu);
      continue;
    }
    if (item.command == 0) {
      menu.addSeparator();
      continue;
    }
    // After a tab, Qt shows the text as the item's key, in a column of its own.
    QString label = PlainLabel(item.label);
    if (!item.shortcut.empty()) label += QLatin1Char('\t') + QString::fromStdString(item.shortcut);
    QAction* action = menu.addAction(label);
    action->setData(item.command);
    action->setEnabled(item.enabled);
  }
}

}  // namespace

int QtWindow::ShowContextMenu(Point at, const std::vector<MenuItem>& items) {
  QMenu menu(widget_.data());
  AddItems(menu, items);
  BeginModal();
  QAction* chosen = menu.exec(widget_->mapToGlobal(QPoint(at.x, at.y)));
  EndModal();
  return chosen ? chosen->data().toInt() : 0;
}

}  // namespace platform::qt
