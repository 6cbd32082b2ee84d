#include "QtTestSupport.h"

#include <QImage>
#include <QToolButton>

#include "platform/qt/QtToolbar.h"

namespace qttest {
namespace {

struct HotChange {
  int idOld;
  int idNew;
  uint32_t flags;
};

class ToolbarTest : public QtPlatformTest {
 protected:
  void SetUp() override {
    QtPlatformTest::SetUp();
    handler.hook = [this](Window&, uint32_t message, WPARAM wParam,
                          LPARAM lParam) -> std::optional<LRESULT> {
      if (message == WM_ERASEBKGND) {
        reinterpret_cast<DeviceContext*>(wParam)->FillSolidRect(Rect{0, 0, 4000, 4000},
                                                                RGB(255, 255, 255));
        return 1;
      }
      if (message == WM_COMMAND) {
        commands.push_back(LOWORD(wParam));
        EXPECT_EQ(lParam, reinterpret_cast<LPARAM>(toolbar->Handle()));
      }
      if (message != WM_NOTIFY) return std::nullopt;
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      EXPECT_EQ(header->hwndFrom, toolbar->Handle());
      if (header->code == TBN_HOTITEMCHANGE) {
        const auto* hot = reinterpret_cast<const NMTBHOTITEM*>(lParam);
        hotChanges.push_back({hot->idOld, hot->idNew, hot->dwFlags});
        return 0;
      }
      if (header->code == NM_CUSTOMDRAW && customDraw) {
        auto* draw = reinterpret_cast<NMTBCUSTOMDRAW*>(lParam);
        if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
        if (draw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT) {
          drawnItems.push_back(int(draw->nmcd.dwItemSpec));
          labelRects.push_back(draw->rcText);
          EXPECT_NE(draw->nmcd.hdc, nullptr);
          if (collapseLabels) draw->rcText.right = draw->rcText.left;
        }
        return CDRF_DODEFAULT;
      }
      return 0;
    };
    window = MakeWindow(handler, 400, 300);
    ASSERT_NE(window, nullptr);

    images = platform->CreateImageList(48, 48, ILC_COLOR32 | ILC_MASK);
    std::vector<uint8_t> rgba(48 * 48 * 4);
    for (int i = 0; i < 4; ++i) {
      for (size_t p = 0; p < rgba.size(); p += 4) {
        rgba[p] = uint8_t(60 * i);
        rgba[p + 1] = 100;
        rgba[p + 2] = 200;
        rgba[p + 3] = 255;
      }
      ASSERT_EQ(images->ReplaceIcon(-1, IconImage{48, 48, rgba.data()}), i);
    }
    toolbar = window->CreateToolbar(Rect{320, 0, 400, 280}, WS_CHILD | WS_VISIBLE | CCS_VERT);
    ASSERT_NE(toolbar, nullptr);
    toolbar->SetImageList(images.get());
    const TBBUTTON buttons[] = {
        {0, 100, TBSTATE_ENABLED | TBSTATE_WRAP, BTNS_BUTTON, {0, 0}, 0, "Save"},
        {3, 101, TBSTATE_ENABLED | TBSTATE_WRAP, BTNS_BUTTON, {0, 0}, 0, "Template"},
        {I_IMAGENONE, 0, TBSTATE_WRAP, BTNS_SEP, {0, 0}, 0, nullptr},
        {1, 102, TBSTATE_ENABLED | TBSTATE_WRAP, BTNS_BUTTON, {0, 0}, 0, "Donate"},
        {2, 103, TBSTATE_ENABLED | TBSTATE_WRAP, BTNS_BUTTON, {0, 0}, 0, "Help"},
    };
    ASSERT_TRUE(toolbar->AddButtons(buttons, 5));
    qtToolbar = static_cast<qt::QtToolbar*>(toolbar);
  }

  // The centre of item `index` in the window's client coordinates.
  QPoint Centre(int index) const {
    QWidget* item = qtToolbar->Items()[size_t(index)];
    return item->mapTo(window->Widget(), item->rect().center());
  }

