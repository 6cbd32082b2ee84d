#pragma once

#include "platform/Platform.h"

namespace platform {

// Shows the system wait cursor for the life of the scope, then puts back
// whatever cursor it replaced.
class WaitCursor {
 public:
  explicit WaitCursor(Platform& platform)
      : platform_(platform), previous_(platform.SetCursor(platform.LoadCursor(CursorId::Wait))) {}
  ~WaitCursor() { platform_.SetCursor(previous_); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;

 private:
  Platform& platform_;
  Cursor previous_;
};

}  // namespace platform
