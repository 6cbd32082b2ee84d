#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QWidget>

#include "platform/TextPanel.h"

class QAbstractButton;
class QButtonGroup;
class QComboBox;
class QDoubleSpinBox;
class QHBoxLayout;
class QLabel;
class QPlainTextEdit;
class QToolButton;

namespace platform::qt {

// The editor of a text box: a tool window beside the main window with the
// words and their settings, every change reported as it is made.
class QtTextPanel : public QWidget {
 public:
  explicit QtTextPanel(QWidget* owner);

  void SetHandler(TextPanelHandler* handler) { handler_ = handler; }
  // What it shows; equal fields are left alone (the caret stays), and no
  // change is reported.
  void Show(const TextPanelModel& model);
  void FocusWords();
  // Closed by the program: the handler is not told.
  void CloseQuietly();

  // For tests: the parts a user works with.
  QPlainTextEdit* Words() const { return words_; }
  QComboBox* Fonts() const { return fonts_; }
  QDoubleSpinBox* Size() const { return size_; }
  QToolButton* Swatch(int index) const;
  QAbstractButton* Bold() const;
  QAbstractButton* Italic() const;
  QAbstractButton* Align(TextPanelAlign align) const;
  QComboBox* Effect() const { return effect_; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void Report(TextPanelChange what);
  void ShowColour();
  void MakeSwatches();

  TextPanelHandler* handler_ = nullptr;
  TextPanelModel model_;
  bool quiet_ = false;  // the program, not the user, changes what is shown
  QLabel* labels_[4] = {};
  QPlainTextEdit* words_ = nullptr;
  QComboBox* fonts_ = nullptr;
  QDoubleSpinBox* size_ = nullptr;
  QHBoxLayout* swatches_ = nullptr;
  QLabel* current_ = nullptr;  // the colour chosen
  QToolButton* more_ = nullptr;
  QButtonGroup* styles_ = nullptr;
  QButtonGroup* aligns_ = nullptr;
  QComboBox* effect_ = nullptr;
  std::vector<QToolButton*> swatchButtons_;
  std::vector<uint32_t> shownPalette_;
};

// Where a panel of `panel`'s size goes (its frame's top left corner) for a
// main window framed by `window` on a screen whose free part is `room`:
// beside the window where there is room, else against the screen's edge
// that keeps it off the window's `toolbar` (all on the screen).
QPoint TextPanelPlace(const QRect& window, const QRect& room, const QSize& panel,
                      const QRect& toolbar);

}  // namespace platform::qt
