#include "platform/qt/QtToolbar.h"

#include <algorithm>

#include <QEnterEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionToolButton>

#include "platform/qt/QtDeviceContext.h"
#include "platform/qt/QtImageList.h"
#include "platform/qt/QtWindow.h"

namespace platform::qt {

namespace {

// The toolbar's icons are 48 x 48 at every resolution.
constexpr int kIconSide = 48;

Rect ToRect(const QRect& r) { return Rect{r.x(), r.y(), r.x() + r.width(), r.y() + r.height()}; }

}  // namespace

// ---------------------------------------------------------------------------

ToolbarPanel::ToolbarPanel(QtToolbar& owner, QWidget* parent) : QWidget(parent), owner_(owner) {
  setMouseTracking(true);
  setAutoFillBackground(false);
  // The panel paints every pixel itself (through the parent's erase), so Qt
  // need not compose the parent under it. Without this, a repaint of the
  // parent that does not erase left stale pixels here, and the labels,
  // drawn again and again over themselves, turned bold.
  setAttribute(Qt::WA_OpaquePaintEvent);
  setCursor(Qt::ArrowCursor);  // not the program's card cursors
}

void ToolbarPanel::paintEvent(QPaintEvent* event) { owner_.PaintBackground(*this, event->rect()); }

void ToolbarPanel::mouseMoveEvent(QMouseEvent* event) {
  if (!dynamic_cast<ToolbarButton*>(childAt(event->position().toPoint()))) owner_.OnOverNoButton();
  event->accept();
}

void ToolbarPanel::mousePressEvent(QMouseEvent* event) { event->accept(); }
void ToolbarPanel::mouseReleaseEvent(QMouseEvent* event) { event->accept(); }
void ToolbarPanel::mouseDoubleClickEvent(QMouseEvent* event) { event->accept(); }

void ToolbarPanel::leaveEvent(QEvent* event) {
  QWidget::leaveEvent(event);
  owner_.OnLeft();
}

// ---------------------------------------------------------------------------

ToolbarButton::ToolbarButton(QtToolbar& owner, int commandId, QWidget* parent)
    : QToolButton(parent), owner_(owner), commandId_(commandId) {
  setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  setAutoRaise(true);
  setIconSize(QSize(kIconSide, kIconSide));
  setFocusPolicy(Qt::NoFocus);
}

QRect ToolbarButton::LabelRect() const {
  // Where the common style puts a label under an icon: below the icon's
  // row (icon height + 4, overlapping one pixel), inside the frame.
  const int frame = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
  const QRect inner = rect().adjusted(frame, frame, -frame, -frame);
  return QRect(QPoint(inner.left(), inner.top() + kIconSide + 3),
               QPoint(inner.right(), inner.bottom() - 1));
}

void ToolbarButton::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  QtDeviceContext dc(&painter);
  const bool label = owner_.CustomDraw(*this, dc);
  QStyleOptionToolButton option;
  initStyleOption(&option);
  if (!label) option.text.clear();  // the icon keeps its place
  style()->drawComplexControl(QStyle::CC_ToolButton, &option, &painter, this);
}

void ToolbarButton::enterEvent(QEnterEvent* event) {
  QToolButton::enterEvent(event);
  if (isEnabled()) owner_.OnButtonEntered(commandId_);
}

// ---------------------------------------------------------------------------

ToolbarSeparator::ToolbarSeparator(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
}

void ToolbarSeparator::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const int inset = std::min(6, width() / 8);
  const int y = height() / 2;
  painter.setPen(palette().color(QPalette::Mid));
  painter.drawLine(inset, y, width() - 1 - inset, y);
  painter.setPen(palette().color(QPalette::Light));
  painter.drawLine(inset, y + 1, width() - 1 - inset, y + 1);
}

// ---------------------------------------------------------------------------

QtToolbar::QtToolbar(QtWindow& window, QWidget* parent, const Rect& rect, uint32_t)
    : window_(window), panel_(new ToolbarPanel(*this, parent)) {
  panel_->setGeometry(QtDeviceContext::ToQRect(rect));
  panel_->show();
}

void QtToolbar::SetImageList(ImageList* images) {
  images_ = dynamic_cast<QtImageList*>(images);
  UpdateIcons();
}

bool QtToolbar::AddButtons(const TBBUTTON* buttons, int count) {
  if (!panel_ || !buttons || count < 0) return false;
  for (int i = 0; i < count; ++i) {
    const TBBUTTON& b = buttons[i];
    Item item;
    item.commandId = b.idCommand;
    item.image = b.iBitmap;
    item.label = QString::fromUtf8(b.iString ? b.iString : "");
    item.separator = (b.fsStyle & BTNS_SEP) != 0;
    if (item.separator) {
      item.widget = new ToolbarSeparator(panel_);
    } else {
      auto* button = new ToolbarButton(*this, b.idCommand, panel_);
      button->setText(item.label);
      button->setEnabled((b.fsState & TBSTATE_ENABLED) != 0);
      const int id = b.idCommand;
      QObject::connect(button, &QToolButton::clicked, button, [this, id] {
        window_.Send(WM_COMMAND, MAKEWPARAM(id, 0), reinterpret_cast<LPARAM>(Handle()));
      });
      item.widget = button;
    }
    item.widget->show();
    items_.push_back(item);
  }
  UpdateIcons();
  Layout();
  return true;
}

