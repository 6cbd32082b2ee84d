#include <QGuiApplication>
#include <QScreen>
#include <cstdlib>

#include "imagefiles/TestImages.h"
#include "tests/qtapp/QtAppHarness.h"

using namespace qtapp;
using cardfiles::ClientPoint;

namespace {

// The card's device pixels in a grab, compared with the full-quality render
// at that size (a save's arithmetic); the count of pixels that differ.
int DeviceMismatches(QtApp& app, const QImage& image, int ratio) {
  const Rect r = app.CardRect();
  const int32_t w = r.Width() * ratio, h = r.Height() * ratio;
  const uint32_t stride = engine::CardImageStride(uint32_t(w));
  std::vector<uint8_t> expected(size_t(stride) * size_t(h));
  engine::RenderCard(app.Card(), w, h, expected.data(), int32_t(stride), false);
  int bad = 0;
  for (int32_t y = 0; y < h; y += 2)
    for (int32_t x = 0; x < w; x += 2) {
      const uint8_t* p = expected.data() + size_t(y) * stride + size_t(x) * 3;
      const QRgb q = image.pixel(r.left * ratio + x, r.top * ratio + y);
      bad += (qRed(q) != p[0] || qGreen(q) != p[1] || qBlue(q) != p[2]) ? 1 : 0;
    }
  return bad;
}

std::string PhotoWithDetail(QtApp& app) {
  const uint32_t w = 1600, h = 1000;
  std::vector<uint8_t> rgb(size_t(w) * h * 3);
  for (uint32_t y = 0; y < h; ++y)
    for (uint32_t x = 0; x < w; ++x) {
      uint8_t* p = &rgb[(size_t(y) * w + x) * 3];
      p[0] = uint8_t(x * 3), p[1] = uint8_t(y * 7), p[2] = uint8_t((x + y) * 5);
    }
  return app.files.Write("detail.png", testimages::EncodeRgbPng(rgb.data(), w, h, false));
}

}  // namespace

TEST(QtPreview, AtRestTheCardIsTheFullQualityRenderAndADragGoesBackToIt) {
  QtApp app;
  ASSERT_TRUE(app.Ready());
  const ClientPoint centre = app.In(0);
  ASSERT_TRUE(DragFilesOnto(app, {PhotoWithDetail(app)}, app.At(centre)).dropAccepted);
  ASSERT_TRUE(app.WaitForFullQuality());
  EXPECT_EQ(DeviceMismatches(app, app.Grab(), 1), 0);

  // While the photo moves it is drawn in draft; once it rests, in full
  // quality again.
  QTest::mouseMove(app.widget, app.At(centre));
  QTest::mousePress(app.widget, Qt::LeftButton, Qt::NoModifier, app.At(centre));
  QTest::mouseMove(app.widget, app.At(ClientPoint{centre.x + 30, centre.y + 9}));
  QTest::qWait(50);
  EXPECT_FALSE(app.wnd->View().FullQualityShown(app.Card()));  // nothing is computed during the drag
  EXPECT_GT(DeviceMismatches(app, app.Grab(), 1), 0);
  QTest::mouseRelease(app.widget, Qt::LeftButton, Qt::NoModifier,
                      app.At(ClientPoint{centre.x + 30, centre.y + 9}));
  ASSERT_TRUE(app.WaitForFullQuality());
  EXPECT_EQ(DeviceMismatches(app, app.Grab(), 1), 0);
}

TEST(QtPreview, OnAScaleTwoScreenTheCardIsDrawnAtDevicePixels) {
  cardfiles::Files files;
  const std::string json =
      R"({"screens": [{"name": "dense", "x": 0, "y": 0, "width": 3840, "height": 2160,)"
      R"( "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 2}]})";
  const std::string config =
      files.Write("screens.json", std::vector<uint8_t>(json.begin(), json.end()));
  setenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + config).c_str(), 1);
  {
    QtApp app;
    ASSERT_TRUE(app.Ready());
    ASSERT_EQ(app.widget->devicePixelRatioF(), 2.0)
        << "the offscreen plugin ignored the screen's pixel ratio";
    ASSERT_TRUE(DragFilesOnto(app, {PhotoWithDetail(app)}, app.At(app.In(2))).dropAccepted);
    ASSERT_TRUE(app.WaitForFullQuality());
    const QImage image = app.widget->grab().toImage();
    ASSERT_EQ(image.width(), app.widget->width() * 2);
    EXPECT_EQ(app.wnd->View().DeviceCardSize(),
              (Size{app.CardRect().Width() * 2, app.CardRect().Height() * 2}));
    EXPECT_EQ(DeviceMismatches(app, image.convertToFormat(QImage::Format_RGB32), 2), 0);
  }
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
}
