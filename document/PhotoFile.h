#pragma once

#include <string>

#include "document/PhotoSource.h"
#include "engine/raster/ImageReader.h"
#include "engine/raster/Raster.h"

namespace document {

// Reads the file at `path` and decodes it as a photo (upright, transparency
// over white, Rgb24). On success `*photo` holds it and `*source` says where
// it came from; on failure both are left as they were and the status says
// why.
engine::ImageStatus ReadPhotoFile(const std::string& path, const engine::ImageReader& reader,
                                  engine::Raster* photo, PhotoSource* source);

}  // namespace document
