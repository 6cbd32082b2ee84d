#include "platform/qt/QtWindow.h"

#include <algorithm>

#include <QAction>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QImage>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <QWindowStateChangeEvent>

#include "platform/qt/QtCanvas.h"
#include "platform/qt/QtTextPanel.h"

namespace platform::qt {

namespace {

constexpr int kIconSide = 48;

uint32_t Modifiers(Qt::KeyboardModifiers m) {
  uint32_t out = 0;
  if (m & Qt::ShiftModifier) out |= kShift;
  if (m & Qt::ControlModifier) out |= kControl;
  if (m & Qt::AltModifier) out |= kAlt;
  return out;
}

// + shares its key with = on most layouts; the first of two for one key is
// the one a shortcut uses.
const std::pair<int, Key> kKeys[] = {
    {Qt::Key_Tab, Key::Tab},         {Qt::Key_Backtab, Key::Backtab},
    {Qt::Key_Return, Key::Enter},    {Qt::Key_Enter, Key::Enter},
    {Qt::Key_Space, Key::Space},     {Qt::Key_Escape, Key::Escape},
    {Qt::Key_Delete, Key::Delete},   {Qt::Key_Backspace, Key::Backspace},
    {Qt::Key_Left, Key::Left},       {Qt::Key_Right, Key::Right},
    {Qt::Key_Up, Key::Up},           {Qt::Key_Down, Key::Down},
    {Qt::Key_PageUp, Key::PageUp},   {Qt::Key_PageDown, Key::PageDown},
    {Qt::Key_Home, Key::Home},       {Qt::Key_End, Key::End},
    {Qt::Key_Plus, Key::Plus},       {Qt::Key_Equal, Key::Plus},
    {Qt::Key_Minus, Key::Minus},     {Qt::Key_F1, Key::F1},
    {Qt::Key_Menu, Key::Menu},       {Qt::Key_BracketLeft, Key::BracketLeft},
    {Qt::Key_BracketRight, Key::BracketRight}};

Key ToKey(int key) {
  if (key >= Qt::Key_A && key <= Qt::Key_Z) return Key(uint32_t('A' + (key - Qt::Key_A)));
  if (key >= Qt::Key_0 && key <= Qt::Key_9) return Key(uint32_t('0' + (key - Qt::Key_0)));
  for (const auto& [qt, ours] : kKeys)
    if (qt == key) return ours;
  return Key::Other;
}

QKeySequence ToSequence(const KeyEvent& key) {
  int code = 0;
  if (key.key >= Key::A && key.key <= Key::Z) {
    code = Qt::Key_A + int(key.key) - 'A';
  } else if (key.key >= Key::Digit0 && key.key <= Key::Digit9) {
    code = Qt::Key_0 + int(key.key) - '0';
  } else {
    for (const auto& [qt, ours] : kKeys)
      if (ours == key.key) {
        code = qt;
        break;
      }
    if (code == 0) return {};
  }
  if (key.modifiers & kShift) code |= Qt::SHIFT;
  if (key.modifiers & kControl) code |= Qt::CTRL;
  if (key.modifiers & kAlt) code |= Qt::ALT;
  return QKeySequence(code);
}

Point ToPoint(const QPointF& p) { return Point{int32_t(p.x()), int32_t(p.y())}; }

PointerEvent ToPointer(const QMouseEvent* e) {
  const Qt::MouseButton b = e->button();
  return PointerEvent{ToPoint(e->position()),
                      b == Qt::RightButton    ? Button::Right
                      : b == Qt::MiddleButton ? Button::Middle
                                              : Button::Left,
                      Modifiers(e->modifiers())};
}
Rect ToRect(const QRect& r) { return Rect{r.x(), r.y(), r.x() + r.width(), r.y() + r.height()}; }
QRect ToQRect(const Rect& r) { return QRect(r.left, r.top, r.Width(), r.Height()); }

}  // namespace

bool HoverReporter::eventFilter(QObject* watched, QEvent* event) {
  if (command_ != 0 && event->type() == QEvent::Enter) handler_.OnCommandHovered(command_);
  if (command_ == 0 && event->type() == QEvent::Leave) handler_.OnCommandHovered(0);
  // A button reached with Tab is described as one under the pointer is.
  if (command_ != 0 && event->type() == QEvent::FocusIn) handler_.OnCommandHovered(command_);
  // The hint line describes the button; a tooltip would repeat its label.
  if (event->type() == QEvent::ToolTip) return true;
  return QObject::eventFilter(watched, event);
}

// --- the client area -----------------------------------------------------------

ClientWidget::ClientWidget(QtWindow& owner) : owner_(owner) {
  // The program paints every pixel outside the toolbar itself.
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_NoSystemBackground);
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
  setAcceptDrops(true);
}

