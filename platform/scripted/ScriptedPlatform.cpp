#include "platform/scripted/ScriptedPlatform.h"

#include <chrono>
#include <thread>

namespace platform::scripted {

std::unique_ptr<Window> ScriptedPlatform::MakeWindow(WindowHandler& handler, const Rect& frame,
                                                     const std::string& title) {
  windowFrames.push_back(frame);
  if (config.refuseWindows) return nullptr;
  auto made = std::make_unique<ScriptedWindow>(*this, handler, frame, title);
  window = made.get();
  return made;
}

void ScriptedPlatform::PostToMainThread(std::function<void()> task) {
  std::lock_guard<std::mutex> lock(postedMutex_);
  posted_.push_back(std::move(task));
}

size_t ScriptedPlatform::PostedWaiting() {
  std::lock_guard<std::mutex> lock(postedMutex_);
  return posted_.size();
}

size_t ScriptedPlatform::RunPosted() {
  size_t ran = 0;
  for (;;) {
    std::function<void()> task;
    {
      std::lock_guard<std::mutex> lock(postedMutex_);
      if (posted_.empty()) return ran;
      task = std::move(posted_.front());
      posted_.pop_front();
    }
    task();
    ++ran;
  }
}

bool ScriptedPlatform::WaitUntil(const std::function<bool()>& done, int32_t timeoutMs) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    RunPosted();
    if (done()) return true;
    if (std::chrono::steady_clock::now() >= end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

}  // namespace platform::scripted
