// Which slot lies under the pointer, and the hint sentence that follows the
// pointer and the toolbar. Placeholders: no slot is ever hit yet.
#include "app/TessaryWnd.h"

namespace app {

using namespace platform;

int32_t CTessaryWnd::HitTestSlot(int32_t, int32_t) const { return -1; }

bool CTessaryWnd::IsOverSlot(Point) const { return false; }

LRESULT CTessaryWnd::OnToolbarHotItemChange(uint32_t, WPARAM, LPARAM, bool&) { return 0; }

}  // namespace app
