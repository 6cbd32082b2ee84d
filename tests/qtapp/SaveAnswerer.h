#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>
#include <string>

// Answers what Save asks as a user would: Yes to the empty regions, the
// given name with a PNG type in the dialog (the print size's unless told).
class SaveAnswerer {
 public:
  SaveAnswerer() {
    timer_.setInterval(10);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      QWidget* modal = QApplication::activeModalWidget();
      if (auto* box = qobject_cast<QMessageBox*>(modal)) {
        box->button(QMessageBox::Yes)->click();
      } else if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
        // Typed into the name field, as a user does.
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (!name) return;
        dialog->selectNameFilter(dialog->nameFilters().value(int(filter)));
        name->setText(QString::fromStdString(path));
        QMetaObject::invokeMethod(dialog, "accept");
        ++saves;
      }
    });
    timer_.start();
  }
  std::string path;
  size_t filter = 1;  // print, PNG; 3 is the screen size's PNG
  int saves = 0;

 private:
  QTimer timer_;
};
