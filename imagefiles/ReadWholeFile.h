#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/raster/ImageStatus.h"

namespace imagefiles {

// Reads the whole file at `path` (UTF-8) into `bytes`, sized from the file's
// length. Other programs may keep reading and writing the file. Fails, with
// `bytes` unspecified, as NotAFile for anything but a regular file and as
// Unreadable otherwise: with the errno of the call that failed, EFBIG for a
// file of 4 GiB or more (sizes are 32-bit downstream), 0 for a file that
// got shorter while it was read.
engine::ImageStatus ReadWholeFile(const std::string& path, std::vector<uint8_t>* bytes);

}  // namespace imagefiles
