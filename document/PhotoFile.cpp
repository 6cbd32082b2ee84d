#include "document/PhotoFile.h"

#include <algorithm>
#include <cerrno>
#include <limits>
#include <new>
#include <utility>
#include <vector>

#include "imagefiles/ContentHash.h"

namespace document {

uint64_t PhotoHeadHash(const uint8_t* bytes, size_t size) {
  return imagefiles::ContentHash(bytes, std::min(size, kPhotoHeadBytes));
}

engine::ImageStatus DecodePhotoBytes(const std::vector<uint8_t>& bytes, const std::string& path,
                                     const engine::FileStamp& stamp,
                                     const engine::ImageReader& reader, engine::Raster* photo,
                                     PhotoSource* source, engine::DecodeControl* control) {
  using engine::ImageFailure;
  using engine::ImageStatus;
  ImageStatus result;
  engine::Raster decoded;
  try {
    if (bytes.size() > std::numeric_limits<uint32_t>::max()) result = ImageStatus::Unreadable(EFBIG);
    if (result)
      result = control ? reader.DecodePhotoWatched(bytes.data(), uint32_t(bytes.size()), &decoded,
                                                   control)
                       : reader.DecodePhoto(bytes.data(), uint32_t(bytes.size()), &decoded);
  } catch (const std::bad_alloc&) {
    // A file too big for memory is a photo that did not load.
    result = ImageStatus::Failed(ImageFailure::OutOfMemory);
  }
  if (result && (decoded.Empty() || decoded.format != engine::PixelFormat::Rgb24))
    result = ImageStatus::Failed(ImageFailure::Damaged);
  if (!result) return result;
  *photo = std::move(decoded);
  *source = PhotoSource{path, stamp.size, stamp.modifiedNs,
                        PhotoHeadHash(bytes.data(), bytes.size()), {}};
  return result;
}

engine::ImageStatus ReadPhotoFile(const std::string& path, const engine::ImageReader& reader,
                                  engine::Raster* photo, PhotoSource* source) {
  engine::ImageStatus result;
  engine::FileStamp stamp;
  std::vector<uint8_t> bytes;
  try {
    result = reader.ReadFile(path, &bytes, &stamp);
  } catch (const std::bad_alloc&) {
    result = engine::ImageStatus::Failed(engine::ImageFailure::OutOfMemory);
  }
  if (!result) return result;
  return DecodePhotoBytes(bytes, path, stamp, reader, photo, source);
}

}  // namespace document
