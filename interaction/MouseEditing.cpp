// Editing the card with the left button: clicks open photos, drags pan them.
// Placeholders: the cursor is left to the system and clicks do nothing yet.
#include "app/TessaryWnd.h"

namespace app {

using namespace platform;

LRESULT CTessaryWnd::OnSetCursor(uint32_t, WPARAM, LPARAM, bool& bHandled) {
  bHandled = false;
  return 0;
}

LRESULT CTessaryWnd::OnMouseMove(uint32_t, WPARAM, LPARAM, bool&) { return 0; }

LRESULT CTessaryWnd::OnLButtonUp(uint32_t, WPARAM, LPARAM, bool&) { return 0; }

LRESULT CTessaryWnd::OnLButtonDown(uint32_t, WPARAM, LPARAM, bool&) { return 0; }

LRESULT CTessaryWnd::OnLButtonDblClk(uint32_t, WPARAM, LPARAM, bool&) { return 0; }

void CTessaryWnd::ChoosePhotoForSlot(int32_t) {}

}  // namespace app
