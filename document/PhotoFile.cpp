#include "document/PhotoFile.h"

#include <cerrno>
#include <limits>
#include <new>
#include <utility>
#include <vector>

namespace document {

engine::ImageStatus ReadPhotoFile(const std::string& path, const engine::ImageReader& reader,
                                  engine::Raster* photo, PhotoSource* source) {
  using engine::ImageFailure;
  using engine::ImageStatus;
  ImageStatus result;
  engine::Raster decoded;
  engine::FileStamp stamp;
  try {
    std::vector<uint8_t> bytes;
    result = reader.ReadFile(path, &bytes, &stamp);
    if (result && bytes.size() > std::numeric_limits<uint32_t>::max())
      result = ImageStatus::Unreadable(EFBIG);
    if (result) result = reader.DecodePhoto(bytes.data(), uint32_t(bytes.size()), &decoded);
  } catch (const std::bad_alloc&) {
    // A file too big for memory is a photo that did not load.
    result = ImageStatus::Failed(ImageFailure::OutOfMemory);
  }
  if (result && (decoded.Empty() || decoded.format != engine::PixelFormat::Rgb24))
    result = ImageStatus::Failed(ImageFailure::Damaged);
  if (!result) return result;
  *photo = std::move(decoded);
  *source = PhotoSource{path, stamp.size, stamp.modifiedNs, {}};
  return result;
}

}  // namespace document
