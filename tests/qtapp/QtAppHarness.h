#pragma once

// Mouse input through the window system, as a user's would arrive.
#define QTEST_QPA_MOUSE_HANDLING

#include <gtest/gtest.h>

#include <QApplication>
#include <QStandardPaths>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QTest>
#include <QUrl>
#include <QEvent>
#include <QImage>
#include <QPaintEvent>
#include <QRegion>
#include <QTest>
#include <QToolButton>
#include <QWidget>
#include <memory>
#include <string>
#include <vector>

#include "app/Startup.h"
#include "app/MainWindow.h"
#include "engine/compose/CardCompositor.h"
#include "imagefiles/ImageFiles.h"
#include "interaction/CardFiles.h"
#include "platform/qt/QtPlatform.h"
#include "platform/qt/QtWindow.h"
#include "tests/qt/OwnFolders.h"

namespace qtapp {

using namespace platform;


// Every paint event the widget receives, with its region.
class PaintLog : public QObject {
 public:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint)
      regions.push_back(static_cast<QPaintEvent*>(event)->region());
    return false;
  }
  int Touching(const Rect& r) const {
    const QRect area(r.left, r.top, r.Width(), r.Height());
    int n = 0;
    for (const QRegion& region : regions) n += region.intersects(area) ? 1 : 0;
    return n;
  }
  std::vector<QRegion> regions;
};

// The program's main window as start-up makes it, on the Qt backend, with
// the loop driven by the test.
class QtApp {
  static inline int argc_ = 1;
  static inline char name_[] = "test_qtapp";
  static inline char* argv_[] = {name_, nullptr};

  qt::QtPlatform platform_;  // first made, last gone
  imagefiles::ImageFiles reader_;

 public:
  QtApp() : platform_(argc_, argv_) {
    // Settings go to a folder of Qt's own for tests, not the user's.
    QStandardPaths::setTestModeEnabled(true);
    dpi = platform_.ScreenDpi();
    placement = app::ComputeStartupPlacement(dpi, platform_.Frame(),
                                             platform_.MaximisedClientSize(),
                                             platform_.StartupShowState());
    wnd = std::make_unique<app::MainWindow>(platform_, dpi, reader_);
    if (!wnd->Create(placement.rect, "Tessary 1.0")) return;
    // Photos of a few pixels would all be marked soft at print size; the
    // print tests choose it themselves.
    wnd->Actions().SetPreferredUse(document::SizeUse::Screen);
    window = static_cast<qt::QtWindow*>(wnd->GetWindow());
    wnd->Show(placement.show);
    widget = window->Widget();
    if (widget && QTest::qWaitForWindowExposed(widget)) {
      widget->installEventFilter(&paints);
      Settle();
    } else {
      widget = nullptr;
    }
  }
  ~QtApp() {
    if (widget) widget->removeEventFilter(&paints);
    wnd.reset();
  }
  QtApp(const QtApp&) = delete;
  QtApp& operator=(const QtApp&) = delete;

  bool Ready() const { return widget != nullptr && widget->isVisible(); }

  // Lets pending resizes and paints through until the layout is still.
  void Settle() {
    Rect last{-1, -1, -1, -1};
    for (int i = 0; i < 20 && last != wnd->View().CardRect(); ++i) {
      last = wnd->View().CardRect();
      QTest::qWait(30);
    }
  }

  const engine::Card& Card() { return wnd->Document().Card(); }
  Rect CardRect() const { return wnd->View().CardRect(); }
  cardfiles::ClientPoint In(size_t slot) {
    return cardfiles::PointInSlot(Card(), CardRect(), slot);
  }
  QPoint At(cardfiles::ClientPoint p) const { return QPoint(p.x, p.y); }

  QImage Grab() { return widget->grab().toImage().convertToFormat(QImage::Format_RGB32); }
  static Colour PixelOf(const QImage& image, int x, int y) {
    const QRgb p = image.pixel(x, y);
    return Colour{uint8_t(qRed(p)), uint8_t(qGreen(p)), uint8_t(qBlue(p))};
  }
  // Pixels of the card rectangle, every `step`-th in both directions.
  std::vector<Colour> CardSamples(const QImage& image, int step = 5) const {
    std::vector<Colour> out;
    const Rect r = CardRect();
    for (int y = r.top; y < r.bottom; y += step)
      for (int x = r.left; x < r.right; x += step) out.push_back(PixelOf(image, x, y));
    return out;
  }
  // Lets the idle moments finish the full-quality picture (a grab then
  // paints it).
  bool WaitForFullQuality() {
    return QTest::qWaitFor([&] { return wnd->View().FullQualityShown(wnd->Document().Card()); }, 10000);
  }
  // Sampled card pixels that differ from the card at rest: the full-quality
  // render, as a save makes it, at the size of the card on screen.
  int MismatchesWithRender(const QImage& image, int step = 3) {
    const Rect r = CardRect();
    const int32_t w = r.Width(), h = r.Height();
    const uint32_t stride = engine::CardImageStride(uint32_t(w));
    std::vector<uint8_t> expected(size_t(stride) * size_t(h));
    engine::RenderCard(Card(), w, h, expected.data(), int32_t(stride), false);
    int bad = 0;
    for (int32_t y = 0; y < h; y += step)
      for (int32_t x = 0; x < w; x += step) {
        const uint8_t* p = expected.data() + size_t(y) * stride + size_t(x) * 3;
        if (PixelOf(image, r.left + x, r.top + y) != Colour{p[0], p[1], p[2]}) ++bad;
      }
    return bad;
  }

  QToolButton* Button(const char* label) const {
    for (QToolButton* b : widget->findChildren<QToolButton*>())
      if (b->text() == QLatin1String(label)) return b;
    return nullptr;
  }

  int32_t dpi = 0;
  app::StartupPlacement placement;
  std::unique_ptr<app::MainWindow> wnd;
  qt::QtWindow* window = nullptr;
  QWidget* widget = nullptr;
  PaintLog paints;
  cardfiles::Files files;

  qt::QtPlatform& Platform() { return platform_; }
  const imagefiles::ImageFiles& Reader() const { return reader_; }
};

struct DragOutcome {
  bool enterCopies = false;
  bool moveCopies = false;
  bool dropAccepted = false;
};

// A desktop drag of local files that enters, moves and drops at `at`.
inline DragOutcome DragFilesOnto(QtApp& app, const std::vector<std::string>& paths, QPoint at) {
  QMimeData mime;
  QList<QUrl> urls;
  for (const std::string& p : paths) urls << QUrl::fromLocalFile(QString::fromStdString(p));
  mime.setUrls(urls);
  const Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;
  DragOutcome out;
  QDragEnterEvent enter(at, actions, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(app.widget, &enter);
  out.enterCopies = enter.isAccepted() && enter.dropAction() == Qt::CopyAction;
  QDragMoveEvent move(at, actions, &mime, Qt::LeftButton, Qt::NoModifier);
  move.ignore();
  QApplication::sendEvent(app.widget, &move);
  out.moveCopies = move.isAccepted() && move.dropAction() == Qt::CopyAction;
  QDropEvent drop(QPointF(at), actions, &mime, Qt::NoButton, Qt::NoModifier);
  drop.ignore();
  QApplication::sendEvent(app.widget, &drop);
  out.dropAccepted = drop.isAccepted();
  // Dropped photos decode on worker threads; the tests look at them in.
  if (app::PhotoLoads* loads = app.wnd->Loads()) {
    EXPECT_TRUE(QTest::qWaitFor([loads] { return !loads->Busy(); }, 20000));
  }
  return out;
}

}  // namespace qtapp
