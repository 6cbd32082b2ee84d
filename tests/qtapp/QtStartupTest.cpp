#include <QAbstractButton>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QStandardPaths>
#include <QTimer>
#include <QWindow>
#include <cstdlib>
#include <functional>
#include <set>

#include "app/Metrics.h"
#include "tests/qtapp/QtAppHarness.h"

using namespace qtapp;

namespace {

// Where the card goes in a client area of w x h, worked out on its own.
Rect ExpectedCardRect(int32_t w, int32_t h, int32_t dpi, int32_t tw, int32_t th) {
  const int32_t availW = w - app::ToolbarWidthFor(dpi) - app::ToolbarGapFor(dpi);
  const int32_t availH = h - app::HintHeightFor(dpi);
  if (availW >= tw && availH >= th)
    return Rect{(availW - tw) / 2, (availH - th) / 2, (availW - tw) / 2 + tw,
                (availH - th) / 2 + th};
  if (int64_t(tw) * availH > int64_t(th) * availW) {
    const int32_t ch = availW * th / tw;
    return Rect{0, (availH - ch) / 2, availW, (availH - ch) / 2 + ch};
  }
  const int32_t cw = availH * tw / th;
  return Rect{(availW - cw) / 2, 0, (availW - cw) / 2 + cw, availH};
}

// Runs the program as main() does, hands its window to `look` once it is on
// the screen, then closes it as the user would. TessaryMain's exit code, or
// 99 when the window never showed (rather than a hung test).
int RunProgramAndLook(qt::QtPlatform& platform, const std::vector<std::string>& files,
                      const std::function<void(QWidget*)>& look) {
  QStandardPaths::setTestModeEnabled(true);  // what it remembers stays out of the user's settings
  QTimer poll;
  poll.setInterval(20);
  QObject::connect(&poll, &QTimer::timeout, [&] {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (!w->isVisible() || !w->windowTitle().endsWith(QStringLiteral(" \u2014 Tessary")) ||
          !w->windowHandle() || !w->windowHandle()->isExposed())
        continue;
      poll.stop();
      look(w);
      w->close();
      return;
    }
  });
  poll.start();
  QTimer guard;
  guard.setSingleShot(true);
  QObject::connect(&guard, &QTimer::timeout, [&] { platform.Quit(99); });
  guard.start(15000);
  return app::TessaryMain(platform, files);
}

// Checks the window's layout and the painted card for whatever size it got.
void ExpectLaidOutAndPainted(QtApp& app) {
  const int32_t w = app.widget->width(), h = app.widget->height();
  EXPECT_EQ(app.window->ClientSize(), (Size{w, h}));
  EXPECT_EQ(app.wnd->View().HintRect(), (Rect{0, h - app::HintHeightFor(app.dpi), w, h}));
  EXPECT_EQ(app.CardRect(), ExpectedCardRect(w, h, app.dpi, 900, 600));

  ASSERT_TRUE(app.WaitForFullQuality());
  const QImage image = app.Grab();
  EXPECT_EQ(app.MismatchesWithRender(image), 0);
  const Colour face = app.Platform().FaceColour();
  std::set<uint32_t> colours;
  int background = 0;
  const std::vector<Colour> samples = app.CardSamples(image);
  for (Colour c : samples) {
    colours.insert(uint32_t(c.r) << 16 | uint32_t(c.g) << 8 | c.b);
    background += c == face ? 1 : 0;
  }
  EXPECT_GT(colours.size(), 20u);  // frame, placeholder tiles, decorations
  EXPECT_LT(background, int(samples.size() / 10));
}

// Sets an environment variable for the life of the object.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value) : name_(name) {
    const char* old = std::getenv(name);
    had_ = old != nullptr;
    if (had_) old_ = old;
    setenv(name, value.c_str(), 1);
  }
  ~ScopedEnv() {
    if (had_) {
      setenv(name_, old_.c_str(), 1);
    } else {
      unsetenv(name_);
    }
  }

 private:
  const char* name_;
  bool had_ = false;
  std::string old_;
};

}  // namespace

TEST(QtStartup, WindowTakesTheSizeItsMetricsAskForAndPaintsTheCard) {
  QtApp app;
  ASSERT_TRUE(app.Ready());
  EXPECT_EQ(app.widget->windowTitle(), QStringLiteral("Frost \u2014 Tessary"));
  EXPECT_EQ(app.dpi, 96);
  if (app.placement.show == ShowState::Maximized) {
    // The default offscreen screen (800 x 800 with Qt 6.4) is too narrow for the card at
    // natural size: shown maximised, the card scaled down to fit.
    EXPECT_TRUE(QTest::qWaitFor([&] { return app.widget->isMaximized(); }, 2000));
    app.Settle();
    EXPECT_LT(app.CardRect().Width(), 900);
  } else {
    EXPECT_EQ(app.widget->size(), QSize(968, 620));
  }
  ExpectLaidOutAndPainted(app);
}

