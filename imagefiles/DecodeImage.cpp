#include "imagefiles/DecodeImage.h"

#include <new>

#include "imagefiles/DecodeHeif.h"
#include "imagefiles/DecodeJpeg.h"
#include "imagefiles/DecodePng.h"
#include "imagefiles/DecodeTiff.h"
#include "imagefiles/DecodeWebp.h"
#include "imagefiles/PictureKind.h"

namespace imagefiles {

namespace {

using engine::ImageDetail;
using engine::ImageFailure;
using engine::ImageStatus;

ImageStatus Decode(const uint8_t* data, uint32_t size, DecodeMode mode, engine::Raster* out,
                   engine::DecodeControl* control) {
  if (data == nullptr) return ImageStatus::Failed(ImageFailure::NotAPicture);
  const PictureKind kind = SniffPicture(data, size);
  if (kind == PictureKind::Unknown) return ImageStatus::Failed(ImageFailure::NotAPicture);
  // No picture fits in fewer bytes; only four are tested here, libpng checks
  // the whole signature itself.
  if (size < 10) return ImageStatus::Failed(ImageFailure::Damaged, ImageDetail::EndsEarly);
  switch (kind) {
    case PictureKind::Png:
      return DecodePng(data, size, mode, out, control);
    case PictureKind::Jpeg:
      if (mode == DecodeMode::Rgba) {
        return ImageStatus::Failed(ImageFailure::Unsupported, ImageDetail::JpegWithAlpha);
      }
      return DecodeJpeg(data, size, mode == DecodeMode::Photo, out, control);
    case PictureKind::Heif:
      return DecodeHeif(data, size, mode, out, control);
    case PictureKind::Webp:
      return DecodeWebp(data, size, mode, out, control);
    case PictureKind::Tiff:
      return DecodeTiff(data, size, mode, out, control);
    case PictureKind::Unknown:
      break;
  }
  return ImageStatus::Failed(ImageFailure::NotAPicture);
}

// The largest reduction that keeps the longer side at `longSide` or more.
int JpegScale(const uint8_t* data, uint32_t size, uint32_t longSide) {
  uint32_t width = 0, height = 0;
  // The frame header of the first start-of-frame marker.
  for (uint64_t at = 2; at + 9 < size;) {
    if (data[at] != 0xFF) return 1;
    const uint8_t marker = data[at + 1];
    if (marker == 0xFF) {
      ++at;
      continue;
    }
    const uint32_t length = uint32_t(data[at + 2]) << 8 | data[at + 3];
    const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 &&
                       marker != 0xCC;
    if (frame && at + 9 < size) {
      height = uint32_t(data[at + 5]) << 8 | data[at + 6];
      width = uint32_t(data[at + 7]) << 8 | data[at + 8];
      break;
    }
    if (marker == 0xDA || length < 2) return 1;
    at += 2 + length;
  }
  const uint32_t side = width > height ? width : height;
  for (int scale = 8; scale >= 2; scale /= 2)
    if (side / uint32_t(scale) >= longSide) return scale;
  return 1;
}

}  // namespace

ImageStatus DecodeImage(const uint8_t* data, uint32_t size, DecodeMode mode, engine::Raster* out,
                        engine::DecodeControl* control) {
  try {
    return Decode(data, size, mode, out, control);
  } catch (const std::bad_alloc&) {
    // Photos come from the user: running out of memory on one is a failed
    // load, not the end of the program.
    return ImageStatus::Failed(ImageFailure::OutOfMemory);
  }
}

bool DecodeImage(const uint8_t* data, uint32_t size, bool withAlpha, engine::Raster* out) {
  return DecodeImage(data, size, withAlpha ? DecodeMode::Rgba : DecodeMode::Rgb, out).Ok();
}

ImageStatus DecodePhotoPreview(const uint8_t* data, uint32_t size, uint32_t longSide,
                               engine::Raster* out) {
  try {
    if (data == nullptr || size < 10) return ImageStatus::Failed(ImageFailure::Unsupported);
    switch (SniffPicture(data, size)) {
      case PictureKind::Jpeg: {
        const int scale = JpegScale(data, size, longSide);
        if (scale == 1) return ImageStatus::Failed(ImageFailure::Unsupported);
        return DecodeJpeg(data, size, true, out, nullptr, scale);
      }
      case PictureKind::Heif:
        return DecodeHeifThumbnail(data, size, longSide, out);
      default:
        return ImageStatus::Failed(ImageFailure::Unsupported);
    }
  } catch (const std::bad_alloc&) {
    return ImageStatus::Failed(ImageFailure::OutOfMemory);
  }
}

}  // namespace imagefiles
