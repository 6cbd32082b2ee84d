#include <QApplication>
#include <QImage>
#include <QMessageBox>
#include <QTimer>

#include "QtTestSupport.h"
#include "tests/platform/PostedTasks.h"

namespace qttest {
namespace {

TEST_F(QtPlatformTest, AWindowTakesTheFrameItIsGivenAndPlacesItsClientInside) {
  EXPECT_EQ(platform->ScreenDpi(), 96);
  const FrameMetrics m = platform->Frame();
  EXPECT_GT(m.frameX, 0);
  EXPECT_GT(m.captionHeight, 0);

  RecordingHandler handler;
  const Rect frame{10, 20, 10 + 968 + 2 * m.frameX, 20 + 620 + m.captionHeight + 2 * m.frameY};
  std::unique_ptr<Window> window = platform->MakeWindow(handler, frame, "Tessary 1.0");
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(handler.log.empty());  // nothing arrives while it is being made
  EXPECT_EQ(window->ClientSize(), (Size{968, 620}));
  EXPECT_EQ(window->FrameRect(), frame);
  EXPECT_EQ(static_cast<qt::QtWindow*>(window.get())->Widget()->windowTitle(), "Tessary 1.0");

  // Moving places the frame's corner and keeps the size.
  window->MoveTo(Point{50, 60});
  EXPECT_EQ(window->FrameRect(), (Rect{50, 60, 50 + frame.Width(), 60 + frame.Height()}));
  const Rect work = window->WorkArea();
  EXPECT_EQ(work.Width(), platform->MaximisedClientSize().width);
  EXPECT_EQ(work.Height(), platform->MaximisedClientSize().height + m.captionHeight);
  EXPECT_EQ(window->DevicePixelRatio(), 1.0);
}

TEST_F(QtPlatformTest, SizesFollowShowMinimiseAndRestore) {
  RecordingHandler handler;
  auto window = Make(handler, 320, 240);
  ASSERT_NE(window, nullptr);
  ASSERT_FALSE(handler.Lines({"resized"}).empty());
  EXPECT_EQ(handler.Lines({"resized"}).back(), "resized 320,240");

  window->Show(ShowState::Minimized);
  EXPECT_EQ(handler.Lines({"resized"}).back(), "resized 0,0");
  EXPECT_EQ(window->ClientSize(), Size{});
  window->Show(ShowState::Normal);
  window->Widget()->showNormal();
  EXPECT_EQ(handler.Lines({"resized"}).back(), "resized 320,240");
}

TEST_F(QtPlatformTest, PaintsCoverWhatWasInvalidatedAndTakeRgbRowsAsTheyAre) {
  RecordingHandler handler;
  // Two rows of two pixels (R, G, B), rows padded to 8 bytes.
  const uint8_t rows[16] = {255, 0, 0, 0, 255, 0, 0, 0,    // red, green
                            0, 0, 255, 10, 20, 30, 0, 0};  // blue, (10, 20, 30)
  handler.paint = [&](Canvas& canvas, const Rect&) {
    canvas.FillRect(Rect{0, 0, 200, 100}, Colour{200, 200, 200});
    canvas.DrawRgb(Rect{10, 20, 12, 22}, rows, 2, 2, 8);
    TextStyle style;
    style.opaque = true;
    style.background = Colour{255, 255, 0};
    canvas.DrawTextLine("Hint", Rect{0, 60, 120, 100}, style);
  };
  auto window = Make(handler, 200, 100);
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !handler.paintAreas.empty(); }, 2000));

  handler.paintAreas.clear();
  window->Invalidate(Rect{5, 6, 50, 40});
  ASSERT_TRUE(QTest::qWaitFor([&] { return !handler.paintAreas.empty(); }, 2000));
  EXPECT_EQ(handler.paintAreas.back(), (Rect{5, 6, 50, 40}));

  const QImage shot = window->Widget()->grab().toImage();
  EXPECT_EQ(shot.pixelColor(10, 20), QColor(255, 0, 0));
  EXPECT_EQ(shot.pixelColor(11, 20), QColor(0, 255, 0));
  EXPECT_EQ(shot.pixelColor(10, 21), QColor(0, 0, 255));
  EXPECT_EQ(shot.pixelColor(11, 21), QColor(10, 20, 30));
  EXPECT_EQ(shot.pixelColor(12, 20), QColor(200, 200, 200));
  // The text rests on the bottom edge on its background; above it nothing.
  EXPECT_EQ(shot.pixelColor(1, 98), QColor(255, 255, 0));
  EXPECT_EQ(shot.pixelColor(1, 62), QColor(200, 200, 200));
}

