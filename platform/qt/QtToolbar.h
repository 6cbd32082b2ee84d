#pragma once

#include <vector>

#include <QPointer>
#include <QString>
#include <QToolButton>
#include <QWidget>

#include "platform/Toolbar.h"

namespace platform::qt {

class QtDeviceContext;
class QtImageList;
class QtToolbar;
class QtWindow;

// The toolbar's area: transparent, so the parent's background shows
// through. It takes every mouse event that reaches it, as a child control
// does, so the parent window sees no clicks or moves over the toolbar.
class ToolbarPanel : public QWidget {
 public:
  ToolbarPanel(QtToolbar& owner, QWidget* parent);

 protected:
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  QtToolbar& owner_;
};

// A flat button with its icon over its label; its painting goes through
// the parent's custom draw notifications.
class ToolbarButton : public QToolButton {
 public:
  ToolbarButton(QtToolbar& owner, int commandId, QWidget* parent);
  int CommandId() const { return commandId_; }
  // Where the label goes, in the button's own coordinates.
  QRect LabelRect() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void enterEvent(QEnterEvent* event) override;

 private:
  QtToolbar& owner_;
  int commandId_;
};

class ToolbarSeparator : public QWidget {
 public:
  explicit ToolbarSeparator(QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;
};

// A vertical column of buttons, one per row, as a child of a QtWindow.
// Owned by the window; its widgets die with the window's widget.
class QtToolbar : public Toolbar {
 public:
  QtToolbar(QtWindow& window, QWidget* parent, const Rect& rect, uint32_t style);

  void SetExtendedStyle(uint32_t) override {}
  void ButtonStructSize(size_t) override {}
  void SetImageList(ImageList* images) override;
  bool AddButtons(const TBBUTTON* buttons, int count) override;
  Size GetButtonSize() const override;
  void SetButtonSize(Size size) override;
  int GetButtonText(int commandId, std::string* text) const override;
  void MoveWindow(const Rect& rect, bool repaint) override;
  Rect GetWindowRect() const override;

  QWidget* Panel() const { return panel_.data(); }
  // The buttons and separators in toolbar order (null for lost widgets).
  std::vector<QWidget*> Items() const;

  // From the widgets.
  void OnButtonEntered(int commandId);
  void OnOverNoButton();
  void OnLeft();
  // Custom draw for one button; false when the label is to be left out.
  bool CustomDraw(ToolbarButton& button, QtDeviceContext& dc);
  // The parent erases what lies under the transparent control.
  void PaintBackground(QWidget& panel, const QRect& rect);

 private:
  struct Item {
    QPointer<QWidget> widget;
    int commandId = 0;
    int image = I_IMAGENONE;
    QString label;
    bool separator = false;
  };

  void NotifyHot(int idNew, uint32_t flags);
  void UpdateIcons();
  void Layout();
  Size NaturalButtonSize() const;

  QtWindow& window_;
  QPointer<ToolbarPanel> panel_;
  QtImageList* images_ = nullptr;
  std::vector<Item> items_;
  Size buttonSize_;  // zero until the program sets it
  int hotId_ = 0;
  bool inside_ = false;
};

}  // namespace platform::qt
