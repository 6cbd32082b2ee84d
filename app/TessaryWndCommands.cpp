// The toolbar and its commands.
#include <algorithm>

#include "app/Icons.h"
#include "app/Metrics.h"
#include "app/TessaryWnd.h"
#include "app/WebAddresses.h"
#include "interaction/Hints.h"

namespace app {

using namespace platform;

namespace {

constexpr int32_t kToolbarIconSize = 48;

IconImage ToolbarIcon(const engine::ImageReader& reader, int id) {
  IconImage icon{kToolbarIconSize, kToolbarIconSize, {}};
  const engine::Raster image = LoadIconImage(reader, id, kToolbarIconSize);
  if (!image.Empty() && image.width == uint32_t(kToolbarIconSize) &&
      image.height == uint32_t(kToolbarIconSize)) {
    icon.rgba.assign(image.pixels.get(), image.pixels.get() + image.ByteSize());
  } else {
    // A blank keeps the button's shape when an icon does not decode.
    icon.rgba.assign(size_t(kToolbarIconSize) * kToolbarIconSize * 4, 0);
  }
  return icon;
}

}  // namespace

void CTessaryWnd::CreateToolbar() {
  std::vector<ToolbarButton> buttons(4);
  buttons[0] = ToolbarButton{IdSave, "Save", ToolbarIcon(reader_, 203), false,
                             KeyEvent{Letter('S'), kControl}};
  buttons[1] = ToolbarButton{IdTemplate, "Template", ToolbarIcon(reader_, 206), false,
                             KeyEvent{Letter('T'), kControl}};
  buttons[2] = ToolbarButton{IdDonate, "Donate", ToolbarIcon(reader_, 204), true, {}};
  buttons[3] = ToolbarButton{IdHelp, "Help", ToolbarIcon(reader_, 205), false, KeyEvent{Key::F1, 0}};
  const Size toolbar = window->SetToolbar(buttons, toolbarWidth);
  // Never so small that the toolbar is cut off; a card of some size stays
  // beside it.
  window->SetMinimumClientSize(Size{toolbarWidth + toolbarGap + MinimumCardSideFor(dpi),
                                    std::max(toolbar.height, MinimumCardSideFor(dpi)) +
                                        HintHeightFor(dpi)});
}

void CTessaryWnd::OnCommand(int command) {
  wheelSlot = -1;
  history.CloseGesture();
  switch (command) {
    case IdSave:
      SaveCard();
      break;
    case IdTemplate:
      NextBuiltInTemplate();
      break;
    case IdDonate:
      OnDonate();
      break;
    case IdHelp:
      OnHelp();
      break;
    default:
      break;
  }
}

void CTessaryWnd::OnCommandHovered(int command) { OnToolbarHotItemChange(command); }

void CTessaryWnd::OnToolbarHotItemChange(int command) {
  ShowHint(interaction::CommandHint(card, command, hintText));
}

void CTessaryWnd::NextBuiltInTemplate() {
  BusyCursor busy(*window);
  engine::NextBuiltInTemplate(card, reader_);
  history.Commit(card);
  focus.Validate(card);
}

void CTessaryWnd::OnDonate() { platform_.OpenAddress(DonateAddress()); }

void CTessaryWnd::OnHelp() { platform_.OpenAddress(HelpAddress()); }

}  // namespace app