TEST_F(QtPlatformTest, PointerEventsComeInTheDesktopsOrderWithClientPositions) {
  RecordingHandler handler;
  auto window = Make(handler, 200, 100);
  ASSERT_NE(window, nullptr);
  QWidget* widget = window->Widget();
  handler.log.clear();

  QTest::mouseMove(widget, QPoint(30, 40));
  QTest::mouseClick(widget, Qt::LeftButton, Qt::ShiftModifier, QPoint(31, 41));
  QTest::mouseDClick(widget, Qt::LeftButton, Qt::NoModifier, QPoint(31, 41));
  QTest::mouseClick(widget, Qt::RightButton, Qt::NoModifier, QPoint(5, 6));
  ASSERT_FALSE(handler.Lines({"move"}).empty());
  EXPECT_EQ(handler.Lines({"move"})[0], "move 30,40 left");
  EXPECT_EQ(handler.Lines({"press", "release", "double"}),
            (std::vector<std::string>{"press 31,41 left +1", "release 31,41 left +1",
                                      "press 31,41 left", "release 31,41 left",
                                      "double 31,41 left", "release 31,41 left",
                                      "press 5,6 right", "release 5,6 right"}));
}

TEST_F(QtPlatformTest, CaptureFollowsThePointerOutsideUntilTheButtonIsReleased) {
  RecordingHandler handler;
  auto window = Make(handler, 200, 100);
  ASSERT_NE(window, nullptr);
  QWidget* widget = window->Widget();

  QTest::mousePress(widget, Qt::LeftButton, Qt::NoModifier, QPoint(50, 50));
  window->CapturePointer();
  EXPECT_TRUE(window->HasPointerCapture());
  handler.log.clear();
  QTest::mouseMove(widget, QPoint(-60, 300));
  QTest::mouseMove(widget, QPoint(40000, 10));
  EXPECT_EQ(handler.Lines({"move"}),
            (std::vector<std::string>{"move -60,300 left", "move 40000,10 left"}));
  QTest::mouseRelease(widget, Qt::LeftButton, Qt::NoModifier, QPoint(40000, 10));
  EXPECT_FALSE(window->HasPointerCapture());

  // Without capture, moves outside the client area are not the window's.
  QTest::mousePress(widget, Qt::LeftButton, Qt::NoModifier, QPoint(60, 50));
  handler.log.clear();
  QTest::mouseMove(widget, QPoint(-60, 300));
  EXPECT_TRUE(handler.Lines({"move"}).empty());
  QTest::mouseRelease(widget, Qt::LeftButton, Qt::NoModifier, QPoint(-60, 300));
}

