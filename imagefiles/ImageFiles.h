#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/raster/ImageReader.h"

namespace imagefiles {

// The engine's window on real files and the picture decoders.
class ImageFiles : public engine::ImageReader {
 public:
  engine::ImageStatus ReadFile(const std::string& path, std::vector<uint8_t>* bytes,
                               engine::FileStamp* stamp = nullptr) const override;
  bool Decode(const uint8_t* data, uint32_t size, bool withAlpha,
              engine::Raster* out) const override;
  engine::ImageStatus DecodePhoto(const uint8_t* data, uint32_t size,
                                  engine::Raster* out) const override;
  engine::ImageStatus DecodePhotoWatched(const uint8_t* data, uint32_t size, engine::Raster* out,
                                         engine::DecodeControl* control) const override;
  engine::ImageStatus DecodePhotoPreview(const uint8_t* data, uint32_t size, uint32_t longSide,
                                         engine::Raster* out) const override;
};

}  // namespace imagefiles
