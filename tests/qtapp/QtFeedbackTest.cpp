#include <sys/stat.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDragLeaveEvent>
#include <QDragMoveEvent>
#include <QAbstractItemView>
#include <QFileDialog>
#include <QLineEdit>
#include <QFileSystemModel>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <QWheelEvent>

#include <functional>
#include <string>
#include <vector>

#include "interaction/HintTexts.h"
#include "interaction/RegionFocus.h"
#include "tests/qtapp/QtAppHarness.h"

using namespace qtapp;
using cardfiles::ClientPoint;
using cardfiles::Rgb;

namespace {

// Calls `answer` with each modal dialog or popup that opens while it lives,
// once per widget, the way a user would deal with it.
class Answerer {
 public:
  explicit Answerer(std::function<void(QWidget&)> answer) : answer_(std::move(answer)) {
    timer_.setInterval(10);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      QWidget* widget = QApplication::activePopupWidget();
      if (!widget) widget = QApplication::activeModalWidget();
      if (!widget) last_ = nullptr;  // a later dialog may be made where this one was
      if (!widget || widget == last_) return;
      last_ = widget;
      answer_(*widget);
    });
    timer_.start();
  }

 private:
  std::function<void(QWidget&)> answer_;
  QTimer timer_;
  QWidget* last_ = nullptr;
};

std::string Hint(QtApp& app) {
  const char* text = app.wnd->View().HintText();
  return text ? text : "";
}

// Lengths of the runs of pixels along a row that differ between two grabs.
std::vector<int> ChangedRuns(const QImage& a, const QImage& b, int y, int from, int to) {
  std::vector<int> runs;
  int run = 0;
  for (int x = from; x < to; ++x) {
    if (a.pixel(x, y) != b.pixel(x, y)) {
      ++run;
    } else if (run) {
      runs.push_back(run);
      run = 0;
    }
  }
  if (run) runs.push_back(run);
  return runs;
}

}  // namespace

TEST(QtFeedback, TheOpenDialogIsRoomyNamesPicturesOnceAndPreviewsThem) {
  QtApp app;
  ASSERT_TRUE(app.Ready());
  const std::string photo = app.files.Photo("sky.png", 300, 200, Rgb{20, 60, 230});
  const QString photoPath = QString::fromStdString(photo);
  QSize size;
  QStringList shownTypes;
  bool previewed = false;
  Answerer user([&](QWidget& widget) {
    auto* dialog = qobject_cast<QFileDialog*>(&widget);
    if (!dialog) return;
    size = dialog->size();
    if (auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo")))
      for (int i = 0; i < types->count(); ++i) shownTypes << types->itemText(i);
    // The user walks onto the photo in the list: its picture appears.
    dialog->setDirectory(QFileInfo(photoPath).absolutePath());
    auto* list = dialog->findChild<QListView*>(QStringLiteral("listView"));
    auto* model = dialog->findChild<QFileSystemModel*>();
    auto* preview = dialog->findChild<QLabel*>(QStringLiteral("preview"));
    if (list && model && preview) {
      list->setCurrentIndex(model->index(photoPath));
      previewed = QTest::qWaitFor(
          [&] {
            const QPixmap shown = preview->pixmap();
            return !shown.isNull() && shown.width() == 256 && shown.height() == 170;
          },
          3000);
    }
    dialog->selectFile(photoPath);
    QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
  });
  QTest::mouseClick(app.widget, Qt::LeftButton, Qt::NoModifier, app.At(app.In(2)));
  ASSERT_TRUE(QTest::qWaitFor([&] { return app.Card().slots[2].HasPhoto(); }, 5000));
  EXPECT_GE(size.width(), 900);
  EXPECT_GE(size.height(), 600);
  EXPECT_EQ(shownTypes, (QStringList{QStringLiteral("Pictures (JPEG, PNG, \u2026)"),
                                     QStringLiteral("All files")}));
  EXPECT_TRUE(previewed);
}

TEST(QtFeedback, QuestionsCarryIconsAndButtonsThatAreVerbs) {
  QtApp app;
  ASSERT_TRUE(app.Ready());
  QStringList buttons;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  Answerer user([&](QWidget& widget) {
    auto* box = qobject_cast<QMessageBox*>(&widget);
    if (!box) return;
    icon = box->icon();
    for (QAbstractButton* b : box->buttons()) buttons << b->text();
    if (QAbstractButton* no = box->button(QMessageBox::No)) no->click();
  });
  app.Button("Save")->click();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !buttons.isEmpty(); }, 3000));
  buttons.sort();
  EXPECT_EQ(buttons, (QStringList{"Go Back", "Save Anyway"}));
  EXPECT_EQ(icon, QMessageBox::Question);
}

