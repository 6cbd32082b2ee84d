#include "interaction/CardGestures.h"

#include "engine/card/SlotEditing.h"

namespace interaction {

using platform::Key;

void CardGestures::EndWheelGesture(bool keyBurst) {
  wheelSlot_ = -1;
  // A step of another kind or region does not join, so only other input
  // needs to close it.
  if (!keyBurst) host_.Document().CloseGesture();
  if (zoomHinted_) {
    zoomHinted_ = false;
    host_.HintAbout(afterZoom_);
  }
}

void CardGestures::HintZoom(int32_t slot, const HintSubject& after) {
  zoomHinted_ = true;
  afterZoom_ = after;
  host_.HintAbout(HintSubject{HintSubject::Kind::Zoom, slot, 0});
}

void CardGestures::ZoomedByKey(int32_t slot) {
  HintZoom(slot, focus_.RingVisible()
                     ? HintSubject{HintSubject::Kind::KeyboardRegion, focus_.Slot(), 0}
                     : HintSubject{});
}

void CardGestures::SetDropSlot(int32_t slot) {
  if (slot == dropSlot_) return;
  const engine::Card& card = host_.Card();
  if (dropSlot_ != -1) host_.RepaintArea(RegionFocus::OutlineOnScreen(card, host_.CardRect(), dropSlot_));
  dropSlot_ = slot;
  if (slot != -1) host_.RepaintArea(RegionFocus::OutlineOnScreen(card, host_.CardRect(), slot));
}

bool CardGestures::FilesDragged(const platform::FileDrag& drag) {
  using Kind = FileDropper::Target::Kind;
  const FileDropper::Target target = dropper_.TargetOf(drag);
  SetDropSlot(target.kind == Kind::Photo ? target.slot : -1);
  host_.HintAbout(target.kind == Kind::Photo
                      ? HintSubject{HintSubject::Kind::DropPhoto, target.slot, 0}
                  : target.kind == Kind::Layout ? HintSubject{HintSubject::Kind::DropLayout, -1, 0}
                                                : HintSubject{});
  return target.kind != Kind::Nothing;
}

void CardGestures::FilesDragLeft() {
  SetDropSlot(-1);
  host_.HintAbout(HintSubject{});
}

void CardGestures::FilesDropped(const platform::FileDrag& drag) {
  FilesDragLeft();
  dropper_.Drop(drag);
}

void CardGestures::DocumentChanged() {
  texts_.DocumentChanged();
  if (focus_.Slot() == -1) return;
  const geometry::Rect before = RegionFocus::OutlineOnScreen(host_.Card(), host_.CardRect(), focus_.Slot());
  focus_.Validate(host_.Card());
  if (focus_.Slot() == -1) host_.RepaintArea(before);
}

int32_t CardGestures::KeyboardSlot() const {
  if (focus_.Slot() != -1) return focus_.Slot();
  const engine::SlotList& slots = host_.Card().slots;
  int32_t firstVisible = -1;
  for (size_t i = 0; i < slots.size(); ++i) {
    if (slots[i].Hidden()) continue;
    if (!slots[i].HasPhoto()) return int32_t(i);
    if (firstVisible == -1) firstVisible = int32_t(i);
  }
  return firstVisible;
}

void CardGestures::FocusRegion(int32_t slot, bool ring) {
  // Only a ring that shows needs repainting, where it was and where it goes.
  const engine::Card& card = host_.Card();
  if (focus_.RingVisible()) host_.RepaintArea(RegionFocus::OutlineOnScreen(card, host_.CardRect(), focus_.Slot()));
  focus_.Set(slot, ring);
  if (focus_.RingVisible()) host_.RepaintArea(RegionFocus::OutlineOnScreen(card, host_.CardRect(), slot));
  if (ring && slot != -1) host_.HintAbout(HintSubject{HintSubject::Kind::KeyboardRegion, slot, 0});
}

void CardGestures::Press(const platform::PointerEvent& event) {
  EndWheelGesture();
  // Words lie over the photos and take the pointer first.
  if (texts_.Press(event)) return;
  // The keys go on with the region the pointer chose.
  const int32_t slot = HitTest(event.point);
  if (slot != -1 && slot != focus_.Slot()) FocusRegion(slot, false);
  if (event.button == platform::Button::Left) editor_.Press(event.point);
}

void CardGestures::Move(const platform::PointerEvent& event) {
  platform::Window& window = host_.HostWindow();
  if (!window.HasPointerCapture()) {
    platform::CursorShape shape;
    window.SetCursor(texts_.CursorAt(event.point, &shape) ? shape : editor_.CursorAt(event.point));
  }
  if (texts_.Move(event)) return;
  if (wheelSlot_ != -1 && HitTest(event.point) != wheelSlot_) EndWheelGesture();
  // The keys' zoom was told; the pointer moving on is about something else.
  if (zoomHinted_ && wheelSlot_ == -1) zoomHinted_ = false;
  // While a region is pressed the hint stays as it was, and so does the
  // zoom's while the wheel turns over one photo.
  if (editor_.Move(event.point) || zoomHinted_) return;
  const TextHit text = texts_.HitTest(event.point);
  if (text.index != -1) {
    host_.HintAbout(HintSubject{HintSubject::Kind::Text, text.index, 0});
    return;
  }
  host_.HintAbout(HintSubject{HintSubject::Kind::PointerRegion, HitTest(event.point), 0});
}

void CardGestures::Release(const platform::PointerEvent& event) {
  if (texts_.Release()) return;
  if (event.button == platform::Button::Left) editor_.Release(event.point);
}

void CardGestures::DoubleClick(const platform::PointerEvent& event) {
  const TextHit hit = texts_.HitTest(event.point);
  if (hit.index != -1) {
    if (event.button == platform::Button::Left) host_.EditText(hit.index);
    return;
  }
  if (event.button == platform::Button::Left) editor_.DoubleClick(event.point);
}

void CardGestures::Left() {
  EndWheelGesture();
  // Outside the window the sentence about the region under the pointer
  // would be stale; a drag keeps its hint until the button comes up.
  if (!Busy()) host_.HintAbout(HintSubject{});
}

void CardGestures::Wheel(const platform::WheelEvent& event) {
  if (Busy()) return;
  const int32_t slot = HitTest(event.point);
  // The notches of one turn over one photo are one step of the history.
  if (slot != wheelSlot_) host_.Document().CloseGesture();
  wheelSlot_ = slot;
  if (slot == -1 || !host_.Card().slots[size_t(slot)].HasPhoto()) return;
  const engine::CardTemplate& t = host_.Card().cardTemplate;
  const geometry::Rect cardRect = host_.CardRect();
  host_.Document().EditSlots(
      [&](engine::SlotList& slots) {
        return engine::WheelZoomSlot(slots, size_t(slot), event.angleDelta, cardRect, t.width,
                                     t.height, event.point.x, event.point.y);
      },
      document::Commit::Gesture, document::Gesture::WheelZoom, size_t(slot));
  HintZoom(slot, HintSubject{HintSubject::Kind::PointerRegion, slot, 0});
}

bool CardGestures::Key(const platform::KeyEvent& e) {
  // A burst of nudges of one box is one step: only other input ends it.
  if (!Busy() && texts_.Nudge(e)) {
    wheelSlot_ = -1;
    return true;
  }
  const bool arrow = e.key == Key::Left || e.key == Key::Right || e.key == Key::Up || e.key == Key::Down;
  const int32_t slot = focus_.Slot();
  const bool nudge = arrow && !Busy() && slot != -1 && size_t(slot) < host_.Card().slots.size();
  EndWheelGesture(nudge);
  if (!nudge) return KeyOtherThanNudge(e);
  const int32_t step = (e.modifiers & platform::kShift) ? 10 : 1;
  const int32_t dx = e.key == Key::Left ? -step : e.key == Key::Right ? step : 0;
  const int32_t dy = e.key == Key::Up ? -step : e.key == Key::Down ? step : 0;
  const engine::CardTemplate& t = host_.Card().cardTemplate;
  const geometry::Rect cardRect = host_.CardRect();
  host_.Document().EditSlots(
      [&](engine::SlotList& slots) {
        return engine::NudgePan(slots, size_t(slot), cardRect, t.width, t.height, dx, dy);
      },
      document::Commit::Gesture, document::Gesture::KeyPan, size_t(slot));
  return true;
}

bool CardGestures::KeyOtherThanNudge(const platform::KeyEvent& e) {
  constexpr uint32_t kModifiers = platform::kShift | platform::kControl | platform::kAlt;
  if (e.key == Key::Escape && (e.modifiers & kModifiers) == 0) {
    if (CancelDrag()) return true;
    if (texts_.Selected() == -1) return false;
    texts_.Select(-1);
    return true;
  }
  if (e.key == Key::Tab || e.key == Key::Backtab) {
    texts_.Select(-1);
    RegionFocus next = focus_;
    const bool forward = e.key == Key::Tab && !(e.modifiers & platform::kShift);
    if (forward ? next.Next(host_.Card()) : next.Previous(host_.Card())) {
      FocusRegion(next.Slot(), true);
      return true;
    }
    FocusRegion(-1, false);
    host_.HintAbout(HintSubject{});
    return false;  // on to the toolbar
  }
  return false;
}

void CardGestures::ContextMenu(geometry::Point point, bool fromKeyboard) {
  if (Busy()) return;
  EndWheelGesture();
  const int32_t slot = fromKeyboard ? KeyboardSlot() : HitTest(point);
  if (fromKeyboard && slot != -1) {
    const geometry::Rect box = RegionFocus::BoxOnScreen(host_.Card(), host_.CardRect(), slot);
    point = geometry::Point{(box.left + box.right) / 2, (box.top + box.bottom) / 2};
  }
  if (slot != -1) FocusRegion(slot, fromKeyboard);
  host_.ShowRegionMenu(point, slot);
}

void CardGestures::FocusChanged(bool gained, platform::FocusReason reason) {
  hasKeyboard_ = gained;
  if (gained && reason != platform::FocusReason::Other) {
    // Tab came in from the toolbar: the first region, or the last going back.
    RegionFocus next;
    if (reason == platform::FocusReason::Forward ? next.Next(host_.Card())
                                                 : next.Previous(host_.Card())) {
      FocusRegion(next.Slot(), true);
      return;
    }
  }
  if (focus_.RingVisible())
    host_.RepaintArea(RegionFocus::OutlineOnScreen(host_.Card(), host_.CardRect(), focus_.Slot()));
}

}  // namespace interaction
