#pragma once

#include <memory>

#include "app/TessaryWnd.h"
#include "imagefiles/ImageFiles.h"
#include "platform/scripted/ScriptedPlatform.h"

namespace apptest {

using namespace platform;
using namespace platform::scripted;

inline ScriptedConfig Config(int32_t dpi = 96, bool composition = false) {
  ScriptedConfig c;
  c.dpi = dpi;
  c.composition = composition;
  return c;
}

// A main window on the scripted desktop with the real decoders, made with a
// client area of the given size.
struct AppHarness {
  explicit AppHarness(ScriptedConfig config = Config(), int32_t clientW = 968,
                      int32_t clientH = 620)
      : platform(config),
        wnd(std::make_unique<app::CTessaryWnd>(platform, config.dpi, reader)) {
    const Rect rect{0, 0, clientW + 2 * config.frameX,
                    clientH + config.captionHeight + 2 * config.frameY};
    window = static_cast<ScriptedWindow*>(platform.CreateWindowEx(
        wnd.get(), rect, "Tessary 1.0", WS_OVERLAPPEDWINDOW | WS_VISIBLE));
  }
  ~AppHarness() {
    if (window && window->IsWindow()) window->DestroyWindow();
  }

  ScriptedToolbar* Toolbar() { return window->GetToolbar(); }
  Rect CardRect() const { return wnd->GetCardRect(); }

  ScriptedPlatform platform;  // outlives the window object
  imagefiles::ImageFiles reader;
  std::unique_ptr<app::CTessaryWnd> wnd;
  ScriptedWindow* window = nullptr;
};

}  // namespace apptest
