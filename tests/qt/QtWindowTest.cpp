#include <QImage>
#include <QTimer>

#include "QtTestSupport.h"

namespace qttest {
namespace {

constexpr LPARAM kSetCursorMove = MAKELPARAM(HTCLIENT, WM_MOUSEMOVE);

TEST_F(QtPlatformTest, CreateSendsCreateFirstAndMapsTheWindowRectToTheClient) {
  EXPECT_EQ(platform->ScreenDpi(), 96);
  const int frameX = platform->GetSystemMetrics(SM_CXFRAME);
  const int frameY = platform->GetSystemMetrics(SM_CYFRAME);
  const int caption = platform->GetSystemMetrics(SM_CYCAPTION);
  EXPECT_GT(frameX, 0);
  EXPECT_GT(caption, 0);
  EXPECT_EQ(platform->GetSystemMetrics(SM_CXICON), 32);
  EXPECT_EQ(platform->GetSystemMetrics(SM_CYSMICON), 16);

  RecordingHandler handler;
  const Rect rect{10, 20, 10 + 968 + 2 * frameX, 20 + 620 + caption + 2 * frameY};
  Window* window = platform->CreateWindowEx(&handler, rect, "Tessary 1.0", WS_OVERLAPPEDWINDOW);
  ASSERT_NE(window, nullptr);
  ASSERT_FALSE(handler.log.empty());
  EXPECT_EQ(handler.log.front().message, WM_CREATE);
  EXPECT_EQ(handler.create.rect, rect);
  EXPECT_EQ(handler.createTitle, "Tessary 1.0");
  EXPECT_EQ(window->GetClientRect(), (Rect{0, 0, 968, 620}));
  EXPECT_EQ(window->GetWindowRect(), rect);
  EXPECT_TRUE(window->IsWindow());

  // Moving places the frame's corner and keeps the size.
  window->SetWindowPos(50, 60);
  EXPECT_EQ(window->GetWindowRect(), (Rect{50, 60, 50 + rect.Width(), 60 + rect.Height()}));
  EXPECT_EQ(window->ClientToScreen(Point{0, 0}).x, 50 + frameX);
  EXPECT_EQ(window->ScreenToClient(Point{50 + frameX + 7, 60 + caption + frameY + 9}).y, 9);

  Rect work;
  ASSERT_TRUE(window->GetMonitorWorkArea(&work));
  EXPECT_EQ(work.Width(), platform->GetSystemMetrics(SM_CXFULLSCREEN));
  EXPECT_EQ(work.Height(), platform->GetSystemMetrics(SM_CYFULLSCREEN) + caption);
}

TEST_F(QtPlatformTest, RefusedCreationDestroysTheWindow) {
  RecordingHandler handler;
  handler.hook = [](Window&, uint32_t message, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (message == WM_CREATE) return -1;
    return std::nullopt;
  };
  EXPECT_EQ(platform->CreateWindowEx(&handler, Rect{0, 0, 300, 200}, "x", 0), nullptr);
  EXPECT_EQ(handler.Sequence(), (std::vector<uint32_t>{WM_CREATE, WM_DESTROY}));
}

TEST_F(QtPlatformTest, SizeMessagesFollowShowMinimiseAndRestore) {
  RecordingHandler handler;
  qt::QtWindow* window = MakeWindow(handler, 320, 240);
  ASSERT_NE(window, nullptr);
  ASSERT_GE(handler.Count(WM_SIZE), 1u);
  auto lastSize = [&] {
    for (auto it = handler.log.rbegin(); it != handler.log.rend(); ++it)
      if (it->message == WM_SIZE) return *it;
    return Message{0, 0, 0};
  };
  EXPECT_EQ(lastSize().wParam, 0u);
  EXPECT_EQ(lastSize().lParam, MAKELPARAM(320, 240));

  window->ShowWindow(SW_SHOWMINIMIZED);
  EXPECT_EQ(lastSize().wParam, 1u);
  EXPECT_EQ(lastSize().lParam, MAKELPARAM(0, 0));
  EXPECT_EQ(window->GetClientRect(), Rect{});

  window->ShowWindow(SW_SHOWNORMAL);
  EXPECT_EQ(lastSize().wParam, 0u);
  EXPECT_EQ(lastSize().lParam, MAKELPARAM(320, 240));
}

TEST_F(QtPlatformTest, InvalidationErasesThenPaintsAndBitmapsLandInBgrOrder) {
  RecordingHandler handler;
  // Two rows of two pixels (B, G, R), rows padded to 8 bytes.
  const uint8_t rows[16] = {255, 0, 0, 0, 255, 0, 0, 0,  // blue, green
                            0, 0, 255, 10, 20, 30, 0, 0};  // red, (30, 20, 10)
  handler.hook = [&](Window& window, uint32_t message, WPARAM wParam,
                     LPARAM) -> std::optional<LRESULT> {
    if (message == WM_ERASEBKGND) {
      auto* dc = reinterpret_cast<DeviceContext*>(wParam);
      dc->FillSolidRect(window.GetClientRect(), RGB(200, 200, 200));
      return 1;
    }
    if (message == WM_PAINT) {
      Rect area;
      DeviceContext* dc = window.BeginPaint(&area);
      handler.paintRects.push_back(area);
      dc->SetDIBitsToDevice(10, 20, 2, 2, rows, 8);
      window.EndPaint();
      return 0;
    }
    return std::nullopt;
  };
  qt::QtWindow* window = MakeWindow(handler, 200, 100);
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(QTest::qWaitFor([&] { return handler.Count(WM_PAINT) > 0; }, 2000));

  handler.log.clear();
  handler.paintRects.clear();
  window->InvalidateRect(nullptr, true);
  ASSERT_TRUE(QTest::qWaitFor([&] { return handler.Count(WM_PAINT) > 0; }, 2000));
  EXPECT_EQ(handler.Sequence(), (std::vector<uint32_t>{WM_ERASEBKGND, WM_PAINT}));
  EXPECT_EQ(handler.paintRects.back(), (Rect{0, 0, 200, 100}));

  // Without erase only the paint comes, for the bounding box of the area.
  handler.log.clear();
  const Rect part{5, 6, 50, 40};
  window->InvalidateRect(&part, false);
  ASSERT_TRUE(QTest::qWaitFor([&] { return handler.Count(WM_PAINT) > 0; }, 2000));
  EXPECT_EQ(handler.Sequence(), (std::vector<uint32_t>{WM_PAINT}));
  EXPECT_EQ(handler.paintRects.back(), part);

  const QImage shot = window->Widget()->grab().toImage();
  EXPECT_EQ(shot.pixelColor(10, 20), QColor(0, 0, 255));
  EXPECT_EQ(shot.pixelColor(11, 20), QColor(0, 255, 0));
  EXPECT_EQ(shot.pixelColor(10, 21), QColor(255, 0, 0));
  EXPECT_EQ(shot.pixelColor(11, 21), QColor(30, 20, 10));
  EXPECT_EQ(shot.pixelColor(12, 20), QColor(200, 200, 200));
  EXPECT_EQ(shot.pixelColor(150, 90), QColor(200, 200, 200));
}

TEST_F(QtPlatformTest, MemoryContextsStartTransparentAndCopyWithBitBlt) {
  RecordingHandler handler;
  handler.hook = [&](Window& window, uint32_t message, WPARAM wParam,
                     LPARAM) -> std::optional<LRESULT> {
    if (message == WM_ERASEBKGND) {
      reinterpret_cast<DeviceContext*>(wParam)->FillSolidRect(window.GetClientRect(),
                                                              RGB(255, 255, 255));
      return 1;
    }
    if (message != WM_PAINT) return std::nullopt;
    DeviceContext* dc = window.BeginPaint(nullptr);
    std::unique_ptr<DeviceContext> memory = dc->CreateCompatibleDC(40, 10);
    memory->FillSolidRect(Rect{0, 0, 20, 10}, RGB(0, 128, 0));
    dc->BitBlt(30, 30, 40, 10, *memory, 0, 0);
    dc->SetBkColor(RGB(255, 255, 0));
    dc->SelectFont(Font::DefaultGui);
    EXPECT_GT(dc->DrawTextEx("Hint", Rect{0, 60, 120, 100}, DT_SINGLELINE | DT_BOTTOM), 0);
    window.EndPaint();
    return 0;
  };
  qt::QtWindow* window = MakeWindow(handler, 120, 100);
  ASSERT_NE(window, nullptr);
  const QImage shot = window->Widget()->grab().toImage();
  EXPECT_EQ(shot.pixelColor(35, 35), QColor(0, 128, 0));
  EXPECT_EQ(shot.pixelColor(60, 35), QColor(0, 0, 0));  // transparent black, copied as is
  EXPECT_EQ(shot.pixelColor(75, 35), QColor(255, 255, 255));
  // The text sits on the bottom edge over the background colour; above it
  // the window is untouched.
  EXPECT_EQ(shot.pixelColor(1, 98), QColor(255, 255, 0));
  EXPECT_EQ(shot.pixelColor(1, 62), QColor(255, 255, 255));
}

TEST_F(QtPlatformTest, MouseMessagesComeInTheClassicOrderWithClientPositions) {
  RecordingHandler handler;
  Point pointerAtSetCursor{-1, -1};
  handler.hook = [&](Window& window, uint32_t message, WPARAM,
                     LPARAM) -> std::optional<LRESULT> {
    // Where the program looks for the pointer when it picks a cursor.
    if (message == WM_SETCURSOR) pointerAtSetCursor = window.ScreenToClient(platform->GetCursorPos());
    return std::nullopt;
  };
  qt::QtWindow* window = MakeWindow(handler, 200, 100);
  ASSERT_NE(window, nullptr);
  QWidget* widget = window->Widget();
  handler.log.clear();

  QTest::mouseMove(widget, QPoint(30, 40));
  ASSERT_EQ(handler.Sequence({WM_PAINT, WM_ERASEBKGND}),
            (std::vector<uint32_t>{WM_SETCURSOR, WM_MOUSEMOVE}));
  EXPECT_EQ(handler.log[0].wParam, reinterpret_cast<WPARAM>(window->Handle()));
  EXPECT_EQ(handler.log[0].lParam, kSetCursorMove);
  EXPECT_EQ(GET_X_LPARAM(handler.log[1].lParam), 30);
  EXPECT_EQ(GET_Y_LPARAM(handler.log[1].lParam), 40);
  EXPECT_EQ(pointerAtSetCursor.x, 30);
  EXPECT_EQ(pointerAtSetCursor.y, 40);

  handler.log.clear();
  QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, QPoint(31, 41));
  QTest::mouseDClick(widget, Qt::LeftButton, Qt::NoModifier, QPoint(31, 41));
  const std::vector<uint32_t> buttons =
      handler.Sequence({WM_PAINT, WM_ERASEBKGND, WM_SETCURSOR, WM_MOUSEMOVE});
  ASSERT_GE(buttons.size(), 4u);
  EXPECT_EQ(std::vector<uint32_t>(buttons.begin(), buttons.begin() + 2),
            (std::vector<uint32_t>{WM_LBUTTONDOWN, WM_LBUTTONUP}));
  EXPECT_EQ(std::vector<uint32_t>(buttons.end() - 2, buttons.end()),
            (std::vector<uint32_t>{WM_LBUTTONDBLCLK, WM_LBUTTONUP}));
  for (const Message& m : handler.log) {
    if (m.message != WM_LBUTTONDOWN && m.message != WM_LBUTTONDBLCLK) continue;
    EXPECT_EQ(GET_X_LPARAM(m.lParam), 31);
    EXPECT_EQ(GET_Y_LPARAM(m.lParam), 41);
  }
}

TEST_F(QtPlatformTest, CaptureFollowsThePointerOutsideUntilTheButtonIsReleased) {
  RecordingHandler handler;
  handler.hook = [](Window& window, uint32_t message, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (message == WM_LBUTTONDOWN) {
      window.SetCapture();
      return 0;
    }
    return std::nullopt;
  };
  qt::QtWindow* window = MakeWindow(handler, 200, 100);
  ASSERT_NE(window, nullptr);
  QWidget* widget = window->Widget();

  QTest::mousePress(widget, Qt::LeftButton, Qt::NoModifier, QPoint(50, 50));
  EXPECT_TRUE(window->HasCapture());
  handler.log.clear();
  QTest::mouseMove(widget, QPoint(-60, 300));
  QTest::mouseMove(widget, QPoint(40000, 10));
  ASSERT_EQ(handler.Sequence({WM_PAINT, WM_ERASEBKGND}),
            (std::vector<uint32_t>{WM_MOUSEMOVE, WM_MOUSEMOVE}));  // no cursor queries
  EXPECT_EQ(GET_X_LPARAM(handler.log[0].lParam), -60);
  EXPECT_EQ(GET_Y_LPARAM(handler.log[0].lParam), 300);
  EXPECT_EQ(GET_X_LPARAM(handler.log[1].lParam), 32767);  // clamped to a signed word

  QTest::mouseRelease(widget, Qt::LeftButton, Qt::NoModifier, QPoint(40000, 10));
  EXPECT_FALSE(window->HasCapture());

  // Without capture, moves outside the client area are not the window's.
  QTest::mousePress(widget, Qt::LeftButton, Qt::NoModifier, QPoint(60, 50));
  window->ReleaseCapture();
  EXPECT_FALSE(window->HasCapture());
  handler.log.clear();
  QTest::mouseMove(widget, QPoint(-60, 300));
  EXPECT_EQ(handler.Count(WM_MOUSEMOVE), 0u);
  QTest::mouseRelease(widget, Qt::LeftButton, Qt::NoModifier, QPoint(-60, 300));
}

TEST_F(QtPlatformTest, ClosingAsksTheProgramAndDestroyingKeepsTheObject) {
  RecordingHandler handler;
  qt::QtWindow* window = MakeWindow(handler, 200, 100);
  ASSERT_NE(window, nullptr);
  handler.log.clear();
  window->Widget()->close();  // the default procedure destroys the window
  EXPECT_EQ(handler.Sequence({WM_PAINT, WM_ERASEBKGND}),
            (std::vector<uint32_t>{WM_CLOSE, WM_DESTROY}));
  EXPECT_FALSE(window->IsWindow());
  EXPECT_EQ(window->Widget(), nullptr);
  window->InvalidateRect(nullptr, true);  // harmless on a destroyed window
  EXPECT_EQ(window->GetClientRect(), Rect{});

  // A program that keeps its window on WM_CLOSE keeps it.
  RecordingHandler stubborn;
  stubborn.hook = [](Window&, uint32_t message, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (message == WM_CLOSE) return 0;
    return std::nullopt;
  };
  qt::QtWindow* kept = MakeWindow(stubborn, 200, 100);
  ASSERT_NE(kept, nullptr);
  kept->Widget()->close();
  EXPECT_TRUE(kept->IsWindow());
  EXPECT_TRUE(kept->Widget()->isVisible());
}

class RecordingHooks : public MessageLoopHooks {
 public:
  bool PreTranslateMessage(Window&, uint32_t message, WPARAM, LPARAM) override {
    seen.push_back(message);
    return message == eat;
  }
  bool OnIdle(int) override {
    ++idle;
    return false;
  }
  std::vector<uint32_t> seen;
  uint32_t eat = 0;
  int idle = 0;
};

TEST_F(QtPlatformTest, QuitCodeEndsTheLoopEvenWhenPostedBeforeIt) {
  platform->PostQuitMessage(3);
  RecordingHooks hooks;
  EXPECT_EQ(platform->RunMessageLoop(&hooks), 3);

  QTimer::singleShot(0, [&] { platform->PostQuitMessage(7); });
  EXPECT_EQ(platform->RunMessageLoop(&hooks), 7);
  EXPECT_GE(hooks.idle, 1);
}

TEST_F(QtPlatformTest, FiltersSeeQueuedInputAndCanEatIt) {
  RecordingHandler handler;
  qt::QtWindow* window = MakeWindow(handler, 200, 100);
  ASSERT_NE(window, nullptr);
  RecordingHooks hooks;
  hooks.eat = WM_LBUTTONDOWN;
  handler.log.clear();
  QTimer::singleShot(0, [&] {
    QTest::mouseClick(window->Widget(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    platform->PostQuitMessage(0);
  });
  EXPECT_EQ(platform->RunMessageLoop(&hooks), 0);
  EXPECT_NE(std::find(hooks.seen.begin(), hooks.seen.end(), WM_LBUTTONUP), hooks.seen.end());
  EXPECT_EQ(handler.Count(WM_LBUTTONDOWN), 0u);
  EXPECT_EQ(handler.Count(WM_LBUTTONUP), 1u);
}

TEST_F(QtPlatformTest, WaitCursorOverridesEverywhereUntilAnotherCursorIsSet) {
  RecordingHandler handler;
  qt::QtWindow* window = MakeWindow(handler, 200, 100);
  ASSERT_NE(window, nullptr);
  const Cursor arrow = platform->LoadCursor(CursorId::Arrow);
  const Cursor hand = platform->LoadCursor(CursorId::Hand);
  const Cursor wait = platform->LoadCursor(CursorId::Wait);
  EXPECT_EQ(hand, platform->LoadCursor(CursorId::Hand));
  EXPECT_NE(hand, arrow);

  platform->SetCursor(hand);
  EXPECT_EQ(window->Widget()->cursor().shape(), Qt::PointingHandCursor);
  EXPECT_EQ(platform->SetCursor(wait), hand);
  ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
  EXPECT_EQ(platform->SetCursor(hand), wait);  // what a WaitCursor scope does at its end
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
  platform->SetCursor(platform->LoadCursor(CursorId::SizeAll));
  EXPECT_EQ(window->Widget()->cursor().shape(), Qt::SizeAllCursor);
}

}  // namespace
}  // namespace qttest
