#include "platform/qt/QtTextPanel.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QColorDialog>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace platform::qt {

namespace {

QColor ToQColor(uint32_t argb) {
  return QColor(int(argb >> 16 & 0xff), int(argb >> 8 & 0xff), int(argb & 0xff),
                int(argb >> 24 & 0xff));
}

uint32_t FromQColor(const QColor& c) {
  return uint32_t(c.alpha()) << 24 | uint32_t(c.red()) << 16 | uint32_t(c.green()) << 8 |
         uint32_t(c.blue());
}

QPixmap ColourPixmap(uint32_t argb, int width, int height) {
  QPixmap pixmap(width, height);
  pixmap.fill(ToQColor(argb | 0xff000000u));
  QPainter painter(&pixmap);
  painter.setPen(QColor(96, 96, 96));
  painter.drawRect(0, 0, width - 1, height - 1);
  return pixmap;
}

QString Text(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

QtTextPanel::QtTextPanel(QWidget* owner) : QWidget(owner, Qt::Tool) {
  setObjectName(QStringLiteral("TextPanel"));
  auto* form = new QFormLayout;
  words_ = new QPlainTextEdit(this);
  words_->setObjectName(QStringLiteral("words"));
  words_->setTabChangesFocus(true);
  words_->setMinimumHeight(fontMetrics().height() * 5);
  fonts_ = new QComboBox(this);
  fonts_->setObjectName(QStringLiteral("font"));
  size_ = new QDoubleSpinBox(this);
  size_->setObjectName(QStringLiteral("size"));
  size_->setDecimals(1);
  size_->setSingleStep(1);
  // The size follows once the number is whole, not at every digit.
  size_->setKeyboardTracking(false);

  auto* colourRow = new QHBoxLayout;
  swatches_ = new QHBoxLayout;
  swatches_->setSpacing(2);
  colourRow->addLayout(swatches_);
  more_ = new QToolButton(this);
  more_->setObjectName(QStringLiteral("moreColours"));
  current_ = new QLabel(this);
  current_->setObjectName(QStringLiteral("colour"));
  colourRow->addWidget(more_);
  colourRow->addStretch(1);
  colourRow->addWidget(current_);

  auto* styleRow = new QHBoxLayout;
  styles_ = new QButtonGroup(this);
  styles_->setExclusive(false);
  aligns_ = new QButtonGroup(this);
  for (int i = 0; i < 2; ++i) {
    auto* b = new QToolButton(this);
    b->setCheckable(true);
    QFont f = b->font();
    (i == 0 ? f.setBold(true) : f.setItalic(true));
    b->setFont(f);
    styles_->addButton(b, i);
    styleRow->addWidget(b);
  }
  styleRow->addSpacing(12);
  for (int i = 0; i < 3; ++i) {
    auto* b = new QToolButton(this);
    b->setCheckable(true);
    aligns_->addButton(b, i);
    styleRow->addWidget(b);
  }
  styleRow->addStretch(1);
  effect_ = new QComboBox(this);
  effect_->setObjectName(QStringLiteral("effect"));
  effect_->addItems({QString(), QString(), QString()});

  auto* close = new QPushButton(this);
  close->setObjectName(QStringLiteral("close"));
  connect(close, &QPushButton::clicked, this, &QWidget::close);

  for (QLabel*& label : labels_) label = new QLabel(this);
  form->addRow(labels_[0], words_);
  form->addRow(labels_[1], fonts_);
  form->addRow(labels_[2], size_);
  form->addRow(labels_[3], colourRow);
  form->addRow(QString(), styleRow);
  form->addRow(QString(), effect_);
  labels_[0]->setBuddy(words_);
  labels_[1]->setBuddy(fonts_);
  labels_[2]->setBuddy(size_);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(close);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addLayout(buttons);

  connect(words_, &QPlainTextEdit::textChanged, this, [this] {
    model_.words = words_->toPlainText().toStdString();
    Report(TextPanelChange::Words);
  });
  connect(fonts_, &QComboBox::currentIndexChanged, this, [this](int index) {
    if (index < 0 || size_t(index) >= model_.fonts.size()) return;
    model_.font = model_.fonts[size_t(index)];
    Report(TextPanelChange::Font);
  });
  connect(size_, &QDoubleSpinBox::valueChanged, this, [this](double value) {
    model_.sizePoints = value;
    Report(TextPanelChange::Size);
  });
  connect(more_, &QToolButton::clicked, this, [this] {
    const QColor chosen = QColorDialog::getColor(ToQColor(model_.colour), this);
    if (!chosen.isValid()) return;
    model_.colour = FromQColor(chosen) | 0xff000000u;
    ShowColour();
    Report(TextPanelChange::Colour);
  });
  connect(styles_, &QButtonGroup::idToggled, this, [this](int id, bool on) {
    (id == 0 ? model_.bold : model_.italic) = on;
    Report(id == 0 ? TextPanelChange::Bold : TextPanelChange::Italic);
  });
  connect(aligns_, &QButtonGroup::idToggled, this, [this](int id, bool on) {
    if (!on) return;
    model_.align = TextPanelAlign(id);
    Report(TextPanelChange::Align);
  });
  connect(effect_, &QComboBox::currentIndexChanged, this, [this](int index) {
    if (index < 0 || index > 2) return;
    model_.effect = TextPanelEffect(index);
    Report(TextPanelChange::Effect);
  });
  // Labels once the model brings them.
  close->setText(QStringLiteral("Close"));
}

QToolButton* QtTextPanel::Swatch(int index) const {
  return index >= 0 && size_t(index) < swatchButtons_.size() ? swatchButtons_[size_t(index)]
                                                              : nullptr;
}
QAbstractButton* QtTextPanel::Bold() const { return styles_->button(0); }
QAbstractButton* QtTextPanel::Italic() const { return styles_->button(1); }
QAbstractButton* QtTextPanel::Align(TextPanelAlign align) const {
  return aligns_->button(int(align));
}

void QtTextPanel::Report(TextPanelChange what) {
  if (quiet_ || !handler_) return;
  const TextPanelModel shown = model_;  // the handler may show another
  handler_->TextPanelChanged(shown, what);
}

void QtTextPanel::ShowColour() {
  const int side = fontMetrics().height();
  current_->setPixmap(ColourPixmap(model_.colour, side * 2, side));
  for (size_t i = 0; i < swatchButtons_.size(); ++i)
    swatchButtons_[i]->setChecked((shownPalette_[i] | 0xff000000u) == (model_.colour | 0xff000000u));
}

void QtTextPanel::MakeSwatches() {
  for (QToolButton* b : swatchButtons_) delete b;
  swatchButtons_.clear();
  shownPalette_ = model_.palette;
  const int side = fontMetrics().height();
  for (size_t i = 0; i < shownPalette_.size(); ++i) {
    auto* b = new QToolButton(this);
    b->setObjectName(QStringLiteral("swatch%1").arg(i));
    b->setCheckable(true);
    b->setIcon(QIcon(ColourPixmap(shownPalette_[i], side, side)));
    b->setIconSize(QSize(side, side));
    b->setToolTip(QStringLiteral("#%1").arg(shownPalette_[i] & 0xffffffu, 6, 16, QLatin1Char('0')));
    const uint32_t colour = shownPalette_[i];
    connect(b, &QToolButton::clicked, this, [this, colour] {
      model_.colour = colour;
      ShowColour();
      Report(TextPanelChange::Colour);
    });
    swatches_->addWidget(b);
    swatchButtons_.push_back(b);
  }
}

void QtTextPanel::Show(const TextPanelModel& model) {
  quiet_ = true;
  const TextPanelModel before = model_;
  model_ = model;
  const TextPanelLabels& l = model.labels;
  setWindowTitle(Text(l.title));
  const std::string* names[] = {&l.words, &l.font, &l.size, &l.colour};
  for (int i = 0; i < 4; ++i) labels_[i]->setText(Text(*names[i]));
  more_->setText(Text(l.moreColours));
  styles_->button(0)->setText(Text(l.bold));
  styles_->button(1)->setText(Text(l.italic));
  aligns_->button(0)->setText(Text(l.left));
  aligns_->button(1)->setText(Text(l.centre));
  aligns_->button(2)->setText(Text(l.right));
  effect_->setItemText(0, Text(l.noEffect));
  effect_->setItemText(1, Text(l.shadow));
  effect_->setItemText(2, Text(l.outline));
  if (auto* close = findChild<QPushButton*>(QStringLiteral("close"))) close->setText(Text(l.close));

  // Only what differs: the words typed a moment ago come back unchanged, and
  // setting them again would lose the caret.
  if (words_->toPlainText().toStdString() != model.words)
    words_->setPlainText(Text(model.words));
  if (before.fonts != model.fonts || fonts_->count() != int(model.fonts.size())) {
    fonts_->clear();
    for (const std::string& f : model.fonts) fonts_->addItem(Text(f));
  }
  const auto font = std::find(model.fonts.begin(), model.fonts.end(), model.font);
  fonts_->setCurrentIndex(font == model.fonts.end() ? -1 : int(font - model.fonts.begin()));
  size_->setRange(model.minPoints, model.maxPoints);
  if (size_->value() != model.sizePoints) size_->setValue(model.sizePoints);
  if (shownPalette_ != model.palette || swatchButtons_.empty()) MakeSwatches();
  ShowColour();
  styles_->button(0)->setChecked(model.bold);
  styles_->button(1)->setChecked(model.italic);
  aligns_->button(int(model.align))->setChecked(true);
  effect_->setCurrentIndex(int(model.effect));
  quiet_ = false;

  if (!isVisible()) {
    adjustSize();
    const QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr;
    if (owner) {
      const QRect frame = owner->frameGeometry();
      QRect room = frame;
      if (QScreen* screen = owner->screen()) room = screen->availableGeometry();
      QRect toolbar;
      if (const auto* bar = parentWidget()->findChild<QToolBar*>())
        toolbar = QRect(bar->mapToGlobal(QPoint(0, 0)), bar->size());
      move(TextPanelPlace(frame, room, frameGeometry().size(), toolbar));
    }
    show();
    raise();
  }
}

void QtTextPanel::FocusWords() {
  raise();
  activateWindow();
  words_->setFocus(Qt::OtherFocusReason);
  words_->selectAll();
}

void QtTextPanel::CloseQuietly() {
  handler_ = nullptr;
  close();
}

void QtTextPanel::closeEvent(QCloseEvent* event) {
  if (handler_) handler_->TextPanelClosed();
  handler_ = nullptr;
  event->accept();
}

QPoint TextPanelPlace(const QRect& window, const QRect& room, const QSize& panel,
                      const QRect& toolbar) {
  const int top = std::clamp(window.top(), room.top(),
                             std::max(room.top(), room.bottom() + 1 - panel.height()));
  if (window.right() + 1 + panel.width() <= room.right() + 1) return {window.right() + 1, top};
  if (window.left() - panel.width() >= room.left()) return {window.left() - panel.width(), top};
  // Over the window then, but never over its buttons: the user goes on
  // using them (Undo above all) while the panel is open.
  const QRect atRight(QPoint(std::max(room.left(), room.right() + 1 - panel.width()), top), panel);
  const QRect atLeft(QPoint(room.left(), top), panel);
  if (toolbar.isValid() && atRight.intersects(toolbar) && !atLeft.intersects(toolbar))
    return atLeft.topLeft();
  return atRight.topLeft();
}

}  // namespace platform::qt
