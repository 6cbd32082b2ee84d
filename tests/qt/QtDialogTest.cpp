#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>

#include "QtTestSupport.h"

namespace qttest {
namespace {

// Answers the next modal widget of type T the way a user would, while the
// returned timer lives.
template <typename T>
std::unique_ptr<QTimer> Answer(std::function<void(T&)> answer) {
  auto timer = std::make_unique<QTimer>();
  timer->setInterval(10);
  QTimer* raw = timer.get();
  QObject::connect(raw, &QTimer::timeout, [raw, answer] {
    T* widget = qobject_cast<T*>(QApplication::activeModalWidget());
    if (!widget) widget = qobject_cast<T*>(QApplication::activePopupWidget());
    if (!widget) return;
    raw->stop();
    answer(*widget);
  });
  timer->start();
  return timer;
}

FileDialog SaveRequest() {
  FileDialog d;
  d.title = "Save card";
  d.filters = {{"JPEG picture files", {"*.jpg"}}, {"PNG picture files", {"*.png"}}};
  d.initialName = "card";
  return d;
}

TEST_F(QtPlatformTest, SaveDialogReportsTheChosenTypeAndTheNameAsTyped) {
  RecordingHandler handler;
  auto window = Make(handler, 200, 100);
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  QStringList offered;
  const auto answering = Answer<QFileDialog>([&](QFileDialog& dialog) {
    offered = dialog.nameFilters();
    EXPECT_EQ(dialog.windowTitle(), "Save card");
    EXPECT_EQ(dialog.directory().absolutePath(), dir.path());
    dialog.selectNameFilter(offered.value(1));
    dialog.selectFile(dir.filePath("card"));
    QMetaObject::invokeMethod(&dialog, "accept");
  });
  FileDialog request = SaveRequest();
  request.initialFolder = dir.path().toStdString();
  const std::optional<FileChoice> choice = window->ChooseFileToSave(request);
  ASSERT_TRUE(choice.has_value());
  EXPECT_EQ(offered, (QStringList{"JPEG picture files (*.jpg *.JPG)",
                                  "PNG picture files (*.png *.PNG)"}));
  EXPECT_EQ(choice->filter, 1u);
  EXPECT_EQ(QString::fromStdString(choice->path), dir.filePath("card"));
}

TEST_F(QtPlatformTest, OpenDialogOffersCombinedPatternsAndCancelGivesNothing) {
  RecordingHandler handler;
  auto window = Make(handler, 200, 100);
  QStringList offered;
  const auto answering = Answer<QFileDialog>([&](QFileDialog& dialog) {
    offered = dialog.nameFilters();
    EXPECT_EQ(dialog.fileMode(), QFileDialog::ExistingFile);
    dialog.reject();
  });
  FileDialog request;
  request.filters = {{"Supported picture files", {"*.jpg", "*.png"}},
                     {"JPEG picture files", {"*.jpg"}}};
  EXPECT_FALSE(window->ChooseFileToOpen(request).has_value());
  EXPECT_EQ(offered.value(0), "Supported picture files (*.jpg *.png *.JPG *.PNG)");
}

TEST_F(QtPlatformTest, QuestionsAnswerWithTheButtonChosenOrTheMostCarefulOne) {
  RecordingHandler handler;
  auto window = Make(handler, 200, 100);
  const Message question{"Save changes?", "Tessary", MessageIcon::Question,
                         MessageButtons::SaveDiscardCancel};
  {
    const auto answering = Answer<QMessageBox>([](QMessageBox& box) {
      EXPECT_EQ(box.text(), "Save changes?");
      EXPECT_EQ(box.windowTitle(), "Tessary");
      box.button(QMessageBox::Discard)->click();
    });
    EXPECT_EQ(window->ShowMessage(question), MessageAnswer::Discard);
  }
  {
    const auto answering = Answer<QMessageBox>([](QMessageBox& box) { box.reject(); });
    EXPECT_EQ(window->ShowMessage(question), MessageAnswer::Cancel);
  }
}

TEST_F(QtPlatformTest, ContextMenusOfferTheirItemsAndReportTheChoice) {
  RecordingHandler handler;
  auto window = Make(handler, 200, 100);
  QStringList labels;
  bool secondEnabled = true;
  const auto answering = Answer<QMenu>([&](QMenu& menu) {
    for (QAction* a : menu.actions()) labels << a->text();
    secondEnabled = menu.actions().value(1)->isEnabled();
    menu.setActiveAction(menu.actions().value(2));
    QTest::keyClick(&menu, Qt::Key_Return);
  });
  const int chosen = window->ShowContextMenu(
      Point{20, 20}, {MenuItem{7, "Choose photo...", true}, MenuItem{8, "Remove photo", false},
                      MenuItem{9, "Reset position and zoom", true}});
  EXPECT_EQ(labels, (QStringList{"Choose photo...", "Remove photo", "Reset position and zoom"}));
  EXPECT_FALSE(secondEnabled);
  EXPECT_EQ(chosen, 9);
}

TEST_F(QtPlatformTest, AMenuItemOpensItsListAndLabelsReadAsWritten) {
  RecordingHandler handler;
  auto window = Make(handler, 200, 100);
  QStringList top, list;
  const auto answering = Answer<QMenu>([&](QMenu& menu) {
    for (QAction* a : menu.actions()) top << a->text();
    if (QMenu* sub = menu.actions().value(1)->menu())
      for (QAction* a : sub->actions()) list << a->text() + "=" + a->data().toString();
    QTest::keyClick(&menu, Qt::Key_Escape);
  });
  MenuItem recent{121, "Recent projects", true, "", {}};
  recent.submenu = {MenuItem{140, "Tom & Jerry", true, "", {}},
                    MenuItem{141, "Anna's birthday", true, "", {}}};
  const int chosen = window->ShowContextMenu(
      Point{20, 20}, {MenuItem{120, "Open project...", true, "Ctrl+Shift+O", {}}, recent});
  // "&" is no mnemonic marker: doubled for Qt, it shows as one.
  EXPECT_EQ(top, (QStringList{"Open project...\tCtrl+Shift+O", "Recent projects"}));
  EXPECT_EQ(list, (QStringList{"Tom && Jerry=140", "Anna's birthday=141"}));
  EXPECT_EQ(chosen, 0);
}

TEST_F(QtPlatformTest, TimersComeDueUntilStoppedAndSettingsAndStateLiveInTheUsersFolders) {
  RecordingHandler handler;
  auto window = Make(handler, 200, 100);
  ASSERT_NE(window, nullptr);
  window->StartTimer(3, 10);
  window->StartTimer(4, 5);
  window->StopTimer(4);
  ASSERT_TRUE(QTest::qWaitFor([&] { return handler.Lines({"timer"}).size() >= 2; }, 2000));
  window->StopTimer(3);
  const size_t fired = handler.Lines({"timer"}).size();
  QTest::qWait(50);
  EXPECT_EQ(handler.Lines({"timer"}).size(), fired);
  for (const std::string& line : handler.Lines({"timer"})) EXPECT_EQ(line, "timer 3");

  // The folders the desktop names for the user, here a temporary one.
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const std::string home = dir.path().toStdString();
  qputenv("XDG_STATE_HOME", QByteArray::fromStdString(home + "/state"));
  EXPECT_EQ(platform->StateFolder(), home + "/state/tessary");
  qputenv("XDG_STATE_HOME", "relative/ignored");
  qputenv("HOME", QByteArray::fromStdString(home));
  EXPECT_EQ(platform->StateFolder(), home + "/.local/state/tessary");
  const std::vector<std::string> recent{"/home/ann/Anna's birthday.tessary", "/tmp/a, b.tessary"};
  platform->WriteSetting("recentTest", recent);
  EXPECT_EQ(platform->ReadSetting("recentTest"), recent);
  platform->WriteSetting("recentTest", {});
  EXPECT_TRUE(platform->ReadSetting("recentTest").empty());
}

}  // namespace
}  // namespace qttest
