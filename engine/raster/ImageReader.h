#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/raster/DecodeControl.h"
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

  // A picture into Rgb24 (withAlpha false), PNG only into Rgba32 (true),
  // pixels exactly as stored: what built-in images and layout layers need.
  // On failure `out` is left as it was.
  virtual bool Decode(const uint8_t* data, uint32_t size, bool withAlpha, Raster* out) const = 0;

  // A photo as people see it: Rgb24, transparent parts over white, turned
  // upright as its camera recorded. On failure says why and leaves `out` as
  // it was.
  virtual ImageStatus DecodePhoto(const uint8_t* data, uint32_t size, Raster* out) const = 0;

  // DecodePhoto reporting to `control` (not null), which can stop it (the
  // status is then Cancelled). For decoding on a worker thread: must be
  // safe to call from several threads at once.
  virtual ImageStatus DecodePhotoWatched(const uint8_t* data, uint32_t size, Raster* out,
                                         DecodeControl* control) const {
    (void)control;
    return DecodePhoto(data, size, out);
  }

  // A quick reduced copy of the photo, upright, whose longer side has at
  // least `longSide` pixels: something to show while the photo decodes.
  // Unsupported when there is no quick way to one.
  virtual ImageStatus DecodePhotoPreview(const uint8_t* data, uint32_t size, uint32_t longSide,
                                         Raster* out) const {
    (void)data, (void)size, (void)longSide, (void)out;
    return ImageStatus::Failed(ImageFailure::Unsupported);
  }
};

}  // namespace engine
