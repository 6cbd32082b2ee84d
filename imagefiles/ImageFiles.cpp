#include "imagefiles/ImageFiles.h"

#include "imagefiles/DecodeImage.h"
#include "imagefiles/ReadPictureFile.h"

namespace imagefiles {

engine::ImageStatus ImageFiles::ReadFile(const std::string& path, std::vector<uint8_t>* bytes,
                                         engine::FileStamp* stamp) const {
  // Photos and layout files alike: looked at before they are read, and
  // read no further than what they declare.
  return ReadPictureFile(path, bytes, stamp);
}

bool ImageFiles::Decode(const uint8_t* data, uint32_t size, bool withAlpha,
                        engine::Raster* out) const {
  return DecodeImage(data, size, withAlpha, out);
}

engine::ImageStatus ImageFiles::DecodePhoto(const uint8_t* data, uint32_t size,
                                            engine::Raster* out) const {
  return DecodeImage(data, size, DecodeMode::Photo, out);
}

engine::ImageStatus ImageFiles::DecodePhotoWatched(const uint8_t* data, uint32_t size,
                                                   engine::Raster* out,
                                                   engine::DecodeControl* control) const {
  return DecodeImage(data, size, DecodeMode::Photo, out, control);
}

engine::ImageStatus ImageFiles::DecodePhotoPreview(const uint8_t* data, uint32_t size,
                                                   uint32_t longSide, engine::Raster* out) const {
  return imagefiles::DecodePhotoPreview(data, size, longSide, out);
}

}  // namespace imagefiles