void ClientWidget::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  QtCanvas canvas(painter, *this);
  owner_.handler_.OnPaint(canvas, ToRect(event->rect()));
}

void ClientWidget::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (!isMinimized()) owner_.handler_.OnResized(owner_.ClientSize());
}

void ClientWidget::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::WindowStateChange) {
    // A minimised window has no room for a card: it is laid out as 0 x 0.
    const bool was = static_cast<QWindowStateChangeEvent*>(event)->oldState() & Qt::WindowMinimized;
    if (isMinimized() != was) owner_.handler_.OnResized(owner_.ClientSize());
    if (isMinimized()) owner_.EndCapture();
  } else if (event->type() == QEvent::ActivationChange && !isActiveWindow()) {
    owner_.EndCapture();
  }
}

void ClientWidget::closeEvent(QCloseEvent* event) {
  if (owner_.handler_.OnCloseRequested()) {
    owner_.EndCapture();
    event->accept();
  } else {
    event->ignore();
  }
}

void ClientWidget::focusInEvent(QFocusEvent* event) {
  QWidget::focusInEvent(event);
  const FocusReason reason = event->reason() == Qt::TabFocusReason       ? FocusReason::Forward
                             : event->reason() == Qt::BacktabFocusReason ? FocusReason::Backward
                                                                         : FocusReason::Other;
  owner_.handler_.OnFocusChanged(true, reason);
}

void ClientWidget::focusOutEvent(QFocusEvent* event) {
  QWidget::focusOutEvent(event);
  owner_.handler_.OnFocusChanged(false, FocusReason::Other);
}

bool ClientWidget::focusNextPrevChild(bool next) {
  // Tab walks the card's regions first; only when the program lets it go
  // does focus move on to the toolbar.
  if (hasFocus() && owner_.handler_.OnKey(KeyEvent{next ? Key::Tab : Key::Backtab, 0})) return true;
  return QWidget::focusNextPrevChild(next);
}

void ClientWidget::keyPressEvent(QKeyEvent* event) {
  // Keys a toolbar button left unused come up to its parent, this widget;
  // they were not meant for the card.
  if (!hasFocus()) {
    QWidget::keyPressEvent(event);
    return;
  }
  const Key key = ToKey(event->key());
  if (key == Key::Other || !owner_.handler_.OnKey(KeyEvent{key, Modifiers(event->modifiers())}))
    QWidget::keyPressEvent(event);
}

void ClientWidget::mouseMoveEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  // Without capture only moves over the client area count; Qt also reports
  // moves outside while a button is held.
  if (!owner_.captured_ && !rect().contains(p)) return;
  owner_.handler_.OnPointerMoved(ToPointer(event));
}

void ClientWidget::mousePressEvent(QMouseEvent* event) {
  owner_.handler_.OnPointerPressed(ToPointer(event));
}

void ClientWidget::mouseReleaseEvent(QMouseEvent* event) {
  owner_.handler_.OnPointerReleased(ToPointer(event));
  // Capture rides on Qt's implicit grab, which ends with the last button.
  if (owner_.captured_ && !owner_.grabbed_ && event->buttons() == Qt::NoButton) owner_.EndCapture();
}

void ClientWidget::mouseDoubleClickEvent(QMouseEvent* event) {
  owner_.handler_.OnDoubleClicked(ToPointer(event));
}

void ClientWidget::wheelEvent(QWheelEvent* event) {
  owner_.handler_.OnWheel(WheelEvent{ToPoint(event->position()), event->angleDelta().y(),
                                     Modifiers(event->modifiers())});
  event->accept();
}

void ClientWidget::contextMenuEvent(QContextMenuEvent* event) {
  owner_.handler_.OnContextMenu(Point{event->pos().x(), event->pos().y()},
                                event->reason() == QContextMenuEvent::Keyboard);
  event->accept();
}

