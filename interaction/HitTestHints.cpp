// Which slot lies under the pointer, and the hint sentence that follows the
// pointer and the toolbar.
#include "app/HintTexts.h"
#include "app/TessaryWnd.h"
#include "interaction/HitTestSlot.h"

namespace app {

using namespace platform;

int32_t CTessaryWnd::HitTestSlot(int32_t x, int32_t y) const {
  if (!window) return -1;
  return interaction::HitTestSlot(card, ShownCard(), x, y);
}

bool CTessaryWnd::IsOverSlot(Point screen) const {
  if (!window) return false;
  const Point client = window->ScreenToClient(screen);
  return HitTestSlot(client.x, client.y) != -1;
}

const char* CTessaryWnd::GeneralHint() const {
  return engine::AllSlotsFilled(card.slots) ? kHintCardComplete : kHintAddMorePhotos;
}

void CTessaryWnd::ShowHint(const char* sentence) {
  if (sentence == hintText) return;
  hintText = sentence;
  if (window) window->InvalidateRect(&hintRect, true);
}

LRESULT CTessaryWnd::OnToolbarHotItemChange(uint32_t, WPARAM, LPARAM lParam, bool&) {
  const auto* hot = reinterpret_cast<const NMTBHOTITEM*>(lParam);
  if (!hot) return 0;
  if (hot->dwFlags & HICF_LEAVING) {
    ShowHint(GeneralHint());
    return 0;
  }
  switch (hot->idNew) {
    case IdSave:
      ShowHint(engine::AllSlotsFilled(card.slots) ? kHintSaveReady : kHintSaveIncomplete);
      break;
    case IdTemplate:
      ShowHint(kHintTemplate);
      break;
    case IdDonate:
      ShowHint(kHintDonate);
      break;
    case IdHelp:
      ShowHint(kHintHelp);
      break;
    default:
      break;  // the separator or nothing: the sentence stays
  }
  return 0;
}

}  // namespace app
