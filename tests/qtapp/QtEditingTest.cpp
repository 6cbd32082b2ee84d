#include <QDialog>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QTimer>
#include <QUrl>

#include "imagefiles/TestImages.h"
#include "interaction/HintTexts.h"
#include "interaction/RegionFocus.h"
#include "tests/qtapp/QtAppHarness.h"

using namespace qtapp;
using cardfiles::ClientPoint;
using cardfiles::Rgb;

namespace {

// A client point of the card outside every region (the frame).
ClientPoint FramePoint(QtApp& app) {
  const Rect r = app.CardRect();
  for (int32_t y = r.top + 1; y < r.bottom; y += 2)
    for (int32_t x = r.left + 1; x < r.right; x += 2)
      if (cardfiles::ExpectedSlot(app.Card(), r, x, y) == -1) return ClientPoint{x, y};
  return ClientPoint{};
}

// Waits for a paint of `area` after `before` paints of it were seen.
bool RepaintedSince(QtApp& app, const Rect& area, int before) {
  return QTest::qWaitFor([&] { return app.paints.Touching(area) > before; }, 3000);
}

bool Bluish(Colour c) { return c.b > c.r + 100; }
bool Reddish(Colour c) { return c.r > c.b + 100; }

}  // namespace

TEST(QtEditing, TemplateButtonShowsTheNextCard) {
  QtApp app;
  ASSERT_TRUE(app.Ready());
  QToolButton* button = app.Button("Template");
  ASSERT_NE(button, nullptr);
  const std::vector<Colour> before = app.CardSamples(app.Grab());
  const int paints = app.paints.Touching(app.CardRect());

  QTest::mouseClick(button, Qt::LeftButton);
  EXPECT_EQ(app.wnd->Document().State().design.builtInIndex, 1);
  ASSERT_TRUE(RepaintedSince(app, app.CardRect(), paints));
  ASSERT_TRUE(app.WaitForFullQuality());
  const QImage image = app.Grab();
  const std::vector<Colour> after = app.CardSamples(image);
  ASSERT_EQ(after.size(), before.size());
  size_t changed = 0;
  for (size_t i = 0; i < after.size(); ++i) changed += after[i] != before[i] ? 1 : 0;
  EXPECT_GT(changed, after.size() / 5);
  EXPECT_EQ(app.MismatchesWithRender(image), 0);
}

TEST(QtEditing, HoverHintsFollowThePointerAndRepaintTheHintLine) {
  QtApp app;
  ASSERT_TRUE(app.Ready());
  const Rect hint = app.wnd->View().HintRect();
  const ClientPoint empty = app.In(0);
  const ClientPoint frame = FramePoint(app);
  ASSERT_GE(empty.x, 0);
  ASSERT_GE(frame.x, 0);
  const QImage start = app.Grab();
  const int paints = app.paints.Touching(hint);

  QTest::mouseMove(app.widget, app.At(empty));
  ASSERT_TRUE(QTest::qWaitFor([&] { return app.wnd->View().HintText() == interaction::kHintClickToAdd; }));
  EXPECT_TRUE(RepaintedSince(app, hint, paints));
  EXPECT_EQ(app.widget->cursor().shape(), Qt::PointingHandCursor);
  const QImage over = app.Grab();
  bool hintChanged = false;
  for (int y = hint.top; y < hint.bottom && !hintChanged; ++y)
    for (int x = hint.left; x < hint.right / 2 && !hintChanged; ++x)
      hintChanged = over.pixel(x, y) != start.pixel(x, y);
  EXPECT_TRUE(hintChanged);

  // Within the same region the sentence stays, and so does the hint line.
  const int settled = app.paints.Touching(hint);
  QTest::mouseMove(app.widget, app.At(ClientPoint{empty.x + 3, empty.y + 2}));
  QTest::qWait(100);
  EXPECT_EQ(app.paints.Touching(hint), settled);

  QTest::mouseMove(app.widget, app.At(frame));
  EXPECT_TRUE(
      QTest::qWaitFor([&] { return app.wnd->View().HintText() == interaction::kHintAddMorePhotos; }));
  EXPECT_EQ(app.widget->cursor().shape(), Qt::ArrowCursor);

  QToolButton* help = app.Button("Help");
  ASSERT_NE(help, nullptr);
  QTest::mouseMove(help);
  EXPECT_TRUE(QTest::qWaitFor([&] { return app.wnd->View().HintText() == interaction::kHintHelp; }));
  QTest::mouseMove(app.widget, app.At(frame));
  EXPECT_TRUE(
      QTest::qWaitFor([&] { return app.wnd->View().HintText() == interaction::kHintAddMorePhotos; }));
}