TEST_F(QtPlatformTest, KeysWheelAndContextMenusArriveTyped) {
  RecordingHandler handler;
  handler.key = [](const KeyEvent& e) { return e.key != Key::Tab; };
  auto window = Make(handler, 200, 100);
  ASSERT_NE(window, nullptr);
  QWidget* widget = window->Widget();
  widget->setFocus();
  handler.log.clear();
  QTest::keyClick(widget, Qt::Key_Z, Qt::ControlModifier);
  QTest::keyClick(widget, Qt::Key_Delete);
  QTest::keyClick(widget, Qt::Key_F1);
  QTest::keyClick(widget, Qt::Key_Plus);
  QTest::keyClick(widget, Qt::Key_5);
  EXPECT_EQ(handler.Lines({"key"}),
            (std::vector<std::string>{"key 90 2", "key " + std::to_string(int(Key::Delete)) + " 0",
                                      "key " + std::to_string(int(Key::F1)) + " 0",
                                      "key " + std::to_string(int(Key::Plus)) + " 0",
                                      "key 53 0"}));

  QWheelEvent wheel(QPointF(20, 30), widget->mapToGlobal(QPointF(20, 30)), QPoint(), QPoint(0, -240),
                    Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(widget, &wheel);
  EXPECT_EQ(handler.Lines({"wheel"}), std::vector<std::string>{"wheel 20,30 -240"});

  QContextMenuEvent menu(QContextMenuEvent::Mouse, QPoint(7, 8), widget->mapToGlobal(QPoint(7, 8)));
  QApplication::sendEvent(widget, &menu);
  QContextMenuEvent key(QContextMenuEvent::Keyboard, QPoint(9, 10), widget->mapToGlobal(QPoint(9, 10)));
  QApplication::sendEvent(widget, &key);
  EXPECT_EQ(handler.Lines({"menu"}),
            (std::vector<std::string>{"menu 7,8 pointer", "menu 9,10 key"}));
}

TEST_F(QtPlatformTest, ClosingAsksTheProgramWhichMayRefuse) {
  RecordingHandler handler;
  auto window = Make(handler, 200, 100);
  ASSERT_NE(window, nullptr);
  handler.allowClose = false;
  EXPECT_FALSE(window->Widget()->close());
  EXPECT_TRUE(window->Widget()->isVisible());
  handler.allowClose = true;
  EXPECT_TRUE(window->Widget()->close());
  EXPECT_FALSE(window->Widget()->isVisible());
  EXPECT_EQ(handler.Lines({"close"}).size(), 2u);
}

TEST_F(QtPlatformTest, QuitEndsTheLoopWithItsCodeEvenWhenAskedBeforeIt) {
  platform->Quit(7);
  EXPECT_EQ(platform->Run(), 7);
  QTimer::singleShot(0, [&] { platform->Quit(3); });
  EXPECT_EQ(platform->Run(), 3);
}

TEST_F(QtPlatformTest, IdleWorkRunsOnceTheQueueIsEmptyAndAsLongAsItAsks) {
  RecordingHandler handler;
  auto window = Make(handler, 200, 100);
  ASSERT_NE(window, nullptr);
  handler.log.clear();
  handler.idleRounds = 3;
  window->RequestIdle();
  window->RequestIdle();  // one request while one is pending
  EXPECT_TRUE(handler.Lines({"idle"}).empty());  // not before events are handled
  ASSERT_TRUE(QTest::qWaitFor([&] { return handler.Lines({"idle"}).size() == 3; }, 2000));
  QTest::qWait(20);
  EXPECT_EQ(handler.Lines({"idle"}).size(), 3u);
}

TEST_F(QtPlatformTest, TheWaitCursorNestsAndStepsAsideForMessages) {
  RecordingHandler handler;
  auto window = Make(handler, 200, 100);
  ASSERT_NE(window, nullptr);
  window->SetBusy(true);
  window->SetBusy(true);
  window->SetBusy(false);
  ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
  bool busyDuringMessage = true;
  QTimer::singleShot(50, [&] {
    busyDuringMessage = QGuiApplication::overrideCursor() != nullptr;
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) box->accept();
  });
  EXPECT_EQ(window->ShowMessage(Message{"Text", "Tessary", MessageIcon::None, MessageButtons::Ok, {}}),
            MessageAnswer::Ok);
  EXPECT_FALSE(busyDuringMessage);
  EXPECT_NE(QGuiApplication::overrideCursor(), nullptr);  // back after it
  window->SetBusy(false);
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);

  window->SetCursor(CursorShape::Hand);
  EXPECT_EQ(window->Widget()->cursor().shape(), Qt::PointingHandCursor);
  window->SetCursor(CursorShape::Move);
  EXPECT_EQ(window->Widget()->cursor().shape(), Qt::SizeAllCursor);
}

TEST_F(QtPlatformTest, TasksPostedFromAnotherThreadRunOnTheWindowThreadInOrder) {
  platformtest::ExpectPostedTasksRunInOrderOnTheWaitingThread(*platform);
}

}  // namespace
}  // namespace qttest
