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

  OutputTarget(std::string filePath) : path(std::move(filePath)) {}  // NOLINT: a path is a target
  OutputTarget(const char* filePath) : path(filePath) {}             // NOLINT

  static OutputTarget Descriptor(int fd) {
    OutputTarget target("");
    target.descriptor = fd;
    return target;
  }
};

}  // namespace imagefiles