TEST(QtEditing, KeysStartOnTheCardAndTabReachesTheToolbarAfterTheRegions) {
  QtApp app;
  ASSERT_TRUE(app.Ready());
  QApplication::setActiveWindow(app.widget);
  ASSERT_TRUE(QTest::qWaitFor([&] { return app.widget->hasFocus(); }));
  // The card at rest, so only the ring can change its pixels.
  ASSERT_TRUE(app.WaitForFullQuality());
  const QImage before = app.Grab();

  // Each region in turn, in reading order, with a ring the user can see:
  // along the region's own edge, two pixels wide, crossing its middle row
  // and column once on each side.
  const std::vector<int32_t> order = interaction::RegionFocus::ReadingOrder(app.Card());
  ASSERT_EQ(order.size(), app.Card().slots.size());
  for (const int32_t slot : order) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_TRUE(app.widget->hasFocus()) << "region " << slot;
    ASSERT_EQ(app.wnd->Gestures().Focus().Slot(), slot);
    EXPECT_EQ(app.wnd->View().HintText(), interaction::kHintPressEnterToAdd);
    const Rect box = interaction::RegionFocus::BoxOnScreen(app.Card(), app.CardRect(), slot);
    QTest::qWait(20);
    const QImage shown = app.Grab();
    const auto runs = [&](bool alongRow, int32_t at, int32_t from, int32_t to) {
      std::vector<int> lengths;
      int run = 0;
      for (int32_t p = from; p < to; ++p) {
        const QPoint q = alongRow ? QPoint(p, at) : QPoint(at, p);
        if (shown.pixel(q) != before.pixel(q)) {
          ++run;
        } else if (run) {
          lengths.push_back(run);
          run = 0;
        }
      }
      if (run) lengths.push_back(run);
      return lengths;
    };
    const std::vector<int> twoEdges = {2, 2};
    // The scaled region may reach a pixel past its scaled box.
    const Rect reach = interaction::RegionFocus::OutlineOnScreen(app.Card(), app.CardRect(), slot);
    EXPECT_EQ(runs(true, (box.top + box.bottom) / 2, reach.left, reach.right), twoEdges) << slot;
    EXPECT_EQ(runs(false, (box.left + box.right) / 2, reach.top, reach.bottom), twoEdges) << slot;
  }

  // Then the toolbar, whose buttons the hint line describes as under the pointer.
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), app.Button("Save"));
  EXPECT_EQ(app.wnd->View().HintText(), interaction::kHintSaveIncomplete);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), app.Button("Print"));
  EXPECT_EQ(app.wnd->View().HintText(), interaction::kHintPrint);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), app.Button("Template"));
  EXPECT_EQ(app.wnd->View().HintText(), interaction::kHintTemplate);
}

TEST(QtEditing, PhotosDroppedOnARegionAppearInTheCard) {
  QtApp app;
  ASSERT_TRUE(app.Ready());
  const std::string photo = app.files.Photo("green.png", 200, 150, Rgb{20, 180, 60});
  const ClientPoint target = app.In(2);
  const ClientPoint frame = FramePoint(app);

  // Photos alone are refused over the frame.
  const DragOutcome refused = DragFilesOnto(app, {photo}, app.At(frame));
  EXPECT_FALSE(refused.moveCopies);
  EXPECT_FALSE(app.Card().slots[2].HasPhoto());

  const int paints = app.paints.Touching(app.CardRect());
  const DragOutcome dropped = DragFilesOnto(app, {photo}, app.At(target));
  EXPECT_TRUE(dropped.enterCopies);
  EXPECT_TRUE(dropped.moveCopies);
  EXPECT_TRUE(dropped.dropAccepted);
  ASSERT_TRUE(app.Card().slots[2].HasPhoto());
  EXPECT_EQ(app.Card().slots[2].photoWidth, 200u);
  ASSERT_TRUE(RepaintedSince(app, app.CardRect(), paints));
  ASSERT_TRUE(app.WaitForFullQuality());
  const QImage image = app.Grab();
  EXPECT_EQ(QtApp::PixelOf(image, target.x, target.y), (Colour{20, 180, 60}));
  EXPECT_EQ(app.MismatchesWithRender(image), 0);
}

