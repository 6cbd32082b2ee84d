#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/raster/ImageReader.h"
#include "platform/Platform.h"

namespace app {

struct StartupPlacement {
  platform::Rect rect;  // the window rectangle to create, screen coordinates
  platform::ShowState show = platform::ShowState::Normal;
};

// Room for a built-in card at natural size beside the toolbar column and
// above the hint line, plus the frame; on a screen too small for that the
// window is clipped to it and shown maximised.
StartupPlacement ComputeStartupPlacement(int32_t dpi, const platform::FrameMetrics& frame,
                                         platform::Size screen, platform::ShowState show);

// The program: makes the main window, runs until it closes and returns the
// exit code (1 when the window cannot be made).
// `files`: photos and layout files to open, as given on the command line.
int TessaryMain(platform::Platform& platform, const std::vector<std::string>& files = {});
int TessaryMain(platform::Platform& platform, const engine::ImageReader& reader,
                const std::vector<std::string>& files = {});

}  // namespace app