void QtToolbar::UpdateIcons() {
  for (Item& item : items_) {
    auto* button = dynamic_cast<ToolbarButton*>(item.widget.data());
    if (!button) continue;
    const QPixmap pixmap = images_ ? images_->Pixmap(item.image) : QPixmap();
    button->setIcon(pixmap.isNull() ? QIcon() : QIcon(pixmap));
  }
}

Size QtToolbar::NaturalButtonSize() const {
  Size size;
  for (const Item& item : items_) {
    if (item.separator || !item.widget) continue;
    const QSize hint = item.widget->sizeHint();
    size.cx = std::max(size.cx, hint.width());
    size.cy = std::max(size.cy, hint.height());
  }
  return size;
}

Size QtToolbar::GetButtonSize() const {
  const Size natural = NaturalButtonSize();
  return Size{buttonSize_.cx > 0 ? buttonSize_.cx : natural.cx,
              buttonSize_.cy > 0 ? buttonSize_.cy : natural.cy};
}

void QtToolbar::SetButtonSize(Size size) {
  buttonSize_ = size;
  Layout();
}

void QtToolbar::Layout() {
  if (!panel_) return;
  const Size button = GetButtonSize();
  const int separator =
      std::max(4, panel_->style()->pixelMetric(QStyle::PM_ToolBarSeparatorExtent));
  int y = 0;
  for (Item& item : items_) {
    if (!item.widget) continue;
    if (item.separator) {
      item.widget->setGeometry(0, y, std::max(button.cx, panel_->width()), separator);
      y += separator;
    } else {
      item.widget->setGeometry(0, y, button.cx, button.cy);
      y += button.cy;
    }
  }
}

int QtToolbar::GetButtonText(int commandId, std::string* text) const {
  for (const Item& item : items_) {
    if (item.separator || item.commandId != commandId) continue;
    const std::string label = item.label.toStdString();
    if (text) *text = label;
    return int(label.size());
  }
  return -1;
}

void QtToolbar::MoveWindow(const Rect& rect, bool repaint) {
  if (!panel_) return;
  panel_->setGeometry(QtDeviceContext::ToQRect(rect));
  Layout();
  if (repaint) panel_->update();
}

Rect QtToolbar::GetWindowRect() const {
  if (!panel_) return Rect{};
  return ToRect(panel_->geometry());
}

std::vector<QWidget*> QtToolbar::Items() const {
  std::vector<QWidget*> widgets;
  for (const Item& item : items_) widgets.push_back(item.widget.data());
  return widgets;
}

void QtToolbar::NotifyHot(int idNew, uint32_t flags) {
  NMTBHOTITEM hot;
  hot.hdr.hwndFrom = Handle();
  hot.hdr.idFrom = 0;
  hot.hdr.code = TBN_HOTITEMCHANGE;
  hot.idOld = hotId_;
  hot.idNew = idNew;
  hot.dwFlags = flags;
  hotId_ = idNew;
  window_.Send(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&hot));
}

void QtToolbar::OnButtonEntered(int commandId) {
  if (inside_ && commandId == hotId_) return;
  const uint32_t flags = HICF_MOUSE | (inside_ ? 0 : HICF_ENTERING);
  inside_ = true;
  NotifyHot(commandId, flags);
}

void QtToolbar::OnOverNoButton() {
  if (inside_ && hotId_ != 0) NotifyHot(0, HICF_MOUSE);
}

void QtToolbar::OnLeft() {
  if (!inside_) return;
  inside_ = false;
  NotifyHot(0, HICF_LEAVING);
}

bool QtToolbar::CustomDraw(ToolbarButton& button, QtDeviceContext& dc) {
  NMTBCUSTOMDRAW draw;
  draw.nmcd.hdr.hwndFrom = Handle();
  draw.nmcd.hdr.code = NM_CUSTOMDRAW;
  draw.nmcd.dwDrawStage = CDDS_PREPAINT;
  draw.nmcd.hdc = &dc;
  draw.nmcd.rc = ToRect(button.rect());
  const LRESULT answer = window_.Send(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&draw));
  if (!(answer & CDRF_NOTIFYITEMDRAW)) return true;

  NMTBCUSTOMDRAW item;
  item.nmcd.hdr = draw.nmcd.hdr;
  item.nmcd.dwDrawStage = CDDS_ITEMPREPAINT;
  item.nmcd.hdc = &dc;
  item.nmcd.rc = ToRect(button.rect());
  item.nmcd.dwItemSpec = uintptr_t(button.CommandId());
  item.nmcd.uItemState = button.isDown() ? CDIS_SELECTED : 0;
  item.rcText = ToRect(button.LabelRect());
  window_.Send(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&item));
  return !item.rcText.Empty();
}

void QtToolbar::PaintBackground(QWidget& panel, const QRect& rect) {
  // A transparent toolbar shows its parent's background: the parent's erase
  // handler paints it, in the parent's coordinates.
  QPainter painter(&panel);
  painter.setClipRect(rect);
  painter.translate(-panel.pos());
  QtDeviceContext dc(&painter);
  window_.Send(WM_ERASEBKGND, reinterpret_cast<WPARAM>(static_cast<DeviceContext*>(&dc)), 0);
}

}  // namespace platform::qt
