#pragma once

#include <map>
#include <mutex>
#include <thread>

#include "app/MessageLoop.h"

namespace app {

// Process-wide state of the window framework: which message loop runs on
// which thread, so a window finds its loop when it is created and destroyed.
class CAppModule {
 public:
  void Init();
  void Term();

  // For the calling thread.
  bool AddMessageLoop(CMessageLoop* loop);
  bool RemoveMessageLoop();
  CMessageLoop* GetMessageLoop() const;

 private:
  mutable std::mutex lock_;
  std::map<std::thread::id, CMessageLoop*> loops_;
};

CAppModule& AppModule();

}  // namespace app