  RecordingHandler handler;
  qt::QtWindow* window = nullptr;
  std::unique_ptr<ImageList> images;
  Toolbar* toolbar = nullptr;
  qt::QtToolbar* qtToolbar = nullptr;
  std::vector<int> commands;
  std::vector<HotChange> hotChanges;
  bool customDraw = false;
  bool collapseLabels = false;
  std::vector<int> drawnItems;
  std::vector<Rect> labelRects;
};

TEST_F(ToolbarTest, ButtonsStackInOrderWithTheirLabelsAndTakeTheColumnWidth) {
  const std::vector<QWidget*> items = qtToolbar->Items();
  ASSERT_EQ(items.size(), 5u);
  const char* labels[] = {"Save", "Template", nullptr, "Donate", "Help"};
  for (size_t i = 0; i < 5; ++i) {
    auto* button = dynamic_cast<QToolButton*>(items[i]);
    EXPECT_EQ(button != nullptr, labels[i] != nullptr) << i;
    if (button) {
      EXPECT_EQ(button->text(), QString::fromUtf8(labels[i]));
      EXPECT_EQ(button->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
      EXPECT_FALSE(button->icon().isNull());
    }
    if (i > 0) {
      EXPECT_GE(items[i]->y(), items[i - 1]->y() + items[i - 1]->height()) << i;
    }
  }

  std::string text = "untouched";
  EXPECT_EQ(toolbar->GetButtonText(101, &text), 8);
  EXPECT_EQ(text, "Template");
  EXPECT_EQ(toolbar->GetButtonText(999, &text), -1);
  EXPECT_EQ(text, "Template");

  const Size natural = toolbar->GetButtonSize();
  EXPECT_GE(natural.cx, 48);
  EXPECT_GT(natural.cy, 48);  // the label sits under the icon
  toolbar->SetButtonSize(Size{64, natural.cy});
  EXPECT_EQ(toolbar->GetButtonSize().cx, 64);
  for (QWidget* item : items)
    if (dynamic_cast<QToolButton*>(item)) {
      EXPECT_EQ(item->width(), 64);
    }

  toolbar->MoveWindow(Rect{336, 0, 400, 200}, true);
  EXPECT_EQ(toolbar->GetWindowRect(), (Rect{336, 0, 400, 200}));
}

TEST_F(ToolbarTest, ClicksBecomeCommandsForTheParent) {
  QTest::mouseClick(window->Widget(), Qt::LeftButton, Qt::NoModifier, Centre(1));
  QTest::mouseClick(window->Widget(), Qt::LeftButton, Qt::NoModifier, Centre(2));  // separator
  QTest::mouseClick(window->Widget(), Qt::LeftButton, Qt::NoModifier, Centre(4));
  EXPECT_EQ(commands, (std::vector<int>{101, 103}));
  // Nothing over the toolbar reaches the window as its own mouse message.
  EXPECT_EQ(handler.Count(WM_LBUTTONDOWN), 0u);
  EXPECT_EQ(handler.Count(WM_LBUTTONUP), 0u);
}

TEST_F(ToolbarTest, HoverReportsHotItemsAndLeaving) {
  QWidget* widget = window->Widget();
  QTest::mouseMove(widget, QPoint(10, 10));
  hotChanges.clear();
  const size_t movesBefore = handler.Count(WM_MOUSEMOVE);

  QTest::mouseMove(widget, Centre(0));
  QTest::mouseMove(widget, Centre(0) + QPoint(1, 1));
  QTest::mouseMove(widget, Centre(3));
  ASSERT_EQ(hotChanges.size(), 2u);
  EXPECT_EQ(hotChanges[0].idOld, 0);
  EXPECT_EQ(hotChanges[0].idNew, 100);
  EXPECT_EQ(hotChanges[0].flags, HICF_MOUSE | HICF_ENTERING);
  EXPECT_EQ(hotChanges[1].idOld, 100);
  EXPECT_EQ(hotChanges[1].idNew, 102);
  EXPECT_EQ(hotChanges[1].flags & HICF_LEAVING, 0u);
  EXPECT_EQ(handler.Count(WM_MOUSEMOVE), movesBefore);  // the toolbar keeps its moves

  QTest::mouseMove(widget, QPoint(10, 10));
  ASSERT_EQ(hotChanges.size(), 3u);
  EXPECT_EQ(hotChanges[2].idNew, 0);
  EXPECT_NE(hotChanges[2].flags & HICF_LEAVING, 0u);
  EXPECT_GT(handler.Count(WM_MOUSEMOVE), movesBefore);

  // Coming back enters afresh.
  QTest::mouseMove(widget, Centre(4));
  ASSERT_EQ(hotChanges.size(), 4u);
  EXPECT_EQ(hotChanges[3].idNew, 103);
  EXPECT_NE(hotChanges[3].flags & HICF_ENTERING, 0u);
}

TEST_F(ToolbarTest, CustomDrawCanTakeOverTheLabels) {
  QWidget* save = qtToolbar->Items()[0];
  const QImage withLabel = save->grab().toImage();

  customDraw = true;
  collapseLabels = true;
  const QImage withoutLabel = save->grab().toImage();
  ASSERT_FALSE(drawnItems.empty());
  EXPECT_EQ(drawnItems.back(), 100);
  const Rect label = labelRects.back();
  ASSERT_FALSE(label.Empty());
  EXPECT_GT(label.top, 48);
  EXPECT_LE(label.bottom, save->height());

  // Dark label pixels are there only when the toolbar draws the label.
  auto darkPixels = [&](const QImage& image) {
    int dark = 0;
    for (int y = label.top; y < label.bottom; ++y)
      for (int x = label.left; x < label.right; ++x)
        if (qGray(image.pixel(x, y)) < 128) ++dark;
    return dark;
  };
  EXPECT_GT(darkPixels(withLabel), 0);
  EXPECT_EQ(darkPixels(withoutLabel), 0);
}

}  // namespace
}  // namespace qttest