void ClientWidget::leaveEvent(QEvent* event) {
  QWidget::leaveEvent(event);
  owner_.handler_.OnPointerLeft();
}

bool ClientWidget::OfferDrag(QDropEvent* event, bool drop) {
  FileDrag drag;
  drag.point = ToPoint(event->position());
  drag.copyAllowed = event->possibleActions() & Qt::CopyAction;
  if (event->mimeData()->hasUrls())
    for (const QUrl& url : event->mimeData()->urls())
      if (url.isLocalFile()) drag.paths.push_back(url.toLocalFile().toStdString());
  const bool copy = owner_.handler_.OnFilesDragged(drag);
  if (copy && drop) owner_.handler_.OnFilesDropped(drag);
  return copy;
}

void ClientWidget::dragEnterEvent(QDragEnterEvent* event) {
  // A drag that comes in over a refusing spot can still reach one that
  // takes it, so the enter is always accepted and the action tells.
  event->setDropAction(OfferDrag(event, false) ? Qt::CopyAction : Qt::IgnoreAction);
  event->accept();
}

void ClientWidget::dragMoveEvent(QDragMoveEvent* event) {
  // A plain accept answers for this point only: Qt asks again as the
  // pointer moves, since the answer depends on what lies under it.
  if (OfferDrag(event, false)) {
    event->setDropAction(Qt::CopyAction);
    event->accept();
  } else {
    event->ignore();
  }
}

void ClientWidget::dragLeaveEvent(QDragLeaveEvent* event) {
  QWidget::dragLeaveEvent(event);
  owner_.handler_.OnFilesDragLeft();
}

void ClientWidget::dropEvent(QDropEvent* event) {
  event->setDropAction(Qt::CopyAction);
  if (OfferDrag(event, true)) event->accept(); else event->ignore();
}

// --- the window ----------------------------------------------------------------

QtWindow::QtWindow(WindowHandler& handler, const Rect& frame, const FrameMetrics& metrics,
                   const std::string& title)
    : handler_(handler), metrics_(metrics), widget_(new ClientWidget(*this)) {
  widget_->setWindowTitle(QString::fromStdString(title));
  widget_->setGeometry(frame.left + metrics.frameX, frame.top + metrics.captionHeight + metrics.frameY,
                       std::max(1, frame.Width() - 2 * metrics.frameX),
                       std::max(1, frame.Height() - metrics.captionHeight - 2 * metrics.frameY));
}

QtWindow::~QtWindow() {
  while (busyDepth_ > 0) SetBusy(false);
  delete widget_.data();  // its children, the toolbar among them, go with it
}

Size QtWindow::ClientSize() const {
  if (!widget_ || widget_->isMinimized()) return Size{};
  return Size{widget_->width(), widget_->height()};
}

Rect QtWindow::FrameRect() const {
  const QRect c = widget_->geometry();
  return Rect{c.x() - metrics_.frameX, c.y() - metrics_.captionHeight - metrics_.frameY,
              c.x() + c.width() + metrics_.frameX, c.y() + c.height() + metrics_.frameY};
}

void QtWindow::MoveTo(Point p) {
  // Placing the client rather than the frame keeps frame rectangles
  // consistent with the estimates they are made of.
  widget_->setGeometry(QRect(QPoint(p.x + metrics_.frameX, p.y + metrics_.captionHeight +
                                                              metrics_.frameY),
                             widget_->size()));
}

Rect QtWindow::WorkArea() const {
  QScreen* screen = QGuiApplication::screenAt(widget_->geometry().center());
  if (!screen) screen = widget_->screen();
  if (!screen) screen = QGuiApplication::primaryScreen();
  return screen ? ToRect(screen->availableGeometry()) : Rect{};
}

double QtWindow::DevicePixelRatio() const { return widget_->devicePixelRatioF(); }

void QtWindow::SetTitle(const std::string& title) {
  widget_->setWindowTitle(QString::fromStdString(title));
}

