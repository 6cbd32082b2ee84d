#include "interaction/PointerEditor.h"

#include "interaction/HitTestSlot.h"

namespace interaction {

int32_t PointerEditor::HitTest(Point point) const {
  return HitTestSlot(host_.Card(), host_.CardRect(), point.x, point.y);
}

bool PointerEditor::SlotHasPhoto(int32_t slot) const {
  const engine::SlotList& slots = host_.Card().slots;
  return slot >= 0 && size_t(slot) < slots.size() && slots[size_t(slot)].HasPhoto();
}

platform::CursorShape PointerEditor::CursorAt(Point point) const {
  const int32_t slot = HitTest(point);
  if (slot == -1) return platform::CursorShape::Arrow;
  return SlotHasPhoto(slot) ? platform::CursorShape::Move : platform::CursorShape::Hand;
}

void PointerEditor::Press(Point point) {
  drag_.dragStartX = point.x;
  drag_.dragStartY = point.y;
  drag_.dragSlot = HitTest(point);
  if (drag_.dragSlot == -1) {
    gesture_ = Gesture::Idle;
  } else if (SlotHasPhoto(drag_.dragSlot)) {
    gesture_ = Gesture::Dragging;
    host_.HostWindow().CapturePointer();
    const engine::PhotoSlot& slot = host_.Card().slots[size_t(drag_.dragSlot)];
    drag_.dragStartPanX = slot.panX;
    drag_.dragStartPanY = slot.panY;
  } else {
    gesture_ = Gesture::PressedOnEmpty;  // no capture: the click acts on release
  }
}

bool PointerEditor::Move(Point point) {
  if (drag_.dragSlot == -1) return false;
  // A press on an empty slot follows nothing, and a capture the system took
  // away ends the drag's effect until the button comes up.
  if (gesture_ != Gesture::Dragging || !host_.HostWindow().HasPointerCapture()) return true;
  const engine::CardTemplate& t = host_.Card().cardTemplate;
  const geometry::Rect cardRect = host_.CardRect();
  // The history takes the whole drag as one step, at the release.
  host_.Document().EditSlots(
      [&](engine::SlotList& slots) {
        const engine::PhotoSlot before = slots[size_t(drag_.dragSlot)];
        engine::DragPan(slots, drag_, cardRect, t.width, t.height, point.x, point.y);
        const engine::PhotoSlot& after = slots[size_t(drag_.dragSlot)];
        return before.panX != after.panX || before.panY != after.panY;
      },
      document::Commit::Later);
  return true;
}

void PointerEditor::Release(Point point) {
  const int32_t pressed = drag_.dragSlot;
  const Gesture gesture = gesture_;
  // The press ends before any dialog opens, so nothing the dialog's own
  // event handling delivers can be taken for a drag.
  drag_.dragSlot = -1;
  gesture_ = Gesture::Idle;
  platform::Window& window = host_.HostWindow();
  if (window.HasPointerCapture()) window.ReleasePointer();
  if (gesture == Gesture::Dragging) {
    host_.Document().CommitPending();
  } else if (pressed >= 0 && HitTest(point) == pressed && !SlotHasPhoto(pressed)) {
    host_.ChoosePhotoForSlot(pressed);
  }
}

bool PointerEditor::Cancel() {
  if (gesture_ != Gesture::Dragging) return false;
  const DragState drag = drag_;
  drag_.dragSlot = -1;
  gesture_ = Gesture::Idle;
  platform::Window& window = host_.HostWindow();
  if (window.HasPointerCapture()) window.ReleasePointer();
  host_.Document().EditSlots(
      [&](engine::SlotList& slots) {
        if (size_t(drag.dragSlot) >= slots.size()) return false;
        slots[size_t(drag.dragSlot)].panX = drag.dragStartPanX;
        slots[size_t(drag.dragSlot)].panY = drag.dragStartPanY;
        return true;
      },
      document::Commit::Later);
  return true;
}

void PointerEditor::DoubleClick(Point point) {
  const int32_t slot = HitTest(point);
  if (slot != -1) host_.ChoosePhotoForSlot(slot);
}

}  // namespace interaction
