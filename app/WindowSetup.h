#pragma once

#include <vector>

#include "engine/raster/ImageReader.h"
#include "platform/Window.h"

namespace app {

// Moves a new window to the middle of its monitor's work area, keeping it
// inside it; a window with no monitor stays where it is.
void CentreOnWorkArea(platform::Window& window);

// The window icon in every size the program has.
std::vector<platform::IconImage> WindowIcons(const engine::ImageReader& reader);

// The toolbar's buttons and the window's shortcut keys, from the command table.
std::vector<platform::ToolbarButton> ToolbarButtons(const engine::ImageReader& reader);
std::vector<platform::Shortcut> WindowShortcuts();

}  // namespace app
