#include "platform/scripted/ScriptedPlatform.h"

namespace platform::scripted {

std::unique_ptr<Window> ScriptedPlatform::MakeWindow(WindowHandler& handler, const Rect& frame,
                                                     const std::string& title) {
  windowFrames.push_back(frame);
  if (config.refuseWindows) return nullptr;
  auto made = std::make_unique<ScriptedWindow>(*this, handler, frame, title);
  window = made.get();
  return made;
}

}  // namespace platform::scripted
