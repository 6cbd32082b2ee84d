#pragma once

#include <cstdint>

#include "interaction/CardHost.h"
#include "interaction/FileDropper.h"
#include "interaction/PointerEditor.h"
#include "interaction/RegionFocus.h"
#include "interaction/TextEditor.h"
#include "platform/Events.h"

namespace interaction {

// The user's hands on the card: the pointer, the wheel, the keys that are
// not commands (Tab, arrows, Escape), the keyboard's focus on a region, the
// region's menu and files dropped on the window. Every change to the card
// goes to the host's document; the window's commands (Save, Undo, Delete,
// ...) are not handled here.
class CardGestures {
 public:
  explicit CardGestures(CardHost& host) : host_(host) {}

  void Press(const platform::PointerEvent& event);
  void Move(const platform::PointerEvent& event);
  void Release(const platform::PointerEvent& event);
  void DoubleClick(const platform::PointerEvent& event);
  void Left();
  void Wheel(const platform::WheelEvent& event);
  // True when the key was used.
  bool Key(const platform::KeyEvent& event);
  void ContextMenu(geometry::Point point, bool fromKeyboard);
  void FocusChanged(bool gained, platform::FocusReason reason);
  // Files over the card: the region a drop would fill is outlined and the
  // hint says what a drop would do. True when a drop would copy them.
  bool FilesDragged(const platform::FileDrag& drag);
  void FilesDragLeft();
  void FilesDropped(const platform::FileDrag& drag);
  // The +/- keys zoomed the photo of `slot`: the hint says how far, until
  // the next other input.
  void ZoomedByKey(int32_t slot);

  // Escape, or the window closing: a dragged photo goes back to where the
  // drag began. False when no drag was going on.
  bool CancelDrag() { return texts_.Cancel() || editor_.Cancel(); }
  // Another input came between the notches of a wheel gesture. A key of a
  // burst (an arrow nudge, a zoom key) leaves the history's open step to
  // join: pressing an arrow ten times is one step, as the wheel's notches are.
  void EndWheelGesture(bool keyBurst = false);
  // After every change of the document: a hidden region loses the focus.
  void DocumentChanged();

  // The region the keys and the commands act on: the focused one, else the
  // first empty visible one, else the first visible one; -1 when there is none.
  int32_t KeyboardSlot() const;
  int32_t HitTest(geometry::Point point) const { return editor_.HitTest(point); }
  // A drag is going on: edits from elsewhere would fight it.
  bool Busy() const {
    return editor_.CurrentGesture() != PointerEditor::Gesture::Idle || texts_.Dragging();
  }
  bool HasKeyboard() const { return hasKeyboard_; }
  // The region a drop of the files being dragged would fill; -1 for none.
  int32_t DropSlot() const { return dropSlot_; }
  const RegionFocus& Focus() const { return focus_; }
  const PointerEditor& Editor() const { return editor_; }
  // The text box selected, -1 for none.
  int32_t SelectedText() const { return texts_.Selected(); }
  void SelectText(int32_t index) { texts_.Select(index); }
  const TextEditor& Texts() const { return texts_; }

 private:
  bool KeyOtherThanNudge(const platform::KeyEvent& event);
  void FocusRegion(int32_t slot, bool ring);
  void SetDropSlot(int32_t slot);
  // Says how far slot `slot` is zoomed; `after`: what the hint is about
  // once the zooming ends.
  void HintZoom(int32_t slot, const HintSubject& after);

  CardHost& host_;
  PointerEditor editor_{host_};
  TextEditor texts_{host_};
  FileDropper dropper_{host_};
  RegionFocus focus_;
  bool hasKeyboard_ = false;
  int32_t wheelSlot_ = -1;  // the slot of the wheel gesture going on
  int32_t dropSlot_ = -1;
  bool zoomHinted_ = false;  // the hint tells the zoom
  HintSubject afterZoom_;
};

}  // namespace interaction
