#pragma once

#include <cstdint>

#include "engine/card/PhotoPlacement.h"
#include "interaction/CardHost.h"
#include "platform/Window.h"

namespace interaction {

// Editing the card with the left button: a click on an empty region opens
// a photo, a double-click replaces one, dragging a photo pans it.
class PointerEditor {
 public:
  using Point = geometry::Point;
  using DragState = engine::DragState;

  enum class Gesture {
    Idle,
    PressedOnEmpty,  // acts on release over the same region
    Dragging,        // a photo follows the pointer while the capture holds
  };

  explicit PointerEditor(CardHost& host) : host_(host) {}

  void Press(Point point);
  // False when no press is in progress (the pointer only hovers).
  bool Move(Point point);
  void Release(Point point);
  void DoubleClick(Point point);
  // Escape during a drag: the photo goes back to where the drag began and
  // the press ends. False when no drag was going on.
  bool Cancel();

  int32_t HitTest(Point point) const;
  platform::CursorShape CursorAt(Point point) const;

  Gesture CurrentGesture() const { return gesture_; }
  const engine::DragState& Drag() const { return drag_; }

 private:
  bool SlotHasPhoto(int32_t slot) const;

  CardHost& host_;
  Gesture gesture_ = Gesture::Idle;
  engine::DragState drag_;
};

}  // namespace interaction
