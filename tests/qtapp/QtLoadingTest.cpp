#include <QElapsedTimer>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "imagefiles/TestImages.h"
#include "tests/qtapp/QtAppHarness.h"

using namespace qtapp;

namespace {

// Megapixels of the large PNG; TESSARY_BIG_PNG_MP=96 makes the camera-stitch
// size the window must stay usable with (slow to write, so not the default).
uint32_t BigPngMegapixels() {
  const char* asked = std::getenv("TESSARY_BIG_PNG_MP");
  const int mp = asked ? std::atoi(asked) : 0;
  return mp > 0 && mp <= 200 ? uint32_t(mp) : 8;
}

}  // namespace

TEST(QtLoading, TheWindowRepaintsAndAnswersWhileALargePngDecodes) {
  QtApp app;
  ASSERT_TRUE(app.Ready());
  ASSERT_NE(app.wnd->Loads(), nullptr);
  const uint32_t mp = BigPngMegapixels();
  const uint32_t w = uint32_t(std::lround(std::sqrt(mp * 1e6 * 1.5))), h = w * 2 / 3;
  const std::vector<uint8_t> rgb = testimages::SyntheticPhoto(w, h, 3);
  const std::string photo = app.files.Write("big.png", testimages::EncodeRgbPng(rgb.data(), w, h, false));

  // As the open dialog hands it over: the call returns before the decode ends.
  QElapsedTimer placed;
  placed.start();
  app.wnd->Actions().PlacePhotos(2, {photo});
  const qint64 placeMs = placed.elapsed();
  EXPECT_TRUE(app.wnd->Loads()->Busy());

  // Asks for a paint of the card again and again while the photo decodes:
  // each must come before the decode is over, and soon.
  std::vector<double> latencies;
  const Rect card = app.CardRect();
  while (app.wnd->Loads()->Busy()) {
    const int before = app.paints.Touching(card);
    QElapsedTimer expose;
    expose.start();
    app.widget->update();
    if (!QTest::qWaitFor([&] { return app.paints.Touching(card) > before; }, 5000)) break;
    if (app.wnd->Loads()->Busy()) latencies.push_back(double(expose.nsecsElapsed()) / 1e6);
    QTest::qWait(20);
  }
  ASSERT_TRUE(QTest::qWaitFor([&] { return !app.wnd->Loads()->Busy(); }, 60000));
  ASSERT_GE(latencies.size(), 3u) << "repaints while the photo decoded";
  std::sort(latencies.begin(), latencies.end());
  const double worst = latencies.back(), median = latencies[latencies.size() / 2];
  std::printf("%u MP PNG: placing took %lld ms; %zu repaints while decoding, expose to paint "
              "median %.2f ms, worst %.2f ms\n",
              mp, static_cast<long long>(placeMs), latencies.size(), median, worst);
  RecordProperty("expose_to_paint_worst_ms", std::to_string(worst));
  EXPECT_TRUE(app.Card().slots[2].HasPhoto());
  EXPECT_EQ(app.Card().slots[2].photoWidth, w);
  EXPECT_EQ(app.wnd->Document().History().UndoSteps(), 1u);
}
