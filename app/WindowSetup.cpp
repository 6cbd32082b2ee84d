#include "app/WindowSetup.h"

#include "app/Commands.h"
#include "app/Icons.h"

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

void CentreOnWorkArea(Window& window) {
  const Rect work = window.WorkArea();
  if (work.Empty()) return;  // no monitor to centre on: stay where start-up put it
  const Rect r = window.FrameRect();
  const int32_t w = r.Width(), h = r.Height();
  int32_t x = (work.left + work.right) / 2 - w / 2;
  int32_t y = (work.top + work.bottom) / 2 - h / 2;
  if (x + w > work.right) x = work.right - w;
  if (y + h > work.bottom) y = work.bottom - h;
  if (x < work.left) x = work.left;
  if (y < work.top) y = work.top;
  window.MoveTo(Point{x, y});
}

std::vector<IconImage> WindowIcons(const engine::ImageReader& reader) {
  std::vector<IconImage> icons;
  for (const int size : {16, 24, 32, 48, 256}) {
    engine::Raster image = LoadIconImage(reader, 128, size);
    if (image.Empty() || image.width != uint32_t(size)) continue;
    icons.push_back(
        IconImage{int32_t(image.width), int32_t(image.height),
                  std::vector<uint8_t>(image.pixels.get(), image.pixels.get() + image.ByteSize())});
  }
  return icons;
}

std::vector<ToolbarButton> ToolbarButtons(const engine::ImageReader& reader) {
  std::vector<ToolbarButton> buttons;
  for (const Command& command : AllCommands())
    if (command.icon != 0 && command.label)
      buttons.push_back(ToolbarButton{int(command.id), command.label,
                                      ToolbarIcon(reader, command.icon), command.separatorBefore});
  return buttons;
}

std::vector<Shortcut> WindowShortcuts() {
  std::vector<Shortcut> shortcuts;
  for (const Command& command : AllCommands())
    if (!command.regionKeys)
      for (const KeyEvent& key : command.keys) shortcuts.push_back(Shortcut{key, int(command.id)});
  return shortcuts;
}

}  // namespace app
