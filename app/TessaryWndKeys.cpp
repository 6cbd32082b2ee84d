// The keyboard, the wheel, the region's menu and undo: the editing that is
// not a plain click or drag.
#include "app/TessaryWnd.h"
#include "engine/card/SlotEditing.h"
#include "interaction/HintTexts.h"
#include "interaction/Hints.h"

namespace app {

using namespace platform;
using namespace interaction;

namespace {

constexpr uint32_t kModifiers = kShift | kControl | kAlt;

bool Is(const KeyEvent& e, Key key, uint32_t modifiers = 0) {
  return e.key == key && (e.modifiers & kModifiers) == modifiers;
}

}  // namespace

int32_t CTessaryWnd::KeyboardSlot() const {
  if (focus.Slot() != -1) return focus.Slot();
  int32_t firstVisible = -1;
  for (size_t i = 0; i < card.slots.size(); ++i) {
    if (card.slots[i].Hidden()) continue;
    if (!card.slots[i].HasPhoto()) return int32_t(i);
    if (firstVisible == -1) firstVisible = int32_t(i);
  }
  return firstVisible;
}

void CTessaryWnd::FocusRegion(int32_t slot, bool ring) {
  // Only a ring that shows needs repainting, where it was and where it goes.
  if (focus.RingVisible())
    window->Invalidate(RegionFocus::BoxOnScreen(card, cardRect, focus.Slot()));
  focus.Set(slot, ring);
  if (focus.RingVisible()) window->Invalidate(RegionFocus::BoxOnScreen(card, cardRect, slot));
  if (ring && slot != -1) ShowFocusHint();
}

void CTessaryWnd::ShowFocusHint() {
  if (!focus.RingVisible()) return;
  ShowHint(card.slots[size_t(focus.Slot())].HasPhoto() ? kHintKeysMovePicture
                                                       : kHintPressEnterToAdd);
}

void CTessaryWnd::OnFocusChanged(bool gained, FocusReason reason) {
  hasFocus = gained;
  if (gained && reason != FocusReason::Other) {
    // Tab came in from the toolbar: the first region, or the last going back.
    RegionFocus next;
    if (reason == FocusReason::Forward ? next.Next(card) : next.Previous(card)) {
      FocusRegion(next.Slot(), true);
      return;
    }
  }
  if (focus.RingVisible())
    window->Invalidate(RegionFocus::BoxOnScreen(card, cardRect, focus.Slot()));
}

bool CTessaryWnd::OnKey(const KeyEvent& e) {
  wheelSlot = -1;
  history.CloseGesture();
  if (Is(e, Key::Escape)) return editor.Cancel();
  if (Is(e, Letter('Z'), kControl)) {
    Undo();
    return true;
  }
  if (Is(e, Letter('Z'), kControl | kShift) || Is(e, Letter('Y'), kControl)) {
    Redo();
    return true;
  }
  if (Is(e, Letter('O'), kControl)) {
    if (KeyboardSlot() != -1) ChoosePhotoForSlot(KeyboardSlot());
    return true;
  }
  if (Is(e, Letter('L'), kControl)) {
    OpenLayout();
    return true;
  }
  if (e.key == Key::Tab || e.key == Key::Backtab) {
    RegionFocus next = focus;
    const bool forward = e.key == Key::Tab && !(e.modifiers & kShift);
    if (forward ? next.Next(card) : next.Previous(card)) {
      FocusRegion(next.Slot(), true);
      return true;
    }
    FocusRegion(-1, false);
    return false;  // on to the toolbar
  }
  if (editor.CurrentGesture() != PointerEditor::Gesture::Idle) return false;

  const int32_t slot = focus.Slot();
  if (slot == -1 || size_t(slot) >= card.slots.size()) return false;
  const size_t index = size_t(slot);
  const uint32_t tw = card.cardTemplate.width, th = card.cardTemplate.height;
  const int32_t step = (e.modifiers & kShift) ? 10 : 1;
  switch (e.key) {
    case Key::Enter:
    case Key::Space:
      ChoosePhotoForSlot(slot);
      return true;
    case Key::Left:
    case Key::Right:
    case Key::Up:
    case Key::Down: {
      const int32_t dx = e.key == Key::Left ? -step : e.key == Key::Right ? step : 0;
      const int32_t dy = e.key == Key::Up ? -step : e.key == Key::Down ? step : 0;
      if (engine::NudgePan(card.slots, index, cardRect, tw, th, dx, dy)) {
        history.CommitGesture(card, engine::Gesture::KeyPan, index);
        RepaintCard();
      }
      return true;
    }
    case Key::Plus:
    case Key::Minus:
      if (engine::StepZoomSlot(card.slots, index, e.key == Key::Plus ? 1 : -1)) {
        history.CommitGesture(card, engine::Gesture::KeyZoom, index);
        RepaintCard();
      }
      return true;
    case Key::Digit0:
      RunSlotCommand(kCommandResetPhoto, slot);
      return true;
    case Key::Delete:
    case Key::Backspace:
      RunSlotCommand(kCommandRemovePhoto, slot);
      return true;
    default:
      return false;
  }
}

void CTessaryWnd::OnWheel(const WheelEvent& e) {
  if (editor.CurrentGesture() != PointerEditor::Gesture::Idle) return;
  const int32_t slot = HitTestSlot(e.point);
  // The notches of one turn over one photo are one step of the history.
  if (slot != wheelSlot) history.CloseGesture();
  wheelSlot = slot;
  if (slot == -1 || !card.slots[size_t(slot)].HasPhoto()) return;
  if (engine::WheelZoomSlot(card.slots, size_t(slot), e.angleDelta, cardRect,
                            card.cardTemplate.width, card.cardTemplate.height, e.point.x,
                            e.point.y)) {
    history.CommitGesture(card, engine::Gesture::WheelZoom, size_t(slot));
    RepaintCard();
  }
}

void CTessaryWnd::OnContextMenu(Point point, bool fromKeyboard) {
  if (editor.CurrentGesture() != PointerEditor::Gesture::Idle) return;
  wheelSlot = -1;
  history.CloseGesture();
  int32_t slot = fromKeyboard ? KeyboardSlot() : HitTestSlot(point);
  if (fromKeyboard && slot != -1) {
    const Rect box = RegionFocus::BoxOnScreen(card, cardRect, slot);
    point = Point{(box.left + box.right) / 2, (box.top + box.bottom) / 2};
  }
  if (slot != -1) FocusRegion(slot, fromKeyboard);
  const engine::PhotoSlot* s = slot == -1 ? nullptr : &card.slots[size_t(slot)];
  const std::vector<MenuItem> items = {
      {kCommandChoosePhoto, "Choose photo...", s != nullptr},
      {kCommandRemovePhoto, "Remove photo", s && s->HasPhoto()},
      {kCommandResetPhoto, "Reset position and zoom", s && engine::CanResetPanAndZoom(*s)},
      {0, "", true},
      {kCommandOpenLayout, "Open layout...", true},
  };
  const int chosen = window->ShowContextMenu(point, items);
  if (chosen == kCommandOpenLayout) {
    OpenLayout();
  } else if (chosen != 0 && slot != -1) {
    RunSlotCommand(chosen, slot);
  }
}

void CTessaryWnd::RunSlotCommand(int command, int32_t slot) {
  if (slot < 0 || size_t(slot) >= card.slots.size()) return;
  switch (command) {
    case kCommandChoosePhoto:
      ChoosePhotoForSlot(slot);
      break;
    case kCommandRemovePhoto:
      if (engine::RemovePhoto(card.slots, size_t(slot))) CardChanged();
      break;
    case kCommandResetPhoto:
      if (engine::ResetPanAndZoom(card.slots, size_t(slot))) CardChanged();
      break;
    default:
      break;
  }
}

void CTessaryWnd::CardChanged() {
  history.Commit(card);
  RepaintAll();
  ShowFocusHint();  // the focused region may have gained or lost its photo
}

void CTessaryWnd::RepaintAll() {
  const Size client = window->ClientSize();
  window->Invalidate(Rect{0, 0, client.width, client.height});
}

bool CTessaryWnd::Undo() { return StepHistory(&engine::EditHistory::Undo); }

bool CTessaryWnd::Redo() { return StepHistory(&engine::EditHistory::Redo); }

bool CTessaryWnd::StepHistory(bool (engine::EditHistory::*step)(engine::Card&)) {
  // A drag in progress would put its pan back at the next move.
  if (editor.CurrentGesture() != PointerEditor::Gesture::Idle) return false;
  if (!(history.*step)(card)) return false;
  focus.Validate(card);
  RepaintAll();
  ShowFocusHint();
  return true;
}

}  // namespace app
