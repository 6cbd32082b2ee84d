#include <QAction>
#include <QToolBar>
#include <QToolButton>

#include "QtTestSupport.h"

namespace qttest {
namespace {

std::vector<ToolbarButton> Buttons() {
  IconImage icon{48, 48, std::vector<uint8_t>(48 * 48 * 4, 200)};
  return {ToolbarButton{100, "Save", icon, false}, ToolbarButton{101, "Template", icon, false},
          ToolbarButton{102, "Donate", icon, true}, ToolbarButton{103, "Help", icon, false}};
}

class ToolbarTest : public QtPlatformTest {
 protected:
  void SetUp() override {
    QtPlatformTest::SetUp();
    window = Make(handler, 400, 360);
    ASSERT_NE(window, nullptr);
    window->SetToolbar(Buttons(), 64);
    window->SetShortcuts({Shortcut{KeyEvent{Letter('S'), kControl}, 100},
                          Shortcut{KeyEvent{Key::F1, 0}, 103}});
    window->PlaceToolbar(Rect{336, 0, 400, 340});
    for (QToolButton* b : window->Toolbar()->findChildren<QToolButton*>())
      if (!b->text().isEmpty()) buttons.push_back(b);
    std::sort(buttons.begin(), buttons.end(),
              [](QToolButton* a, QToolButton* b) { return a->y() < b->y(); });
  }
  void TearDown() override {
    window.reset();
    QtPlatformTest::TearDown();
  }
  QPoint Centre(size_t i) const {
    return buttons[i]->mapTo(window->Widget(), buttons[i]->rect().center());
  }

  RecordingHandler handler;
  std::unique_ptr<qt::QtWindow> window;
  std::vector<QToolButton*> buttons;
};

TEST_F(ToolbarTest, ButtonsStackInOrderWithLabelsUnderIconsAndTakeTheColumnWidth) {
  ASSERT_EQ(buttons.size(), 4u);
  const char* labels[] = {"Save", "Template", "Donate", "Help"};
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(buttons[i]->text(), QString::fromUtf8(labels[i]));
    EXPECT_EQ(buttons[i]->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
    EXPECT_EQ(buttons[i]->iconSize(), QSize(48, 48));
    EXPECT_FALSE(buttons[i]->icon().isNull());
    EXPECT_EQ(buttons[i]->width(), 64);
    EXPECT_NE(buttons[i]->focusPolicy() & Qt::TabFocus, 0);  // keyboard users reach them
  }
  EXPECT_EQ(window->Toolbar()->geometry(), QRect(336, 0, 64, 340));
  // The separator stands between Template and Donate: a wider gap there.
  const int gap1 = buttons[1]->y() - (buttons[0]->y() + buttons[0]->height());
  const int gap2 = buttons[2]->y() - (buttons[1]->y() + buttons[1]->height());
  EXPECT_GT(gap2, gap1);
}

TEST_F(ToolbarTest, ClicksAndShortcutsBecomeCommandsAndDisabledOnesDoNothing) {
  QTest::mouseClick(buttons[1], Qt::LeftButton);
  QTest::mouseClick(buttons[3], Qt::LeftButton);
  window->Widget()->activateWindow();
  window->Widget()->setFocus();
  QTest::keyClick(window->Widget(), Qt::Key_S, Qt::ControlModifier);
  QTest::keyClick(window->Widget(), Qt::Key_F1);
  window->EnableCommand(100, false);
  QTest::mouseClick(buttons[0], Qt::LeftButton);
  QTest::keyClick(window->Widget(), Qt::Key_S, Qt::ControlModifier);
  // With a button holding the keyboard, the shortcuts still work and keys
  // the button leaves unused never reach the card as its own.
  window->EnableCommand(100, true);
  buttons[2]->setFocus();
  QTest::keyClick(buttons[2], Qt::Key_S, Qt::ControlModifier);
  QTest::keyClick(buttons[2], Qt::Key_Delete);
  EXPECT_EQ(handler.Lines({"command"}),
            (std::vector<std::string>{"command 101", "command 103", "command 100", "command 103",
                                      "command 100"}));
  // (A disabled command's key may reach the card as an ordinary key.)
  const std::string del = "key " + std::to_string(uint32_t(Key::Delete)) + " 0";
  for (const std::string& line : handler.Lines({"key"})) EXPECT_NE(line, del);
  // Nothing over the toolbar reaches the window as its own pointer event.
  EXPECT_TRUE(handler.Lines({"press", "release"}).empty());
}

TEST_F(ToolbarTest, HoverReportsTheButtonAndLeavingTheToolbar) {
  QWidget* widget = window->Widget();
  QTest::mouseMove(widget, QPoint(10, 10));
  handler.log.clear();
  QTest::mouseMove(widget, Centre(0));
  QTest::mouseMove(widget, Centre(0) + QPoint(1, 1));
  QTest::mouseMove(widget, Centre(2));
  QTest::mouseMove(widget, QPoint(10, 10));
  EXPECT_EQ(handler.Lines({"hover"}),
            (std::vector<std::string>{"hover 100", "hover 102", "hover 0"}));
}

TEST_F(ToolbarTest, TheToolbarKeepsTheArrowWhateverTheCardShows) {
  window->SetCursor(CursorShape::Move);
  EXPECT_EQ(window->Widget()->cursor().shape(), Qt::SizeAllCursor);
  EXPECT_EQ(buttons[0]->cursor().shape(), Qt::ArrowCursor);
  EXPECT_EQ(window->Toolbar()->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(ToolbarTest, FocusCanBeHandedToTheFirstOrLastButton) {
  window->Widget()->activateWindow();
  QApplication::setActiveWindow(window->Widget());
  window->FocusToolbar(true);
  EXPECT_TRUE(QTest::qWaitFor([&] { return buttons[0]->hasFocus(); }, 1000));
  window->FocusToolbar(false);
  EXPECT_TRUE(QTest::qWaitFor([&] { return buttons[3]->hasFocus(); }, 1000));
}

}  // namespace
}  // namespace qttest
