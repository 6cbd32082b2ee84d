#pragma once

#include <memory>
#include <utility>
#include <vector>

#include <QPointer>
#include <QProxyStyle>
#include <QTimer>
#include <QToolBar>
#include <QWidget>

#include "platform/Platform.h"

namespace platform::qt {

class QtWindow;

// Tells the program which toolbar button the pointer is over: `command`
// when it enters a button, 0 when it leaves the toolbar.
class HoverReporter : public QObject {
 public:
  HoverReporter(WindowHandler& handler, int command, QObject* parent)
      : QObject(parent), handler_(handler), command_(command) {}
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  WindowHandler& handler_;
  int command_;
};

// The window's client area: everything but the toolbar is painted by the
// program. Turns Qt's events into the layer's typed events.
class ClientWidget : public QWidget {
 public:
  explicit ClientWidget(QtWindow& owner);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  bool focusNextPrevChild(bool next) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dragLeaveEvent(QDragLeaveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  bool OfferDrag(QDropEvent* event, bool drop);

  QtWindow& owner_;
};

// The toolbar fills its column edge to edge, as the program lays it out.
class FlushToolBarStyle : public QProxyStyle {
 public:
  int pixelMetric(PixelMetric metric, const QStyleOption* option,
                  const QWidget* widget) const override {
    if (metric == PM_ToolBarFrameWidth || metric == PM_ToolBarItemMargin ||
        metric == PM_ToolBarItemSpacing)
      return 0;
    return QProxyStyle::pixelMetric(metric, option, widget);
  }
};

// The toolbar draws no panel of its own: the window's background shows
// through, as around the card.
class PlainToolBar : public QToolBar {
 public:
  using QToolBar::QToolBar;

 protected:
  void paintEvent(QPaintEvent*) override {}
};

class QtWindow : public Window {
 public:
  QtWindow(WindowHandler& handler, const Rect& frame, const FrameMetrics& metrics,
           const std::string& title);
  ~QtWindow() override;
  QtWindow(const QtWindow&) = delete;
  QtWindow& operator=(const QtWindow&) = delete;

  Size ClientSize() const override;
  Rect FrameRect() const override;
  void MoveTo(Point frameTopLeft) override;
  Rect WorkArea() const override;
  double DevicePixelRatio() const override;
  void SetTitle(const std::string& title) override;
  void SetIcons(const std::vector<IconImage>& icons) override;
  void SetMinimumClientSize(Size size) override;
  void SetClientSize(Size size) override;
  void Show(ShowState state) override;
  void Invalidate(const Rect& rect) override;
  void RequestIdle() override;
  void SetCursor(CursorShape shape) override;
  void SetBusy(bool busy) override;
  void CapturePointer() override;
  void ReleasePointer() override;
  bool HasPointerCapture() const override { return captured_; }
  Size SetToolbar(const std::vector<ToolbarButton>& buttons, int32_t buttonWidth) override;
  void PlaceToolbar(const Rect& rect) override;
  void SetShortcuts(const std::vector<Shortcut>& shortcuts) override;
  void EnableCommand(int command, bool enabled) override;
  void FocusToolbar(bool first) override;
  std::optional<FileChoice> ChooseFileToOpen(const FileDialog& dialog) override;
  std::optional<FileChoice> ChooseFileToSave(const FileDialog& dialog) override;
  MessageAnswer ShowMessage(const Message& message) override;
  int ShowContextMenu(Point at, const std::vector<MenuItem>& items) override;
  bool ShowLocalPage(const std::string& path, const std::string& title) override;
  void StartTimer(int timer, int32_t milliseconds) override;
  void StopTimer(int timer) override;
  std::optional<size_t> ChooseDesign(const DesignChoices& choices) override;
  void ShowTextPanel(const TextPanelModel& model, TextPanelHandler& handler,
                     bool focusWords) override;
  void CloseTextPanel() override;
  bool TextPanelOpen() const override;
  bool CanPrint() const override { return true; }
  std::unique_ptr<Printer> ChoosePrinter(const std::string& jobTitle) override;
  bool ShowPageSetup(PageSetupModel& model, PageSetupHandler& handler) override;
  bool CompositionEnabled() const override { return false; }  // no glass frames here
  void ExtendFrame(const Margins&) override {}

  QWidget* Widget() const { return widget_.data(); }
  // The window ShowLocalPage shows its page in, while it is open.
  QWidget* PageWindow() const { return page_.data(); }
  QToolBar* Toolbar() const { return toolbar_.data(); }
  // The text panel, while it is open.
  class QtTextPanel* TextPanel() const;

 private:
  friend class ClientWidget;

  // The pointer stops being captured: its button came up, the window lost
  // activation or was hidden.
  void EndCapture();
  std::optional<FileChoice> RunFileDialog(const FileDialog& dialog, bool save);
  // Modal dialogs get the ordinary cursor even while the program is busy.
  void BeginModal();
  void EndModal();

  WindowHandler& handler_;
  FrameMetrics metrics_;
  QPointer<ClientWidget> widget_;
  QPointer<QToolBar> toolbar_;
  QPointer<QWidget> page_;
  QPointer<QWidget> textPanel_;
  std::vector<std::pair<int, QAction*>> actions_;  // in toolbar order
  std::vector<std::pair<int, QAction*>> shortcuts_;
  bool captured_ = false;
  bool grabbed_ = false;  // captured without a pressed button: an explicit grab
  int busyDepth_ = 0;
  bool idlePending_ = false;
  std::unique_ptr<FlushToolBarStyle> toolbarStyle_;
  std::vector<std::pair<int, QPointer<QTimer>>> timers_;
};

}  // namespace platform::qt
