#include "imagefiles/DecodeImage.h"

#include <new>

#include "imagefiles/DecodeJpeg.h"
#include "imagefiles/DecodePng.h"

namespace imagefiles {

namespace {

using engine::ImageDetail;
using engine::ImageFailure;
using engine::ImageStatus;

bool StartsLikePng(const uint8_t* data, uint32_t size) {
  return size >= 4 && data[0] == 0x89 && data[1] == 'P' && data[2] == 'N' && data[3] == 'G';
}

bool StartsLikeJpeg(const uint8_t* data, uint32_t size) {
  return size >= 2 && data[0] == 0xFF && data[1] == 0xD8;
}

ImageStatus Decode(const uint8_t* data, uint32_t size, DecodeMode mode, engine::Raster* out) {
  if (data == nullptr) return ImageStatus::Failed(ImageFailure::NotAPicture);
  const bool png = StartsLikePng(data, size);
  const bool jpeg = StartsLikeJpeg(data, size);
  if (!png && !jpeg) return ImageStatus::Failed(ImageFailure::NotAPicture);
  // No picture fits in fewer bytes; only four are tested here, libpng checks
  // the whole signature itself.
  if (size < 10) return ImageStatus::Failed(ImageFailure::Damaged, ImageDetail::EndsEarly);
  if (jpeg && mode == DecodeMode::Rgba) {
    return ImageStatus::Failed(ImageFailure::Unsupported, ImageDetail::JpegWithAlpha);
  }

  return png ? DecodePng(data, size, mode, out)
             : DecodeJpeg(data, size, mode == DecodeMode::Photo, out);
}

}  // namespace

ImageStatus DecodeImage(const uint8_t* data, uint32_t size, DecodeMode mode, engine::Raster* out) {
  try {
    return Decode(data, size, mode, out);
  } catch (const std::bad_alloc&) {
    // Photos come from the user: running out of memory on one is a failed
    // load, not the end of the program.
    return ImageStatus::Failed(ImageFailure::OutOfMemory);
  }
}

bool DecodeImage(const uint8_t* data, uint32_t size, bool withAlpha, engine::Raster* out) {
  return DecodeImage(data, size, withAlpha ? DecodeMode::Rgba : DecodeMode::Rgb, out).Ok();
}

}  // namespace imagefiles
