#include <QAbstractButton>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>
#include <QWheelEvent>
#include <cstdio>

#include "imagefiles/TestImages.h"
#include "tests/qtapp/QtAppHarness.h"
#include "tests/qtapp/SaveAnswerer.h"
#include "tools/ToolRunner.h"

using namespace qtapp;
using cardfiles::ClientPoint;

namespace {

std::vector<uint8_t> Bytes(const std::string& path) {
  std::vector<uint8_t> out;
  if (FILE* f = std::fopen(path.c_str(), "rb")) {
    int c;
    while ((c = std::fgetc(f)) != EOF) out.push_back(uint8_t(c));
    std::fclose(f);
  }
  return out;
}

std::string Float(float v) {
  char text[32];
  std::snprintf(text, sizeof text, "%.9g", double(v));
  return text;
}

}  // namespace

TEST(QtZoom, WheelNotchesSaveTheCardTheRendererMakesAndUndoGivesTheEarlierOneBack) {
  QtApp app;
  ASSERT_TRUE(app.Ready());
  // Saved at print size: the renderer's --print, framed as on screen.
  // A photo with detail everywhere, so any difference of zoom or pan shows.
  const uint32_t w = 1200, h = 700;
  std::vector<uint8_t> rgb(size_t(w) * h * 3);
  for (uint32_t y = 0; y < h; ++y)
    for (uint32_t x = 0; x < w; ++x) {
      uint8_t* p = &rgb[(size_t(y) * w + x) * 3];
      p[0] = uint8_t(x * 7), p[1] = uint8_t(y * 5), p[2] = uint8_t((x ^ y) * 3);
    }
  const std::string photo =
      app.files.Write("detail.png", testimages::EncodeRgbPng(rgb.data(), w, h, false));
  const ClientPoint target = app.In(0);
  ASSERT_TRUE(DragFilesOnto(app, {photo}, app.At(target)).dropAccepted);

  SaveAnswerer answers;
  // The keys go to the window as it is when the user types: active, focused.
  const auto activate = [&] {
    QApplication::setActiveWindow(app.widget);
    app.widget->setFocus();
  };
  const auto save = [&](const std::string& name) {
    answers.path = app.files.Folder() + "/" + name;
    const int before = answers.saves;
    activate();
    QTest::keyClick(app.widget, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(answers.saves, before + 1);
    return Bytes(answers.path);
  };
  const std::vector<uint8_t> before = save("before.png");
  ASSERT_FALSE(before.empty());

  // Two notches away from the user, off the region's centre.
  const QPoint at = app.At(ClientPoint{target.x + 37, target.y - 21});
  for (int i = 0; i < 2; ++i) {
    QWheelEvent wheel(QPointF(at), app.widget->mapToGlobal(QPointF(at)), QPoint(),
                      QPoint(0, 120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(app.widget, &wheel);
  }
  const engine::PhotoSlot& slot = app.Card().slots[0];
  EXPECT_FLOAT_EQ(slot.zoom, 1.5625f);
  const std::vector<uint8_t> zoomed = save("zoomed.png");

  const tooltest::ToolResult rendered = tooltest::RunTool(
      TESSARY_RENDER_EXE,
      {"--template", "0", "--print", "--photo", "0=" + photo, "--zoom", "0=" + Float(slot.zoom), "--pan",
       "0=" + Float(slot.panX) + "," + Float(slot.panY), "-o",
       app.files.Folder() + "/rendered.png"},
      app.files.Folder());
  ASSERT_EQ(rendered.exitCode, 0) << rendered.err;
  EXPECT_EQ(zoomed, Bytes(app.files.Folder() + "/rendered.png"));
  EXPECT_NE(zoomed, before);

  activate();
  EXPECT_EQ(app.wnd->Document().History().UndoSteps(), 2u);  // the photo, the zoom
  QTest::keyClick(app.widget, Qt::Key_Z, Qt::ControlModifier);  // one gesture, one step
  EXPECT_EQ(app.Card().slots[0].zoom, 1.0f);  // the slot list itself was given back
  EXPECT_EQ(save("undone.png"), before);
}

TEST(QtZoom, AGrownWindowShowsALargerCardAndADragThereSavesWhatTheRendererMakes) {
  QtApp app;
  ASSERT_TRUE(app.Ready());
  const int32_t firstWidth = app.CardRect().Width();
  app.widget->resize(1500, 1000);
  app.Settle();
  ASSERT_EQ(app.widget->width(), 1500);
  EXPECT_GE(app.CardRect().Width() * 2, firstWidth * 3);  // at least 1.5 times as wide

  const uint32_t w = 1600, h = 500;  // wider than its region: it moves sideways
  std::vector<uint8_t> rgb(size_t(w) * h * 3);
  for (size_t i = 0; i < rgb.size(); ++i) rgb[i] = uint8_t(i * 13 + i / 4801);
  const std::string photo =
      app.files.Write("wide.png", testimages::EncodeRgbPng(rgb.data(), w, h, false));
  const ClientPoint start = app.In(1);
  ASSERT_TRUE(DragFilesOnto(app, {photo}, app.At(start)).dropAccepted);

  const int dx = 90;
  QTest::mousePress(app.widget, Qt::LeftButton, Qt::NoModifier, app.At(start));
  for (int step = 1; step <= 3; ++step)
    QTest::mouseMove(app.widget, app.At(ClientPoint{start.x + dx * step / 3, start.y}));
  QTest::mouseRelease(app.widget, Qt::LeftButton, Qt::NoModifier,
                      app.At(ClientPoint{start.x + dx, start.y}));
  // The photo moved with the pointer: dx screen pixels of the card are the
  // same part of the photo's cover size, whatever the card's scale.
  const engine::PhotoSlot& slot = app.Card().slots[1];
  const double scale = double(app.CardRect().Width()) / app.Card().cardTemplate.width;
  const double cover = double(slot.BoxHeight()) * w / h;  // scaled to the box's height
  EXPECT_NEAR((0.5 - slot.panX) * cover * scale, dx, 1.0);

  SaveAnswerer answers;
  answers.path = app.files.Folder() + "/grown.png";
  answers.filter = 3;  // the screen size, 900 x 600, whatever the window's
  QApplication::setActiveWindow(app.widget);
  app.widget->setFocus();
  QTest::keyClick(app.widget, Qt::Key_S, Qt::ControlModifier);
  ASSERT_EQ(answers.saves, 1);
  const tooltest::ToolResult rendered = tooltest::RunTool(
      TESSARY_RENDER_EXE,
      {"--template", "0", "--photo", "1=" + photo, "--pan",
       "1=" + Float(slot.panX) + "," + Float(slot.panY), "-o",
       app.files.Folder() + "/rendered.png"},
      app.files.Folder());
  ASSERT_EQ(rendered.exitCode, 0) << rendered.err;
  EXPECT_EQ(Bytes(answers.path), Bytes(app.files.Folder() + "/rendered.png"));
}
