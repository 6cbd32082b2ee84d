#include "app/TextActions.h"

#include "document/DesignColours.h"
#include "document/DesignTextPlace.h"
#include "text/DrawTexts.h"

namespace app {

using platform::TextPanelAlign;
using platform::TextPanelChange;
using platform::TextPanelEffect;
using platform::TextPanelModel;

namespace {

// The words a new box starts with; the editor opens with them selected, so
// the first letter typed replaces them.
constexpr char kNewWords[] = "Your words here";

platform::TextPanelLabels Labels() {
  platform::TextPanelLabels l;
  l.title = "Text";
  l.words = "Words:";
  l.font = "Font:";
  l.size = "Size (pt):";
  l.colour = "Colour:";
  l.moreColours = "More colours...";
  l.bold = "Bold";
  l.italic = "Italic";
  l.left = "Left";
  l.centre = "Centre";
  l.right = "Right";
  l.noEffect = "Plain";
  l.shadow = "Shadow";
  l.outline = "Outline";
  l.close = "Close";
  return l;
}

}  // namespace

int32_t TextActions::AddText() {
  text::TextBox box = document::DesignTextPlace(document_.State());
  box.words = kNewWords;
  const int32_t index = document_.AddText(box);
  if (index < 0) return -1;
  if (select_) select_(index);
  Edit(index);
  return index;
}

void TextActions::Edit(int32_t index) {
  if (!window_ || index < 0 || size_t(index) >= document_.State().texts.size()) return;
  index_ = index;
  Show(true);
}

bool TextActions::RemoveText(int32_t index) {
  return index >= 0 && document_.RemoveText(size_t(index));
}

void TextActions::Follow(int32_t selected) {
  if (!window_ || !window_->TextPanelOpen()) return;
  const std::vector<text::TextBox>& texts = document_.State().texts;
  if (selected < 0 || size_t(selected) >= texts.size()) {
    index_ = -1;
    window_->CloseTextPanel();
    return;
  }
  if (selected != index_) document_.CloseGesture();  // typing goes on in another box
  // Most changes of the card (a photo dragged) leave the panel's box as it was.
  const void* design = document_.Card().cardTemplate.overlay.get();
  if (selected == index_ && texts[size_t(selected)] == shownBox_ && design == shownDesign_)
    return;
  index_ = selected;
  Show(false);
}

void TextActions::Show(bool focusWords) {
  shownBox_ = document_.State().texts[size_t(index_)];
  shownDesign_ = document_.Card().cardTemplate.overlay.get();
  window_->ShowTextPanel(ModelFor(shownBox_), *this, focusWords);
}

void TextActions::OnTimer(int timer) {
  if (timer != kTypingTimer) return;
  typing_ = false;
  if (window_) window_->StopTimer(kTypingTimer);
  document_.CloseGesture();
}

TextPanelModel TextActions::ModelFor(const text::TextBox& box) const {
  // The system's fonts are looked for once: that can take a while.
  if (fonts_.empty()) fonts_ = text::FontFamilies();
  TextPanelModel model;
  model.labels = Labels();
  model.words = box.words;
  model.fonts = fonts_;
  // A family from another machine stays the box's choice, listed after the
  // ones here.
  bool listed = false;
  for (const std::string& family : model.fonts) listed = listed || family == box.font;
  if (!listed) model.fonts.push_back(box.font);
  model.font = box.font;
  model.sizePoints = box.sizePoints;
  model.colour = box.colour;
  model.palette = document::DesignColours(document_.Card().cardTemplate);
  model.bold = box.bold;
  model.italic = box.italic;
  model.align = TextPanelAlign(uint8_t(box.align));
  model.effect = TextPanelEffect(uint8_t(box.effect));
  return model;
}

void TextActions::TextPanelChanged(const TextPanelModel& model, TextPanelChange what) {
  const std::vector<text::TextBox>& texts = document_.State().texts;
  if (index_ < 0 || size_t(index_) >= texts.size()) return;
  text::TextBox box = texts[size_t(index_)];
  box.words = model.words;
  box.font = model.font;
  if (model.sizePoints >= model.minPoints && model.sizePoints <= model.maxPoints)
    box.sizePoints = model.sizePoints;
  box.colour = model.colour;
  box.bold = model.bold;
  box.italic = model.italic;
  if (uint8_t(model.align) <= uint8_t(TextPanelAlign::Right))
    box.align = text::TextAlign(uint8_t(model.align));
  if (uint8_t(model.effect) <= uint8_t(TextPanelEffect::Outline))
    box.effect = text::TextEffect(uint8_t(model.effect));
  if (what == TextPanelChange::Words) {
    // The letters of one burst are one step; a pause ends it.
    document_.ChangeText(size_t(index_), box, document::Commit::Gesture,
                         document::Gesture::Typing);
    if (window_) window_->StartTimer(kTypingTimer, kTypingPauseMs);
    typing_ = true;
  } else {
    document_.ChangeText(size_t(index_), box, document::Commit::Step);
  }
}

void TextActions::TextPanelClosed() {
  index_ = -1;
  document_.CloseGesture();
}

}  // namespace app
