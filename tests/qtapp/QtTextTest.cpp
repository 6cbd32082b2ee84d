#include <QAbstractButton>
#include <QFileDialog>
#include <QMessageBox>
#include <QTimer>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QToolButton>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "document/CardExport.h"
#include "interaction/TextBoxes.h"
#include "platform/qt/QtTextPanel.h"
#include "tests/qtapp/QtAppHarness.h"
#include "tests/qtapp/SaveAnswerer.h"

using namespace qtapp;

namespace {

std::vector<uint8_t> Bytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

// The user's way through words on the card in the Qt window: the button,
// typing into the panel, its size and a swatch, a drag with the mouse, and
// Ctrl+Z taking each back in turn.
TEST(QtText, AddTypeSizeColourDragAndUndoEachStepThenSaveTheExport) {
  QtApp app;
  ASSERT_TRUE(app.Ready());
  document::CardDocument& doc = app.wnd->Document();
  const auto Texts = [&] { return doc.State().texts; };

  QToolButton* add = app.Button("Add text");
  ASSERT_NE(add, nullptr);
  const size_t steps = doc.History().UndoSteps();
  QTest::mouseClick(add, Qt::LeftButton);
  ASSERT_EQ(Texts().size(), 1u);
  qt::QtTextPanel* panel = app.window->TextPanel();
  ASSERT_NE(panel, nullptr);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(panel));
  EXPECT_EQ(panel->windowTitle(), QStringLiteral("Text"));
  EXPECT_EQ(panel->Words()->toPlainText().toStdString(), Texts()[0].words);

  // The words open selected: what is typed replaces them, one step in all.
  panel->Words()->setFocus();
  panel->Words()->selectAll();
  QTest::keyClicks(panel->Words(), QStringLiteral("Hello"));
  QTest::keyClick(panel->Words(), Qt::Key_Return);
  QTest::keyClicks(panel->Words(), QStringLiteral("you"));
  EXPECT_EQ(Texts()[0].words, "Hello\nyou");
  EXPECT_EQ(doc.History().UndoSteps(), steps + 2);

  // A size typed into its field counts once the field is left.
  QLineEdit* sizeField = panel->Size()->findChild<QLineEdit*>();
  ASSERT_NE(sizeField, nullptr);
  panel->Size()->setFocus();
  panel->Size()->selectAll();
  QTest::keyClicks(sizeField, QStringLiteral("48"));
  QTest::keyClick(sizeField, Qt::Key_Return);
  EXPECT_EQ(Texts()[0].sizePoints, 48);
  ASSERT_NE(panel->Swatch(1), nullptr);
  QTest::mouseClick(panel->Swatch(1), Qt::LeftButton);
  const uint32_t swatch = app.wnd->Texts().ModelFor(Texts()[0]).palette[1];
  EXPECT_EQ(Texts()[0].colour, swatch);
  QTest::mouseClick(panel->Bold(), Qt::LeftButton);
  EXPECT_TRUE(Texts()[0].bold);
  EXPECT_EQ(doc.History().UndoSteps(), steps + 5);

  // The box under the mouse: a move cursor, and a drag is one step.
  const Rect box = interaction::TextBoxOnScreen(Texts()[0], app.CardRect());
  const QPoint from(box.left + 30, box.top + 12);
  const text::TextBox before = Texts()[0];
  QTest::mouseMove(app.widget, from);
  EXPECT_EQ(app.widget->cursor().shape(), Qt::SizeAllCursor);
  QTest::mousePress(app.widget, Qt::LeftButton, Qt::NoModifier, from);
  QTest::mouseMove(app.widget, from + QPoint(-20, -15));
  QTest::mouseMove(app.widget, from + QPoint(-40, -30));
  QTest::mouseRelease(app.widget, Qt::LeftButton, Qt::NoModifier, from + QPoint(-40, -30));
  EXPECT_DOUBLE_EQ(Texts()[0].left, before.left - 40.0 / app.CardRect().Width());
  EXPECT_DOUBLE_EQ(Texts()[0].top, before.top - 30.0 / app.CardRect().Height());
  EXPECT_EQ(doc.History().UndoSteps(), steps + 6);
  // The panel went on showing the box the whole time.
  EXPECT_EQ(app.window->TextPanel(), panel);

  // Saved at print size, the card is the export of the state it shows.
  const std::string folder = app.files.Folder();
  {
    SaveAnswerer answers;
    answers.path = folder + "/card.png";
    QApplication::setActiveWindow(app.widget);
    app.widget->setFocus();
    QTest::keyClick(app.widget, Qt::Key_S, Qt::ControlModifier);
  }
  const document::DesignInfo info = document::DescribeDesign(doc.State());
  ASSERT_TRUE(info.PrintSize());
  ASSERT_TRUE(document::ExportCard(doc.State(), *info.PrintSize(), app.Reader(),
                                   folder + "/export.png", imagefiles::CardFormat::Png));
  const std::vector<uint8_t> saved = Bytes(folder + "/card.png");
  EXPECT_FALSE(saved.empty());
  EXPECT_EQ(saved, Bytes(folder + "/export.png"));

  // Ctrl+Z on the card takes back each step: the drag, bold, the colour,
  // the size, the words typed without a pause, the box.
  QApplication::setActiveWindow(app.widget);
  app.widget->setFocus();
  const std::vector<std::function<bool(const text::TextBox&)>> undone = {
      [&](const text::TextBox& b) { return b.left == before.left && b.top == before.top; },
      [&](const text::TextBox& b) { return !b.bold; },
      [&](const text::TextBox& b) { return b.colour != swatch; },
      [&](const text::TextBox& b) { return b.sizePoints != 48; },
      [&](const text::TextBox& b) { return b.words == "Your words here"; },
  };
  for (size_t i = 0; i < undone.size(); ++i) {
    QTest::keyClick(app.widget, Qt::Key_Z, Qt::ControlModifier);
    ASSERT_EQ(Texts().size(), 1u) << i;
    EXPECT_TRUE(undone[i](Texts()[0])) << i;
  }
  QTest::keyClick(app.widget, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_TRUE(Texts().empty());
  EXPECT_EQ(app.window->TextPanel(), nullptr);  // nothing left to edit
  EXPECT_EQ(doc.History().UndoSteps(), steps);
}