void QtWindow::SetIcons(const std::vector<IconImage>& icons) {
  QIcon icon;
  for (const IconImage& image : icons) {
    if (image.width <= 0 || image.height <= 0 ||
        image.rgba.size() != size_t(image.width) * size_t(image.height) * 4)
      continue;
    icon.addPixmap(QPixmap::fromImage(QImage(image.rgba.data(), image.width, image.height,
                                             image.width * 4, QImage::Format_RGBA8888)));
  }
  widget_->setWindowIcon(icon);
}

void QtWindow::SetMinimumClientSize(Size size) { widget_->setMinimumSize(size.width, size.height); }

void QtWindow::SetClientSize(Size size) {
  if (widget_->isMaximized() || widget_->isFullScreen()) return;
  widget_->resize(std::max(size.width, widget_->minimumWidth()),
                  std::max(size.height, widget_->minimumHeight()));
}

void QtWindow::Show(ShowState state) {
  // Keys go to the card first, as the window opens; Tab reaches the toolbar
  // after the regions. Left alone, Qt would focus the first toolbar button.
  widget_->setFocus(Qt::ActiveWindowFocusReason);
  switch (state) {
    case ShowState::Minimized: widget_->showMinimized(); break;
    case ShowState::Maximized: widget_->showMaximized(); break;
    default: widget_->show(); break;
  }
}

void QtWindow::Invalidate(const Rect& rect) {
  if (!rect.Empty()) widget_->update(ToQRect(rect));
}

void QtWindow::RequestIdle() {
  if (idlePending_) return;
  idlePending_ = true;
  // A zero timer fires once the events that are waiting have been handled.
  QTimer::singleShot(0, widget_.data(), [this] {
    idlePending_ = false;
    if (handler_.OnIdle()) RequestIdle();
  });
}

void QtWindow::StartTimer(int timer, int32_t milliseconds) {
  StopTimer(timer);
  auto* made = new QTimer(widget_.data());
  QObject::connect(made, &QTimer::timeout, widget_.data(), [this, timer] { handler_.OnTimer(timer); });
  made->start(milliseconds);
  timers_.emplace_back(timer, made);
}

void QtWindow::StopTimer(int timer) {
  for (auto it = timers_.begin(); it != timers_.end(); ++it) {
    if (it->first != timer) continue;
    delete it->second.data();
    timers_.erase(it);
    return;
  }
}

void QtWindow::SetCursor(CursorShape shape) {
  Qt::CursorShape q = Qt::ArrowCursor;
  switch (shape) {
    case CursorShape::Hand: q = Qt::PointingHandCursor; break;
    case CursorShape::Move: q = Qt::SizeAllCursor; break;
    case CursorShape::SizeHorizontal: q = Qt::SizeHorCursor; break;
    case CursorShape::SizeVertical: q = Qt::SizeVerCursor; break;
    case CursorShape::SizeDiagonal: q = Qt::SizeFDiagCursor; break;
    case CursorShape::SizeAntiDiagonal: q = Qt::SizeBDiagCursor; break;
    case CursorShape::Arrow: break;
  }
  if (widget_->testAttribute(Qt::WA_SetCursor) && widget_->cursor().shape() == q) return;
  widget_->setCursor(q);
}

void QtWindow::SetBusy(bool busy) {
  if (busy) {
    if (busyDepth_++ == 0) QGuiApplication::setOverrideCursor(Qt::WaitCursor);
  } else if (busyDepth_ > 0 && --busyDepth_ == 0) {
    QGuiApplication::restoreOverrideCursor();
  }
}

void QtWindow::BeginModal() {
  if (busyDepth_ > 0) QGuiApplication::restoreOverrideCursor();
}

void QtWindow::EndModal() {
  if (busyDepth_ > 0) QGuiApplication::setOverrideCursor(Qt::WaitCursor);
}

void QtWindow::CapturePointer() {
  if (captured_) return;
  captured_ = true;
  if (QGuiApplication::mouseButtons() == Qt::NoButton) {
    widget_->grabMouse();
    grabbed_ = true;
  }
}

void QtWindow::ReleasePointer() { EndCapture(); }

void QtWindow::EndCapture() {
  if (grabbed_ && widget_) widget_->releaseMouse();
  grabbed_ = false;
  captured_ = false;
}

// --- toolbar -------------------------------------------------------------------

