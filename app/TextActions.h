#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "document/CardDocument.h"
#include "platform/Window.h"

namespace app {

// The words on the card as the window edits them: Add text, the editor
// panel beside the card that shows the selected box, and what the user
// changes in it made into the document's steps (the letters typed into a
// box without a pause are one step, every setting one of its own).
class TextActions : public platform::TextPanelHandler {
 public:
  // The pause after which the next letter typed starts a step of its own.
  static constexpr int kTypingTimer = 2;
  static constexpr int32_t kTypingPauseMs = 1500;

  explicit TextActions(document::CardDocument& document) : document_(document) {}

  void Attach(platform::Window* window) { window_ = window; }
  // How a box added becomes the selected one (the window's selection).
  void OnSelect(std::function<void(int32_t)> select) { select_ = std::move(select); }

  // A box at the design's place for a greeting, selected, its editor open
  // with the keyboard on the words. -1 when it could not be added.
  int32_t AddText();
  // The editor for box `index`, with the keyboard on its words.
  void Edit(int32_t index);
  bool RemoveText(int32_t index);

  // The box the window selects now (-1: none), after every selection and
  // every change of the document: an open editor shows it, or closes when
  // none is selected.
  void Follow(int32_t selected);
  void OnTimer(int timer);

  // What the editor shows for `box` on this card.
  platform::TextPanelModel ModelFor(const text::TextBox& box) const;

  // platform::TextPanelHandler
  void TextPanelChanged(const platform::TextPanelModel& model,
                        platform::TextPanelChange what) override;
  void TextPanelClosed() override;

 private:
  // The panel for box index_, which is in range.
  void Show(bool focusWords);

  document::CardDocument& document_;
  platform::Window* window_ = nullptr;
  std::function<void(int32_t)> select_;
  int32_t index_ = -1;  // the box the editor shows
  bool typing_ = false;  // the pause timer runs
  // What the panel was last given, so that changes elsewhere on the card do
  // not rebuild it.
  text::TextBox shownBox_;
  const void* shownDesign_ = nullptr;
  mutable std::vector<std::string> fonts_;
};

}  // namespace app
