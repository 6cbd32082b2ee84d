#pragma once

#include <vector>

#include "platform/Platform.h"

namespace app {

// Sees every queued message before it is dispatched; true eats it.
class CMessageFilter {
 public:
  virtual ~CMessageFilter() = default;
  virtual bool PreTranslateMessage(platform::Window& window, uint32_t message,
                                   platform::WPARAM wParam, platform::LPARAM lParam) = 0;
};

// Runs when the queue has run empty.
class CIdleHandler {
 public:
  virtual ~CIdleHandler() = default;
  virtual bool OnIdle() = 0;
};

// The thread's message loop: the platform pumps, this object holds the
// filters and idle handlers that windows register with it.
class CMessageLoop : public platform::MessageLoopHooks {
 public:
  bool AddMessageFilter(CMessageFilter* filter);
  bool RemoveMessageFilter(CMessageFilter* filter);
  bool AddIdleHandler(CIdleHandler* handler);
  bool RemoveIdleHandler(CIdleHandler* handler);
  size_t FilterCount() const { return filters_.size(); }
  size_t IdleHandlerCount() const { return idleHandlers_.size(); }

  // Until the quit message; its exit code.
  int Run(platform::Platform& platform) { return platform.RunMessageLoop(this); }

  // The most recently registered filter gets the first look.
  bool PreTranslateMessage(platform::Window& window, uint32_t message, platform::WPARAM wParam,
                           platform::LPARAM lParam) override;
  bool OnIdle(int idleCount) override;

 private:
  std::vector<CMessageFilter*> filters_;
  std::vector<CIdleHandler*> idleHandlers_;
};

}  // namespace app