TEST(QtEditing, DraggingAPhotoMovesItsPixels) {
  QtApp app;
  ASSERT_TRUE(app.Ready());
  // Red on the left, blue on the right, much wider than the region: the
  // region's middle shows the border between the two.
  const std::string photo =
      app.files.Photo("wide.png", 860, 140, Rgb{20, 20, 250}, false, Rgb{250, 20, 20}, true);
  const engine::PhotoSlot& slot = app.Card().slots[0];
  const Rect r = app.CardRect();
  const int32_t boxLeft = r.left + slot.left * r.Width() / 900;
  const int32_t boxRight = r.left + slot.right * r.Width() / 900;
  const int32_t midY = r.top + (slot.top + slot.bottom) / 2 * r.Height() / 600;
  const ClientPoint centre{(boxLeft + boxRight) / 2, midY};
  ASSERT_EQ(cardfiles::ExpectedSlot(app.Card(), r, centre.x, centre.y), 0);
  ASSERT_TRUE(DragFilesOnto(app, {photo}, app.At(centre)).dropAccepted);
  ASSERT_TRUE(slot.HasPhoto());

  const int step = std::max(4, r.Width() / 40);
  const ClientPoint probe{centre.x + step, centre.y};
  int paints = app.paints.Touching(r);
  (void)QTest::qWaitFor([&] { return app.paints.Touching(r) > paints; }, 1000);
  EXPECT_TRUE(Bluish(QtApp::PixelOf(app.Grab(), probe.x, probe.y)));

  QTest::mouseMove(app.widget, app.At(centre));
  QTest::mousePress(app.widget, Qt::LeftButton, Qt::NoModifier, app.At(centre));
  EXPECT_EQ(app.widget->cursor().shape(), Qt::SizeAllCursor);
  ASSERT_TRUE(app.window->HasPointerCapture());
  paints = app.paints.Touching(r);
  QTest::mouseMove(app.widget, app.At(ClientPoint{centre.x + step, centre.y}));
  QTest::mouseMove(app.widget, app.At(ClientPoint{centre.x + 3 * step, centre.y + 5}));
  EXPECT_LT(slot.panX, 0.5f);
  EXPECT_TRUE(RepaintedSince(app, r, paints));
  QTest::qWait(50);
  EXPECT_TRUE(Reddish(QtApp::PixelOf(app.Grab(), probe.x, probe.y)));

  // Far past the window's right edge the photo stops at its limit.
  QTest::mouseMove(app.widget, QPoint(app.widget->width() + 400, centre.y));
  EXPECT_FLOAT_EQ(slot.panX, 0.125f);
  QTest::mouseRelease(app.widget, Qt::LeftButton, Qt::NoModifier,
                      QPoint(app.widget->width() + 400, centre.y));
  EXPECT_FALSE(app.window->HasPointerCapture());
  EXPECT_EQ(app.wnd->Gestures().Editor().Drag().dragSlot, -1);
  EXPECT_FLOAT_EQ(slot.panX, 0.125f);
  EXPECT_FLOAT_EQ(slot.panY, 0.5f);
}

TEST(QtEditing, ADroppedLayoutBecomesTheCard) {
  QtApp app;
  ASSERT_TRUE(app.Ready());
  // An opaque magenta-ish card with one region in its middle.
  cardfiles::Rgba map(600, 400), overlay(600, 400);
  map.Fill(150, 100, 450, 300, 0, 0, 255);
  overlay.Fill(0, 0, 600, 400, 200, 30, 160);
  overlay.Fill(150, 100, 450, 300, 0, 0, 0, 0);
  const std::string layout = app.files.Layout("party.jli", map, overlay);
  const ClientPoint frame = FramePoint(app);
  const int paints = app.paints.Touching(app.CardRect());

  const DragOutcome outcome = DragFilesOnto(app, {layout}, app.At(frame));
  EXPECT_TRUE(outcome.enterCopies);  // a layout is welcome outside every region
  EXPECT_TRUE(outcome.dropAccepted);
  ASSERT_EQ(app.Card().cardTemplate.width, 600u);
  EXPECT_EQ(app.Card().cardTemplate.height, 400u);
  const int32_t w = app.widget->width(), h = app.widget->height();
  // As large as the room allows, with the layout's proportions.
  const int32_t availW = w - 68, availH = h - 20;
  if (600 * availH > 400 * availW) {
    const int32_t ch = availW * 400 / 600, top = (availH - ch) >> 1;
    EXPECT_EQ(app.CardRect(), (Rect{0, top, availW, top + ch}));
  } else {
    const int32_t cw = availH * 600 / 400, left = (availW - cw) >> 1;
    EXPECT_EQ(app.CardRect(), (Rect{left, 0, left + cw, availH}));
  }
  ASSERT_TRUE(RepaintedSince(app, app.CardRect(), paints));
  ASSERT_TRUE(app.WaitForFullQuality());
  const QImage image = app.Grab();
  const Rect r = app.CardRect();
  EXPECT_EQ(QtApp::PixelOf(image, r.left + 2, r.top + 2), (Colour{200, 30, 160}));
  EXPECT_EQ(QtApp::PixelOf(image, r.right - 3, r.bottom - 3), (Colour{200, 30, 160}));
  EXPECT_EQ(app.MismatchesWithRender(image), 0);
  ASSERT_EQ(app.Card().slots[0].keyColour, 0xF80000u);
  EXPECT_TRUE(app.Card().slots[1].Hidden());
}

