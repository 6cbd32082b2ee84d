#include "app/Startup.h"

#include <algorithm>
#include <memory>

#include "app/AppModule.h"
#include "app/MessageLoop.h"
#include "app/Metrics.h"
#include "app/TessaryWnd.h"
#include "imagefiles/ImageFiles.h"

namespace app {

using namespace platform;

StartupPlacement ComputeStartupPlacement(int32_t dpi, int32_t frameX, int32_t frameY,
                                         int32_t captionHeight, int32_t screenW,
                                         int32_t screenH, int showCommand) {
  int32_t w = kBuiltInCardWidth + ToolbarWidthFor(dpi) + ToolbarGapFor(dpi) + 2 * frameX;
  int32_t h = kBuiltInCardHeight + HintHeightFor(dpi) + captionHeight + 2 * frameY;
  if (w > screenW - 20 || h > screenH - 20) {
    showCommand = SW_SHOWMAXIMIZED;
    w = std::min(w, screenW - 20);
    h = std::min(h, screenH - 20);
  }
  StartupPlacement placement;
  placement.rect.left = (screenW - w) >> 1;
  placement.rect.top = (screenH - h) >> 1;
  placement.rect.right = placement.rect.left + w;
  placement.rect.bottom = placement.rect.top + h;
  placement.showCommand = showCommand;
  return placement;
}

int TessaryMain(Platform& platform) {
  const imagefiles::ImageFiles reader;
  return TessaryMain(platform, reader);
}

int TessaryMain(Platform& platform, const engine::ImageReader& reader) {
  platform.OleInitialize();
  platform.InitCommonControls();
  CAppModule& module = AppModule();
  module.Init();
  auto loop = std::make_unique<CMessageLoop>();
  module.AddMessageLoop(loop.get());

  const int32_t dpi = platform.ScreenDpi();
  const int32_t frameX = platform.GetSystemMetrics(SM_CXFRAME);
  const int32_t frameY = platform.GetSystemMetrics(SM_CYFRAME);
  const int32_t captionHeight = platform.GetSystemMetrics(SM_CYCAPTION);
  const int32_t screenW = platform.GetSystemMetrics(SM_CXFULLSCREEN);
  const int32_t screenH = platform.GetSystemMetrics(SM_CYFULLSCREEN);
  const StartupPlacement placement = ComputeStartupPlacement(
      dpi, frameX, frameY, captionHeight, screenW, screenH, platform.StartupShowCommand());

  auto window = std::make_unique<CTessaryWnd>(platform, dpi, reader);
  Window* created = platform.CreateWindowEx(window.get(), placement.rect, "Tessary 1.0",
                                            WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  if (!created) {
    window.reset();
    // The registry must not keep a loop that no longer exists.
    module.RemoveMessageLoop();
    loop.reset();
    return 1;
  }
  created->ShowWindow(placement.showCommand);

  const int result = loop->Run(platform);

  module.RemoveMessageLoop();
  window.reset();
  loop.reset();
  module.Term();
  platform.OleUninitialize();
  return result;
}

}  // namespace app
