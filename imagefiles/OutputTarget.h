#pragma once

#include <string>
#include <utility>

namespace imagefiles {

// Where a save goes: a file by its UTF-8 path, or a descriptor the caller
// already has open (standard output for `tessary-render -o -`), which is
// written straight through and left open. Converts from a path, so every
// call that passes a file name reads as before.
struct OutputTarget {
  std::string path;
  int descriptor = -1;
  // A FIFO waits for its reader when opened, as a command-line tool should;
  // a window must not freeze, so it asks for a FIFO without a reader to
  // fail at once instead (SaveError::NoReader).
  bool waitForReader = true;

  OutputTarget(std::string filePath) : path(std::move(filePath)) {}  // NOLINT: a path is a target
  OutputTarget(const char* filePath) : path(filePath) {}             // NOLINT

  // The file at `filePath`, for a window: never waits for a FIFO's reader.
  static OutputTarget WithoutWaiting(std::string filePath) {
    OutputTarget target(std::move(filePath));
    target.waitForReader = false;
    return target;
  }

  static OutputTarget Descriptor(int fd) {
    OutputTarget target("");
    target.descriptor = fd;
    return target;
  }
};

}  // namespace imagefiles
