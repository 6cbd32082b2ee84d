#include "QtTestSupport.h"

#include <QApplication>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QTimer>

namespace qttest {
namespace {

// Answers the next modal file dialog the way a user would, while the
// returned timer lives.
std::unique_ptr<QTimer> AnswerDialog(std::function<void(QFileDialog&)> answer) {
  auto timer = std::make_unique<QTimer>();
  timer->setInterval(10);
  QTimer* raw = timer.get();
  QObject::connect(raw, &QTimer::timeout, [raw, answer] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (!dialog) return;
    raw->stop();
    answer(*dialog);
  });
  timer->start();
  return timer;
}

OPENFILENAME SaveRequest() {
  OPENFILENAME ofn;
  ofn.filters = {{"JPEG picture files", "*.jpg"}, {"PNG picture files", "*.png"}};
  ofn.file = "card";
  ofn.title = "Save card";
  ofn.defaultExtension = "jpg";
  ofn.flags = OFN_OVERWRITEPROMPT;
  return ofn;
}

TEST_F(QtPlatformTest, SaveDialogReportsTheChosenTypeAndNamesTheFileAfterIt) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  QStringList offered;
  const auto answering = AnswerDialog([&](QFileDialog& dialog) {
    offered = dialog.nameFilters();
    dialog.selectNameFilter(offered.value(1));
    dialog.selectFile(dir.filePath("card"));
    QMetaObject::invokeMethod(&dialog, "accept");
  });
  OPENFILENAME ofn = SaveRequest();
  ASSERT_TRUE(platform->GetSaveFileName(ofn));
  EXPECT_EQ(offered, (QStringList{"JPEG picture files (*.jpg)", "PNG picture files (*.png)"}));
  EXPECT_EQ(ofn.filterIndex, 2u);
  EXPECT_EQ(QString::fromStdString(ofn.file), dir.filePath("card.png"));
}

TEST_F(QtPlatformTest, OpenDialogOffersCombinedPatternsAndCancelChangesNothing) {
  QStringList offered;
  const auto answering = AnswerDialog([&](QFileDialog& dialog) {
    offered = dialog.nameFilters();
    EXPECT_EQ(dialog.fileMode(), QFileDialog::ExistingFile);
    dialog.reject();
  });
  OPENFILENAME ofn;
  ofn.filters = {{"Supported picture files", "*.jpg;*.png"}, {"JPEG picture files", "*.jpg"}};
  ofn.flags = OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_EXPLORER;
  EXPECT_FALSE(platform->GetOpenFileName(ofn));
  EXPECT_EQ(offered.value(0), "Supported picture files (*.jpg *.png)");
  EXPECT_TRUE(ofn.file.empty());
  EXPECT_EQ(ofn.filterIndex, 0u);
}

}  // namespace
}  // namespace qttest
