// The window's modal dialogs, questions and menus.
#include <QAbstractButton>
#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>

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
                                             QMessageBox::Warning, QMessageBox::Question};
  QMessageBox box(kIcons[int(message.icon)], QString::fromStdString(message.caption),
                  QString::fromStdString(message.text), QMessageBox::NoButton, widget_.data());
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