namespace {

// Cancels every modal dialog the program opens and counts them.
class DialogCanceller {
 public:
  DialogCanceller() {
    timer_.setInterval(10);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      if (QWidget* modal = QApplication::activeModalWidget()) {
        if (auto* dialog = qobject_cast<QDialog*>(modal)) {
          titles.push_back(dialog->windowTitle().toStdString());
          dialog->reject();
        }
      }
    });
    timer_.start();
  }
  std::vector<std::string> titles;

 private:
  QTimer timer_;
};

}  // namespace

TEST(QtEditing, DoubleClicksOpenTheDialogOnceForAPhotoAndTwiceForAnEmptyRegion) {
  QtApp app;
  ASSERT_TRUE(app.Ready());
  const std::string photo = app.files.Photo("blue.png", 90, 60, Rgb{10, 10, 240});
  const ClientPoint filled = app.In(1), empty = app.In(3);
  ASSERT_TRUE(DragFilesOnto(app, {photo}, app.At(filled)).dropAccepted);
  const uint8_t* pixels = app.Card().slots[1].photoPixels.get();

  DialogCanceller dialogs;
  // On a photo: press and release start and end a drag, the double-click
  // opens the dialog, and the last release finds nothing pressed.
  QTest::mouseMove(app.widget, app.At(filled));
  QTest::mouseDClick(app.widget, Qt::LeftButton, Qt::NoModifier, app.At(filled));
  EXPECT_TRUE(QTest::qWaitFor([&] { return dialogs.titles.size() >= 1; }, 3000));
  QTest::qWait(50);
  EXPECT_EQ(dialogs.titles, (std::vector<std::string>{"Open picture"}));
  EXPECT_EQ(app.Card().slots[1].photoPixels.get(), pixels);
  EXPECT_FALSE(app.window->HasPointerCapture());
  EXPECT_EQ(app.wnd->Gestures().Editor().Drag().dragSlot, -1);

  // On an empty region the first click's release already opens it; the
  // double-click opens it once more, and that is all.
  dialogs.titles.clear();
  QTest::mouseMove(app.widget, app.At(empty));
  QTest::qWait(400);  // not a continuation of the double-click above
  QTest::mouseDClick(app.widget, Qt::LeftButton, Qt::NoModifier, app.At(empty));
  EXPECT_TRUE(QTest::qWaitFor([&] { return dialogs.titles.size() >= 2; }, 3000));
  QTest::qWait(50);
  EXPECT_EQ(dialogs.titles.size(), 2u);
  EXPECT_FALSE(app.Card().slots[3].HasPhoto());
}

TEST(QtEditing, APortraitPhotoFromAPhoneIsDroppedAndAppearsUpright) {
  QtApp app;
  ASSERT_TRUE(app.Ready());
  // Stored sideways, as a phone writes it: red on the left, blue on the
  // right, with Exif Orientation 6 (turn a quarter clockwise to see it).
  // Upright it is a portrait with red on top and blue below.
  const uint32_t w = 300, h = 200;
  std::vector<uint8_t> rgb(size_t(w) * h * 3);
  for (uint32_t y = 0; y < h; ++y)
    for (uint32_t x = 0; x < w; ++x) {
      uint8_t* p = &rgb[(size_t(y) * w + x) * 3];
      p[0] = x < w / 2 ? 230 : 20, p[1] = 20, p[2] = x < w / 2 ? 20 : 230;
    }
  testimages::JpegOptions options;
  options.exif = testimages::ExifBlock(6, false);
  const std::string photo =
      app.files.Write("portrait.jpg", testimages::EncodeJpeg(rgb.data(), w, h, 3, options));
  const ClientPoint target = app.In(0);
  ASSERT_TRUE(DragFilesOnto(app, {photo}, app.At(target)).dropAccepted);
  ASSERT_EQ(app.Card().slots[0].photoWidth, h);  // upright: 200 wide, 300 high
  ASSERT_EQ(app.Card().slots[0].photoHeight, w);

  const engine::PhotoSlot& slot = app.Card().slots[0];
  const Rect r = app.CardRect();
  const int32_t midX = r.left + (slot.left + slot.right) / 2 * r.Width() / 900;
  const int32_t top = r.top + (slot.top + 20) * r.Height() / 600;
  const int32_t bottom = r.top + (slot.bottom - 20) * r.Height() / 600;
  ASSERT_TRUE(app.WaitForFullQuality());
  const QImage image = app.Grab();
  EXPECT_TRUE(Reddish(QtApp::PixelOf(image, midX, top)));
  EXPECT_TRUE(Bluish(QtApp::PixelOf(image, midX, bottom)));
  EXPECT_EQ(app.MismatchesWithRender(image), 0);
}