TEST(QtStartup, OnALargeScreenTheClientIsExactlyRoomForTheCard) {
  cardfiles::Files files;
  const std::string config = files.Write("screens.json", [] {
    const std::string json =
        R"({"screens": [{"name": "big", "x": 0, "y": 0, "width": 1920,)"
        R"( "height": 1080, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})";
    return std::vector<uint8_t>(json.begin(), json.end());
  }());
  const ScopedEnv qpa("QT_QPA_PLATFORM", "offscreen:configfile=" + config);
  QtApp app;
  ASSERT_TRUE(app.Ready());
  ASSERT_EQ(QGuiApplication::primaryScreen()->size(), QSize(1920, 1080))
      << "the offscreen plugin ignored the screen configuration";
  EXPECT_NE(app.placement.show, ShowState::Maximized);
  EXPECT_FALSE(app.widget->isMaximized());
  // The card at its own size beside the toolbar; the toolbar's nine buttons
  // stand taller than the card, so the window is as tall as they need and
  // the card sits in the middle of the height.
  const int height = std::max(620, app.window->Toolbar()->sizeHint().height() + 20);
  EXPECT_EQ(app.widget->size(), QSize(968, height));
  EXPECT_EQ(app.CardRect(), (Rect{0, (height - 620) / 2, 900, (height - 620) / 2 + 600}));
  ExpectLaidOutAndPainted(app);
}

TEST(QtStartup, TheProgramRunsUntilItsWindowIsClosed) {
  int argc = 1;
  char name[] = "test_qtapp";
  char* argv[] = {name, nullptr};
  qt::QtPlatform platform(argc, argv);

  QString title;
  QSize size;
  size_t colours = 0;
  EXPECT_EQ(RunProgramAndLook(platform, {},
                              [&](QWidget* w) {
                                title = w->windowTitle();
                                size = w->size();
                                const QImage image = w->grab().toImage();
                                std::set<QRgb> seen;
                                for (int y = 0; y < image.height(); y += 7)
                                  for (int x = 0; x < image.width(); x += 7)
                                    seen.insert(image.pixel(x, y));
                                colours = seen.size();
                              }),
            0);
  EXPECT_EQ(title, QStringLiteral("Frost \u2014 Tessary"));  // the first design's name
  EXPECT_GT(size.width(), 300);
  EXPECT_GT(colours, 20u);
}

TEST(QtStartup, FilesOnTheCommandLineOpenTheLayoutAndFillItsFirstRegions) {
  cardfiles::Files files;
  const std::string photo1 = files.Photo("photo1.jpg", 80, 60, cardfiles::Rgb{230, 20, 20}, true);
  const std::string photo2 = files.Photo("photo2.png", 80, 60, cardfiles::Rgb{20, 20, 230});
  // Three regions side by side on a white card with no overlay.
  cardfiles::Rgba map(600, 400), overlay(600, 400);
  map.Fill(0, 0, 200, 400, 255, 0, 0);
  map.Fill(200, 0, 400, 400, 0, 255, 0);
  map.Fill(400, 0, 600, 400, 0, 0, 255);
  const std::string layout = files.Layout("my.jli", map, overlay);

  int argc = 1;
  char name[] = "tessary";
  char* argv[] = {name, nullptr};
  qt::QtPlatform platform(argc, argv);
  std::vector<QRgb> middles;
  // The layout comes last on the command line and is still the template.
  // Closing asks about the opened card; the question is answered Discard.
  QTimer discard;
  discard.setInterval(20);
  QString discardLabel;
  QObject::connect(&discard, &QTimer::timeout, [&] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      discardLabel = box->button(QMessageBox::Discard)->text();
      box->button(QMessageBox::Discard)->click();
    }
  });
  discard.start();
  const auto look = [&](QWidget* w) {
    QTest::qWait(100);
    const QImage image = w->grab().toImage();
    // The card is 600 x 400, centred in the card area when there is room.
    const int availW = w->width() - 68, availH = w->height() - 20;
    const double scale = std::min(1.0, std::min(availW / 600.0, availH / 400.0));
    const int left = (availW - int(600 * scale)) / 2, top = (availH - int(400 * scale)) / 2;
    for (int region = 0; region < 3; ++region)
      middles.push_back(image.pixel(left + int((100 + 200 * region) * scale),
                                    top + int(40 * scale)));  // above the tile
  };
  EXPECT_EQ(RunProgramAndLook(platform, {photo1, photo2, layout}, look), 0);
  EXPECT_EQ(discardLabel, QStringLiteral("Don't Save"));
  ASSERT_EQ(middles.size(), 3u);
  EXPECT_GT(qRed(middles[0]), 200);  // photo1, in the first region
  EXPECT_LT(qBlue(middles[0]), 60);
  EXPECT_GT(qBlue(middles[1]), 200);  // photo2, in the second
  EXPECT_LT(qRed(middles[1]), 60);
  EXPECT_EQ(middles[2], qRgb(192, 176, 160));  // the third still shows the placeholder
}
