#include <vector>

#include "app/Icons.h"
#include "app/TessaryWnd.h"
#include "app/WebAddresses.h"
#include "platform/WaitCursor.h"

namespace app {

using namespace platform;

namespace {

TBBUTTON Button(int32_t image, int32_t command, uint8_t state, uint8_t style, const char* label) {
  TBBUTTON b;
  b.iBitmap = image;
  b.idCommand = command;
  b.fsState = state;
  b.fsStyle = style;
  b.iString = label;
  return b;
}

constexpr int32_t kToolbarIconSize = 48;

}  // namespace

void CTessaryWnd::CreateToolbar(const Rect& rect) {
  toolbar = window->CreateToolbar(
      rect, WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | TBSTYLE_TRANSPARENT |
                TBSTYLE_CUSTOMERASE | CCS_VERT | CCS_NODIVIDER | CCS_NOPARENTALIGN |
                CCS_NORESIZE);
  if (!toolbar) return;
  toolbar->SetExtendedStyle(TBSTYLE_EX_MIXEDBUTTONS);
  toolbar->ButtonStructSize(sizeof(TBBUTTON));

  toolbarImages =
      platform_.CreateImageList(kToolbarIconSize, kToolbarIconSize, ILC_COLOR32 | ILC_MASK);
  if (toolbarImages) {
    // A blank stands in for an icon that does not decode, so the image
    // indices of the buttons still point at the right pictures.
    const std::vector<uint8_t> blank(size_t(kToolbarIconSize) * kToolbarIconSize * 4, 0);
    for (int id : {203, 204, 205, 206}) {
      const engine::Raster icon = LoadIconImage(reader_, id, kToolbarIconSize);
      if (!icon.Empty())
        toolbarImages->ReplaceIcon(
            -1, IconImage{int32_t(icon.width), int32_t(icon.height), icon.pixels.get()});
      else
        toolbarImages->ReplaceIcon(-1,
                                   IconImage{kToolbarIconSize, kToolbarIconSize, blank.data()});
    }
  }
  toolbar->SetImageList(toolbarImages.get());

  const uint8_t enabledWrap = TBSTATE_ENABLED | TBSTATE_WRAP;
  const TBBUTTON buttons[] = {
      Button(0, IdSave, enabledWrap, BTNS_BUTTON, "Save"),
      Button(3, IdTemplate, enabledWrap, BTNS_BUTTON, "Template"),
      Button(0, 0, TBSTATE_WRAP, BTNS_SEP, nullptr),
      Button(1, IdDonate, enabledWrap, BTNS_BUTTON, "Donate"),
      Button(2, IdHelp, enabledWrap, BTNS_BUTTON, "Help"),
  };
  toolbar->AddButtons(buttons, int(sizeof(buttons) / sizeof(buttons[0])));

  const Size natural = toolbar->GetButtonSize();
  toolbar->SetButtonSize(Size{toolbarWidth, natural.cy});
  toolbar->MoveWindow(rect, true);
}

LRESULT CTessaryWnd::NextBuiltInTemplate(uint32_t, WPARAM, LPARAM, bool&) {
  WaitCursor wait(platform_);
  engine::NextBuiltInTemplate(card, reader_);
  return 0;
}

LRESULT CTessaryWnd::OnDonate(uint32_t, WPARAM, LPARAM, bool&) {
  platform_.ShellExecute(nullptr, "open", DonateAddress().c_str(), SW_SHOWNORMAL);
  return 0;
}

LRESULT CTessaryWnd::OnHelp(uint32_t, WPARAM, LPARAM, bool&) {
  platform_.ShellExecute(nullptr, "open", HelpAddress().c_str(), SW_SHOWNORMAL);
  return 0;
}

}  // namespace app