TEST(QtFeedback, TheHintTellsDropsGesturesZoomsAndSaves) {
  QtApp app;
  ASSERT_TRUE(app.Ready());
  const std::string photo = app.files.Photo("green.png", 600, 150, Rgb{20, 180, 60});
  // The card at rest, so only the highlight can change its pixels.
  ASSERT_TRUE(app.WaitForFullQuality());
  const QImage before = app.Grab();

  // Files over a region: its edge lights up and the hint says what a drop does.
  QMimeData mime;
  mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(photo))});
  const QPoint over = app.At(app.In(2));
  const Qt::DropActions actions = Qt::CopyAction;
  QDragEnterEvent enter(over, actions, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(app.widget, &enter);
  QDragMoveEvent move(over, actions, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(app.widget, &move);
  EXPECT_EQ(Hint(app), interaction::kHintDropPhoto);
  QTest::qWait(20);
  const Rect box = interaction::RegionFocus::BoxOnScreen(app.Card(), app.CardRect(), 2);
  const Rect reach = interaction::RegionFocus::OutlineOnScreen(app.Card(), app.CardRect(), 2);
  const int middle = (box.top + box.bottom) / 2;
  EXPECT_EQ(ChangedRuns(before, app.Grab(), middle, reach.left, reach.right),
            (std::vector<int>{4, 4}));
  QDragLeaveEvent leave;
  QApplication::sendEvent(app.widget, &leave);
  EXPECT_NE(Hint(app), interaction::kHintDropPhoto);
  QTest::qWait(20);
  EXPECT_TRUE(ChangedRuns(before, app.Grab(), middle, reach.left, reach.right).empty());

  ASSERT_TRUE(DragFilesOnto(app, {photo}, over).dropAccepted);
  // Over the photo the hint names the wheel and the right button, and the
  // right button's menu names each command's key.
  QTest::mouseMove(app.widget, over);
  EXPECT_TRUE(QTest::qWaitFor([&] { return Hint(app) == interaction::kHintDragPicture; }));
  EXPECT_NE(Hint(app).find("wheel"), std::string::npos);
  QStringList items;
  Answerer user([&](QWidget& widget) {
    if (auto* menu = qobject_cast<QMenu*>(&widget)) {
      for (QAction* a : menu->actions())
        if (!a->isSeparator()) items << a->text();
      menu->close();
    }
  });
  QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, over, app.widget->mapToGlobal(over));
  QApplication::sendEvent(app.widget, &menuEvent);
  EXPECT_TRUE(items.contains(QStringLiteral("Remove photo\tDelete")));
  EXPECT_TRUE(items.contains(QStringLiteral("Undo\tCtrl+Z")));

  // The wheel: how far, while it turns.
  QWheelEvent wheel(QPointF(over), app.widget->mapToGlobal(QPointF(over)), QPoint(),
                    QPoint(0, 120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(app.widget, &wheel);
  EXPECT_EQ(Hint(app), "Zoom 125 %");

  // Another photo over it: replaced, and the way back named.
  ASSERT_TRUE(DragFilesOnto(app, {app.files.Photo("red.png", 90, 60, Rgb{230, 20, 20})}, over)
                  .dropAccepted);
  EXPECT_EQ(Hint(app), "Photo replaced - press Ctrl+Z to bring back the one before.");
}

TEST(QtFeedback, ASaveIsToldAndAFailedOneReturnsToTheDialog) {
  QtApp app;
  ASSERT_TRUE(app.Ready());
  for (size_t slot = 0; slot < app.Card().slots.size(); ++slot)
    ASSERT_TRUE(DragFilesOnto(app, {app.files.Photo("p" + std::to_string(slot) + ".png", 40, 30,
                                                    Rgb{90, 90, 90})},
                              app.At(app.In(slot)))
                    .dropAccepted);
  const QString folder = QString::fromStdString(app.files.Folder());
  // The first choice fails (a pipe no program reads); the message comes,
  // then the dialog again, where a good name is chosen.
  ASSERT_EQ(mkfifo((folder + "/taken.jpg").toLocal8Bit().constData(), 0600), 0);
  int dialogs = 0;
  QStringList messages;
  Answerer user([&](QWidget& widget) {
    if (auto* box = qobject_cast<QMessageBox*>(&widget)) {
      messages << box->text();
      QMetaObject::invokeMethod(box, "accept", Qt::QueuedConnection);
      return;
    }
    auto* dialog = qobject_cast<QFileDialog*>(&widget);
    if (!dialog) return;
    // A name typed, and accepted at once. Typing lets go of the file the
    // dialog selected in its list (the one that failed), but the list may
    // select it only once its folder has loaded, after the typing, and a
    // selected file wins over a typed name: let go of it first here.
    auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(name, nullptr);
    for (QAbstractItemView* view : dialog->findChildren<QAbstractItemView*>())
      if (view->selectionModel()) view->selectionModel()->clearSelection();
    ++dialogs;
    name->setText(folder + (dialogs == 1 ? "/taken.jpg" : "/card.jpg"));
    QMetaObject::invokeMethod(dialog, "accept");
  });
  app.Button("Save")->click();
  ASSERT_TRUE(QTest::qWaitFor([&] { return QFileInfo::exists(folder + "/card.jpg"); }, 5000));
  EXPECT_EQ(dialogs, 2);
  ASSERT_GE(messages.size(), 1);
  EXPECT_TRUE(messages[0].startsWith(QStringLiteral("The card could not be saved"))) << messages[0].toStdString();
  EXPECT_EQ(Hint(app), "Saved \"card.jpg\" (900 x 600).");
}
