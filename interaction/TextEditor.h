#pragma once

#include <cstdint>

#include "interaction/CardHost.h"
#include "interaction/TextBoxes.h"
#include "platform/Events.h"
#include "platform/Window.h"

namespace interaction {

// The words on the card under the user's hands: which box is selected (the
// window's state, not the document's), a drag that moves it or resizes it
// by a handle, and the arrow keys that nudge it. Boxes lie above the photos,
// so they take the pointer first. Held down, Ctrl lets a box leave the
// safe area; without it a box stays an eighth of an inch inside the edge.
class TextEditor {
 public:
  using Point = geometry::Point;

  explicit TextEditor(CardHost& host) : host_(host) {}

  // True when the press fell on a box or a handle of the selected one: it
  // is selected and the drag begins. Otherwise any selection ends.
  bool Press(const platform::PointerEvent& event);
  // False when no drag of a box is going on.
  bool Move(const platform::PointerEvent& event);
  // True when it ended a drag of a box.
  bool Release();
  // Escape during a drag: the box goes back to where it was. False when no
  // drag was going on.
  bool Cancel();
  bool Dragging() const { return dragging_; }

  // The arrow keys move the selected box by a screen pixel (ten with
  // Shift); a burst of them is one step. False when no box is selected or
  // the key is no arrow.
  bool Nudge(const platform::KeyEvent& event);

  int32_t Selected() const { return selected_; }
  // -1 ends the selection; the host hears of every change.
  void Select(int32_t index);
  // After every change of the document: a selection of a box that is gone
  // ends.
  void DocumentChanged();

  TextHit HitTest(Point p) const;
  // Whether the pointer at `p` is over a box; `shape` the cursor for it.
  bool CursorAt(Point p, platform::CursorShape* shape) const;

 private:
  SafeArea Safe() const { return SafeAreaOf(host_.Document().State()); }

  CardHost& host_;
  int32_t selected_ = -1;
  bool dragging_ = false;
  TextPart part_ = TextPart::None;
  Point start_;
  text::TextBox startBox_;
};

}  // namespace interaction
