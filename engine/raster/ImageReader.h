#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/raster/ImageStatus.h"
#include "engine/raster/Raster.h"

namespace engine {

// What a file was when it was read: its size, and its last modification in
// nanoseconds since 1970.
struct FileStamp {
  uint64_t size = 0;
  int64_t modifiedNs = 0;
};

// What the engine needs from the outside world to turn files and built-in
// images into rasters. The engine itself does no I/O and calls no codec;
// imagefiles::ImageFiles is the real implementation, tests may fake it.
class ImageReader {
 public:
  virtual ~ImageReader() = default;

  // The whole file in one piece, and what it was when read (`stamp`, when
  // given). On failure says why (Unreadable with the system's errno,
  // NotAFile); `bytes` and `stamp` are then unspecified.
  virtual ImageStatus ReadFile(const std::string& path, std::vector<uint8_t>* bytes,
                               FileStamp* stamp = nullptr) const = 0;

  // PNG or JPEG into Rgb24 (withAlpha false), PNG only into Rgba32 (true),
  // pixels exactly as stored: what built-in images and layout layers need.
  // On failure `out` is left as it was.
  virtual bool Decode(const uint8_t* data, uint32_t size, bool withAlpha, Raster* out) const = 0;

  // A photo as people see it: Rgb24, transparent parts over white, turned
  // upright as its camera recorded. On failure says why and leaves `out` as
  // it was.
  virtual ImageStatus DecodePhoto(const uint8_t* data, uint32_t size, Raster* out) const = 0;
};

}  // namespace engine
