#pragma once

#include <cstdint>
#include <string>

#include "engine/raster/ImageReader.h"
#include "engine/raster/Raster.h"

namespace document {

// The photo in the file at `path` as a region would get it (upright, Rgb24),
// made small enough to fit `side` x `side` and never larger than it is: a
// preview for the open dialog. An empty raster when the file is no photo
// the program reads.
engine::Raster ReadPhotoPreview(const std::string& path, const engine::ImageReader& reader,
                                uint32_t side);

}  // namespace document
