#include <gtest/gtest.h>

#include "platform/qt/QtTextPanel.h"

namespace {

// A 1240 x 820 screen; a panel 357 x 400; the window's toolbar down its
// right edge, 70 wide.
TEST(TextPanelPlace, BesideTheWindowElseOverItAwayFromItsToolbar) {
  const QRect room(0, 0, 1240, 820);
  const QSize panel(357, 400);
  const auto toolbarOf = [](const QRect& w) {
    return QRect(w.right() - 70, w.top() + 20, 70, w.height() - 40);
  };
  struct Case {
    const char* what;
    QRect window;
    QRect toolbar;
    QPoint place;
  } cases[] = {
      {"room on the right", QRect(100, 100, 600, 400), toolbarOf(QRect(100, 100, 600, 400)),
       QPoint(700, 100)},
      {"room on the left only", QRect(700, 50, 500, 400), toolbarOf(QRect(700, 50, 500, 400)),
       QPoint(343, 50)},
      {"no room: the left edge, clear of the toolbar", QRect(137, 92, 968, 644),
       toolbarOf(QRect(137, 92, 968, 644)), QPoint(0, 92)},
      {"no room, toolbar on the left: the right edge", QRect(137, 92, 968, 644),
       QRect(137, 112, 70, 600), QPoint(883, 92)},
      {"no room and no toolbar: the right edge", QRect(137, 92, 968, 644), QRect(), QPoint(883, 92)},
      {"low window: kept on the screen", QRect(100, 600, 600, 200),
       toolbarOf(QRect(100, 600, 600, 200)), QPoint(700, 420)},
      {"window above the screen's top", QRect(100, -30, 600, 400),
       toolbarOf(QRect(100, -30, 600, 400)), QPoint(700, 0)},
  };
  for (const Case& c : cases) {
    const QPoint place = platform::qt::TextPanelPlace(c.window, room, panel, c.toolbar);
    EXPECT_EQ(place, c.place) << c.what << ": " << place.x() << "," << place.y();
    EXPECT_TRUE(room.contains(QRect(place, panel))) << c.what;
  }
}

}  // namespace
