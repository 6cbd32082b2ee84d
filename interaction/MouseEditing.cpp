// Editing the card with the left button: a click on an empty region opens a
// photo, a double-click replaces one, dragging a photo pans it.
#include <string>

#include "app/HintTexts.h"
#include "app/TessaryWnd.h"
#include "platform/WaitCursor.h"

namespace app {

using namespace platform;

namespace {

bool SlotHasPhoto(const engine::SlotList& slots, int32_t slot) {
  return slot >= 0 && size_t(slot) < slots.size() && slots[size_t(slot)].HasPhoto();
}

}  // namespace

LRESULT CTessaryWnd::OnSetCursor(uint32_t, WPARAM wParam, LPARAM lParam, bool& bHandled) {
  if (!window || reinterpret_cast<HWND>(wParam) != window->Handle() ||
      LOWORD(uintptr_t(lParam)) != HTCLIENT) {
    bHandled = false;
    return 0;
  }
  const Point point = window->ScreenToClient(platform_.GetCursorPos());
  const int32_t slot = HitTestSlot(point.x, point.y);
  Cursor cursor = arrowCursor;
  if (slot != -1) cursor = SlotHasPhoto(card.slots, slot) ? moveCursor : handCursor;
  platform_.SetCursor(cursor);
  return 0;
}

LRESULT CTessaryWnd::OnMouseMove(uint32_t, WPARAM, LPARAM lParam, bool&) {
  const int32_t x = GET_X_LPARAM(lParam);
  const int32_t y = GET_Y_LPARAM(lParam);
  if (drag.dragSlot == -1) {
    const int32_t slot = HitTestSlot(x, y);
    if (slot == -1) {
      ShowHint(GeneralHint());
    } else {
      ShowHint(SlotHasPhoto(card.slots, slot) ? kHintDragPicture : kHintClickToAdd);
    }
    return 0;
  }
  // A press on an empty slot takes no capture, and a capture the system took
  // away ends the drag's effect until the button comes up.
  if (!window || !window->HasCapture()) return 0;
  engine::DragPan(card.slots, drag, ShownCard(), card.cardTemplate.width, card.cardTemplate.height,
                  x, y);
  window->InvalidateRect(&cardRect, true);
  return 0;
}

LRESULT CTessaryWnd::OnLButtonDown(uint32_t, WPARAM, LPARAM lParam, bool&) {
  drag.dragStartX = GET_X_LPARAM(lParam);
  drag.dragStartY = GET_Y_LPARAM(lParam);
  drag.dragSlot = HitTestSlot(drag.dragStartX, drag.dragStartY);
  if (SlotHasPhoto(card.slots, drag.dragSlot)) {
    window->SetCapture();
    const engine::PhotoSlot& slot = card.slots[size_t(drag.dragSlot)];
    drag.dragStartPanX = slot.panX;
    drag.dragStartPanY = slot.panY;
  }
  return 0;
}

LRESULT CTessaryWnd::OnLButtonUp(uint32_t, WPARAM, LPARAM lParam, bool&) {
  const int32_t pressed = drag.dragSlot;
  // The press ends before any dialog opens, so nothing the dialog's own
  // event handling delivers can be taken for a drag.
  drag.dragSlot = -1;
  if (window && window->HasCapture()) window->ReleaseCapture();
  if (pressed >= 0 && size_t(pressed) < card.slots.size() &&
      HitTestSlot(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)) == pressed &&
      !card.slots[size_t(pressed)].HasPhoto()) {
    ChoosePhotoForSlot(pressed);
  }
  return 0;
}

LRESULT CTessaryWnd::OnLButtonDblClk(uint32_t, WPARAM, LPARAM lParam, bool&) {
  const int32_t slot = HitTestSlot(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
  if (slot != -1) ChoosePhotoForSlot(slot);
  return 0;
}

void CTessaryWnd::ChoosePhotoForSlot(int32_t slot) {
  OPENFILENAME ofn;
  ofn.owner = window;
  ofn.filters = {{"Supported picture files", "*.jpg;*.png"},
                 {"JPEG picture files", "*.jpg"},
                 {"PNG picture files", "*.png"}};
  ofn.filterIndex = 0;
  ofn.file.clear();
  ofn.maxFile = 260;
  ofn.title = "Open picture";
  ofn.flags = OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_EXPLORER | OFN_ENABLESIZING;
  if (!platform_.GetOpenFileName(ofn)) return;

  WaitCursor wait(platform_);
  if (slot >= 0 && engine::LoadPhotoIntoSlot(card.slots, size_t(slot), ofn.file, reader_)) {
    window->InvalidateRect(nullptr, false);
  }
}

}  // namespace app
