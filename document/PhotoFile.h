#pragma once

#include <cstdint>
#include <string>
#include <vector>

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

// The same for a file's bytes already read: `stamp` is what the file was
// when they were read, `path` where they came from. With a `control`, the
// decode reports to it and stops when it is cancelled (for a worker thread).
engine::ImageStatus DecodePhotoBytes(const std::vector<uint8_t>& bytes, const std::string& path,
                                     const engine::FileStamp& stamp,
                                     const engine::ImageReader& reader, engine::Raster* photo,
                                     PhotoSource* source,
                                     engine::DecodeControl* control = nullptr);

// The hash of a photo file's first kPhotoHeadBytes bytes (all of a shorter one).
uint64_t PhotoHeadHash(const uint8_t* bytes, size_t size);

}  // namespace document
