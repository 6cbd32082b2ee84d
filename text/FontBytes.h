#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace text {

using Bytes = std::vector<uint8_t>;

// The whole of a font file, read once and shared while it is in use (a few
// files are kept for the next drawing); null when it cannot be read. Safe
// from any thread.
std::shared_ptr<const Bytes> ReadFontBytes(const std::string& path);

}  // namespace text
