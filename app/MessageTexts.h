#pragma once

#include <string>

#include "engine/raster/ImageStatus.h"
#include "imagefiles/LayoutFile.h"

namespace app {

// What went wrong with a file, for a message: a first line in plain words
// ("This file is not a Tessary layout."), then the file's name and the
// technical reason. `empty`: the file holds no bytes at all.
std::string LayoutProblemMessage(const std::string& path, imagefiles::LayoutStatus status,
                                 const engine::ImageStatus& read, bool empty);
std::string PhotoProblemMessage(const std::string& path, const engine::ImageStatus& status,
                                bool empty);

}  // namespace app
