#include "app/Startup.h"

#include <algorithm>
#include <memory>

#include "app/Metrics.h"
#include "app/MainWindow.h"
#include "engine/raster/PhotoBufferPool.h"
#include "imagefiles/ImageFiles.h"

namespace app {

using namespace platform;

StartupPlacement ComputeStartupPlacement(int32_t dpi, const FrameMetrics& frame, Size screen,
                                         ShowState show) {
  int32_t w = kBuiltInCardWidth + ToolbarWidthFor(dpi) + ToolbarGapFor(dpi) + 2 * frame.frameX;
  int32_t h = kBuiltInCardHeight + HintHeightFor(dpi) + frame.captionHeight + 2 * frame.frameY;
  if (w > screen.width - 20 || h > screen.height - 20) {
    show = ShowState::Maximized;
    w = std::min(w, screen.width - 20);
    h = std::min(h, screen.height - 20);
  }
  StartupPlacement placement;
  placement.rect.left = (screen.width - w) >> 1;
  placement.rect.top = (screen.height - h) >> 1;
  placement.rect.right = placement.rect.left + w;
  placement.rect.bottom = placement.rect.top + h;
  placement.show = show;
  return placement;
}

int TessaryMain(Platform& platform, const std::vector<std::string>& files) {
  const imagefiles::ImageFiles reader;
  return TessaryMain(platform, reader, files);
}

int TessaryMain(Platform& platform, const engine::ImageReader& reader,
                const std::vector<std::string>& files) {
  // Photos replaced in the window reuse the memory of the ones they replace.
  engine::PhotoBufferPool::Enable();
  const int32_t dpi = platform.ScreenDpi();
  const StartupPlacement placement = ComputeStartupPlacement(
      dpi, platform.Frame(), platform.MaximisedClientSize(), platform.StartupShowState());
  auto window = std::make_unique<MainWindow>(platform, dpi, reader);
  // The title names the card's design once it has one.
  if (!window->Create(placement.rect, "Tessary")) return 1;
  window->Show(placement.show);
  // Work a crash cut short comes first; a project named on the command line
  // then asks before it takes the card's place.
  window->Autosave().OfferRestore();
  window->HoldLoadsUntilPainted();
  window->OpenFiles(files);
  return platform.Run();
}

}  // namespace app
