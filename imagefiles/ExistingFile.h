#pragma once

#include <string>

namespace imagefiles {

// True when `path` (UTF-8) names a regular file that a save would replace;
// a FIFO or a device is written into instead, and a missing name replaces
// nothing.
bool IsExistingRegularFile(const std::string& path);

// True when `path` names a regular file of no bytes: what a message about a
// file that failed to load says first.
bool IsEmptyRegularFile(const std::string& path);

}  // namespace imagefiles
