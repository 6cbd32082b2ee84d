#include <QDoubleSpinBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QToolButton>
#include <cstdio>
#include <string>
#include <vector>

#include "interaction/TextBoxes.h"
#include "platform/qt/QtTextPanel.h"
#include "tests/qtapp/QtAppHarness.h"
#include "tests/qtapp/SaveAnswerer.h"
#include "tools/ToolRunner.h"

using namespace qtapp;

namespace {

// A file's bytes; a PDF's with the time it was made left out, the one
// thing two writes of it do not share.
std::string Bytes(const std::string& path) {
  std::string bytes = tooltest::ReadText(path);
  const size_t date = bytes.find("/CreationDate (D:");
  if (date != std::string::npos) {
    const size_t end = bytes.find(')', date);
    if (end != std::string::npos) bytes.erase(date, end - date);
  }
  return bytes;
}

// Every bit of a fraction, so the renderer reads back the very double.
std::string Exact(double v) {
  char text[40];
  std::snprintf(text, sizeof text, "%.17g", v);
  return text;
}

std::string Hex(uint32_t colour) {  // 0xAARRGGBB as #RRGGBBAA
  char text[16];
  std::snprintf(text, sizeof text, "#%06X%02X", colour & 0xffffffu, colour >> 24);
  return text;
}

// The renderer's options for a box: all of it given, nothing taken from the
// design's defaults.
std::vector<std::string> TextOptions(const text::TextBox& box) {
  static const char* const kAlign[] = {"left", "centre", "right"};
  static const char* const kEffect[] = {"none", "shadow", "outline"};
  std::vector<std::string> args = {
      "--text",   box.words,
      "--text-box", Exact(box.left) + "," + Exact(box.top) + "," + Exact(box.width) + "," +
                        Exact(box.height),
      "--font",   box.font,
      "--size",   Exact(box.sizePoints),
      "--colour", Hex(box.colour),
      "--align",  kAlign[int(box.align)],
      "--effect", kEffect[int(box.effect)]};
  if (box.bold) args.push_back("--bold");
  if (box.italic) args.push_back("--italic");
  return args;
}

}  // namespace

// Words added, typed, sized, coloured and dragged in the window, with a step
// taken back, save the very bytes the renderer writes for the same box, at
// print and at screen size.
TEST(QtTextSave, TheWindowsCardWithWordsIsTheRenderersByteForByte) {
  QtApp app;
  ASSERT_TRUE(app.Ready());
  document::CardDocument& doc = app.wnd->Document();
  const auto Box = [&] { return doc.State().texts.at(0); };

  QToolButton* add = app.Button("Add text");
  ASSERT_NE(add, nullptr);
  QTest::mouseClick(add, Qt::LeftButton);
  qt::QtTextPanel* panel = app.window->TextPanel();
  ASSERT_NE(panel, nullptr);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(panel));
  panel->Words()->setFocus();
  panel->Words()->selectAll();
  QTest::keyClicks(panel->Words(), QStringLiteral("Many happy"));
  QTest::keyClick(panel->Words(), Qt::Key_Return);
  QTest::keyClicks(panel->Words(), QStringLiteral("returns "));
  // Letters a keyboard layout gives, as their key events carry them.
  for (const QString& letter : {QString::fromUtf8("\u00e9"), QStringLiteral("t"),
                               QString::fromUtf8("\u00e9")}) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, letter);
    QApplication::sendEvent(panel->Words(), &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, letter);
    QApplication::sendEvent(panel->Words(), &release);
  }
  QLineEdit* sizeField = panel->Size()->findChild<QLineEdit*>();
  ASSERT_NE(sizeField, nullptr);
  panel->Size()->setFocus();
  panel->Size()->selectAll();
  QTest::keyClicks(sizeField, QStringLiteral("29.5"));
  QTest::keyClick(sizeField, Qt::Key_Return);
  ASSERT_NE(panel->Swatch(2), nullptr);
  QTest::mouseClick(panel->Swatch(2), Qt::LeftButton);

  // Dragged by an odd amount, so that the box's place is no round fraction.
  const Rect onScreen = interaction::TextBoxOnScreen(Box(), app.CardRect());
  const QPoint from(onScreen.left + 25, onScreen.top + 10);
  QTest::mouseMove(app.widget, from);
  QTest::mousePress(app.widget, Qt::LeftButton, Qt::NoModifier, from);
  QTest::mouseMove(app.widget, from + QPoint(13, 7));
  QTest::mouseMove(app.widget, from + QPoint(37, 23));
  QTest::mouseRelease(app.widget, Qt::LeftButton, Qt::NoModifier, from + QPoint(37, 23));

  // Italic, then taken back.
  const text::TextBox kept = Box();
  QTest::mouseClick(panel->Italic(), Qt::LeftButton);
  ASSERT_TRUE(Box().italic);
  QApplication::setActiveWindow(app.widget);
  app.widget->setFocus();
  QTest::keyClick(app.widget, Qt::Key_Z, Qt::ControlModifier);
  ASSERT_EQ(Box(), kept);
  EXPECT_EQ(kept.words, "Many happy\nreturns \u00e9t\u00e9");
  EXPECT_EQ(kept.sizePoints, 29.5);
  EXPECT_NE(kept.left, 0.1);

  const std::string folder = app.files.Folder();
  struct Case {
    const char* name;
    size_t filter;
    std::vector<std::string> size;
  } cases[] = {{"print.png", 1, {"--print"}},
               {"screen.png", 3, {}},
               {"print.pdf", 4, {"--print"}}};
  for (const Case& c : cases) {
    {
      SaveAnswerer answers;
      answers.path = folder + "/" + c.name;
      answers.filter = c.filter;
      QApplication::setActiveWindow(app.widget);
      app.widget->setFocus();
      QTest::keyClick(app.widget, Qt::Key_S, Qt::ControlModifier);
      ASSERT_EQ(answers.saves, 1) << c.name;
    }
    const std::string kind = std::string(c.name).substr(std::string(c.name).size() - 4);
    std::vector<std::string> args = {"--template", "0", "-o", folder + "/plain" + kind};
    args.insert(args.end(), c.size.begin(), c.size.end());
    const tooltest::ToolResult plain = tooltest::RunTool(TESSARY_RENDER_EXE, args, folder);
    ASSERT_EQ(plain.exitCode, 0) << plain.err;
    args[3] = folder + "/rendered" + kind;
    const std::vector<std::string> words = TextOptions(kept);
    args.insert(args.end(), words.begin(), words.end());
    const tooltest::ToolResult rendered = tooltest::RunTool(TESSARY_RENDER_EXE, args, folder);
    ASSERT_EQ(rendered.exitCode, 0) << rendered.err;
    const std::string saved = Bytes(folder + "/" + c.name);
    EXPECT_TRUE(saved == Bytes(folder + "/rendered" + kind)) << c.name;
    EXPECT_FALSE(saved == Bytes(folder + "/plain" + kind)) << c.name;
  }
}
