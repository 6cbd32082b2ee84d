#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace imagefiles {

// Reads the whole file at `path` (UTF-8) into `bytes`, sized from the file's
// length. False when it cannot be opened, is not a regular file, is larger
// than 4 GiB - 1 (sizes are 32-bit downstream) or reads short; `bytes` is
// then unspecified. Other programs may keep reading and writing the file.
bool ReadWholeFile(const std::string& path, std::vector<uint8_t>* bytes);

}  // namespace imagefiles
