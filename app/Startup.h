#pragma once

#include <cstdint>

#include "engine/ImageReader.h"
#include "platform/Platform.h"

namespace app {

struct StartupPlacement {
  platform::Rect rect;  // the window rectangle to create, screen coordinates
  int showCommand = platform::SW_SHOWDEFAULT;
};

// Room for a built-in card at natural size beside the toolbar column and
// above the hint line, plus the frame; on a screen too small for that the
// window is clipped to it and shown maximised.
StartupPlacement ComputeStartupPlacement(int32_t dpi, int32_t frameX, int32_t frameY,
                                         int32_t captionHeight, int32_t screenW,
                                         int32_t screenH, int showCommand);

// The program: sets up the process, runs the main window until it closes and
// returns the exit code (1 when the window cannot be made).
int TessaryMain(platform::Platform& platform);
int TessaryMain(platform::Platform& platform, const engine::ImageReader& reader);

}  // namespace app
