#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/raster/ImageReader.h"

namespace imagefiles {

// Reads the whole regular file at `path` (UTF-8), a container such as a
// project, when it holds at most `maxBytes`; a larger one is not read at
// all (`bytes` left empty, the status Ok) and `stamp->size` tells the
// caller how large it is. Fails as ReadPictureFile does for what cannot be
// opened or read and for anything but a regular file; a file that got
// shorter while it was read is returned as far as it went.
engine::ImageStatus ReadContainerFile(const std::string& path, uint64_t maxBytes,
                                      std::vector<uint8_t>* bytes, engine::FileStamp* stamp);

}  // namespace imagefiles