Size QtWindow::SetToolbar(const std::vector<ToolbarButton>& buttons, int32_t buttonWidth) {
  delete toolbar_.data();
  actions_.clear();
  toolbar_ = new PlainToolBar(widget_.data());
  if (!toolbarStyle_) toolbarStyle_ = std::make_unique<FlushToolBarStyle>();
  toolbar_->setStyle(toolbarStyle_.get());
  toolbar_->setOrientation(Qt::Vertical);
  toolbar_->setMovable(false);
  toolbar_->setIconSize(QSize(kIconSide, kIconSide));
  toolbar_->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  toolbar_->installEventFilter(new HoverReporter(handler_, 0, toolbar_.data()));
  // The toolbar is a child of the card's widget: without a cursor of its own
  // it would show the card's last one.
  toolbar_->setCursor(Qt::ArrowCursor);
  for (const ToolbarButton& b : buttons) {
    if (b.separatorBefore) toolbar_->addSeparator();
    QIcon icon;
    if (b.icon.width > 0 && b.icon.rgba.size() == size_t(b.icon.width) * b.icon.height * 4)
      icon.addPixmap(QPixmap::fromImage(QImage(b.icon.rgba.data(), b.icon.width, b.icon.height,
                                               b.icon.width * 4, QImage::Format_RGBA8888)));
    QAction* action = toolbar_->addAction(icon, QString::fromStdString(b.label));
    const int command = b.command;
    QObject::connect(action, &QAction::triggered, toolbar_.data(),
                     [this, command] { handler_.OnCommand(command); });
    QWidget* button = toolbar_->widgetForAction(action);
    button->setFixedWidth(buttonWidth);
    button->setFocusPolicy(Qt::TabFocus);  // keyboard users reach every command
    button->installEventFilter(new HoverReporter(handler_, command, button));
    actions_.emplace_back(command, action);
  }
  toolbar_->show();
  const QSize natural = toolbar_->sizeHint();
  return Size{std::max(natural.width(), int(buttonWidth)), natural.height()};
}

void QtWindow::PlaceToolbar(const Rect& rect) {
  if (toolbar_) toolbar_->setGeometry(ToQRect(rect));
}

void QtWindow::SetShortcuts(const std::vector<Shortcut>& shortcuts) {
  for (const auto& entry : shortcuts_) delete entry.second;
  shortcuts_.clear();
  for (const Shortcut& s : shortcuts) {
    const QKeySequence sequence = ToSequence(s.key);
    if (sequence.isEmpty()) continue;
    auto* action = new QAction(widget_.data());
    action->setShortcut(sequence);
    action->setShortcutContext(Qt::WindowShortcut);
    const int command = s.command;
    QObject::connect(action, &QAction::triggered, widget_.data(),
                     [this, command] { handler_.OnCommand(command); });
    widget_->addAction(action);
    shortcuts_.emplace_back(command, action);
  }
}

void QtWindow::EnableCommand(int command, bool enabled) {
  for (const auto& [id, action] : actions_)
    if (id == command) action->setEnabled(enabled);
  for (const auto& [id, action] : shortcuts_)
    if (id == command) action->setEnabled(enabled);
}

void QtWindow::FocusToolbar(bool first) {
  if (actions_.empty()) return;
  QAction* action = first ? actions_.front().second : actions_.back().second;
  if (QWidget* button = toolbar_->widgetForAction(action))
    button->setFocus(first ? Qt::TabFocusReason : Qt::BacktabFocusReason);
}

QtTextPanel* QtWindow::TextPanel() const {
  return textPanel_ && textPanel_->isVisible() ? static_cast<QtTextPanel*>(textPanel_.data())
                                               : nullptr;
}

void QtWindow::ShowTextPanel(const TextPanelModel& model, TextPanelHandler& handler,
                             bool focusWords) {
  if (!widget_) return;
  if (!textPanel_) textPanel_ = new QtTextPanel(widget_.data());  // gone with the window
  auto* panel = static_cast<QtTextPanel*>(textPanel_.data());
  panel->SetHandler(&handler);
  panel->Show(model);
  if (focusWords) panel->FocusWords();
}

void QtWindow::CloseTextPanel() {
  if (textPanel_) static_cast<QtTextPanel*>(textPanel_.data())->CloseQuietly();
}

bool QtWindow::TextPanelOpen() const { return textPanel_ && textPanel_->isVisible(); }

}  // namespace platform::qt
