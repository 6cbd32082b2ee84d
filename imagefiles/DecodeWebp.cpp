#include "imagefiles/DecodeWebp.h"

#include <webp/decode.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "engine/raster/TurnUpright.h"
#include "imagefiles/ExifOrientation.h"
#include "imagefiles/OverWhite.h"

namespace imagefiles {

namespace {

using engine::ImageDetail;
using engine::ImageFailure;
using engine::ImageStatus;

// How much of the file the decoder is given at a time: between two pieces
// it reports how far it got and looks whether it should stop.
constexpr size_t kPiece = 256 << 10;

uint32_t LittleEndian32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

ImageStatus StatusOf(VP8StatusCode code) {
  switch (code) {
    case VP8_STATUS_OK:
      return ImageStatus();
    case VP8_STATUS_OUT_OF_MEMORY:
      return ImageStatus::Failed(ImageFailure::OutOfMemory);
    case VP8_STATUS_UNSUPPORTED_FEATURE:
      return ImageStatus::Failed(ImageFailure::Unsupported);
    case VP8_STATUS_NOT_ENOUGH_DATA:
    case VP8_STATUS_SUSPENDED:
      return ImageStatus::Failed(ImageFailure::Damaged, ImageDetail::EndsEarly);
    default:
      return ImageStatus::Failed(ImageFailure::Damaged, ImageDetail::CorruptData);
  }
}

struct IncrementalDecoder {
  WebPIDecoder* idec = nullptr;
  ~IncrementalDecoder() {
    if (idec) WebPIDelete(idec);
  }
};

}  // namespace

int WebpOrientation(const uint8_t* data, uint32_t size) {
  // RIFF's chunks after "WEBP": a name, a little-endian length, the data,
  // padded to an even length.
  uint64_t at = 12;
  while (at + 8 <= size) {
    const uint64_t length = LittleEndian32(data + at + 4);
    if (at + 8 + length > size) return 1;
    if (std::memcmp(data + at, "EXIF", 4) == 0) return ExifOrientation(data + at + 8, size_t(length));
    at += 8 + length + (length & 1);
  }
  return 1;
}

ImageStatus DecodeWebp(const uint8_t* data, uint32_t size, DecodeMode mode, engine::Raster* out,
                       engine::DecodeControl* control) {
  if (mode == DecodeMode::Rgba) return ImageStatus::Failed(ImageFailure::Unsupported, ImageDetail::NotPng);
  WebPDecoderConfig config;
  if (!WebPInitDecoderConfig(&config)) return ImageStatus::Failed(ImageFailure::Unsupported);
  const ImageStatus features = StatusOf(WebPGetFeatures(data, size, &config.input));
  if (!features) return features;
  if (config.input.has_animation) {
    return ImageStatus::Failed(ImageFailure::Unsupported, ImageDetail::Animated);
  }
  const uint32_t width = uint32_t(config.input.width), height = uint32_t(config.input.height);
  size_t bytes = 0;
  if (!engine::CheckedRasterSize(width, height, engine::PixelFormat::Rgba32, &bytes)) {
    return ImageStatus::TooLarge(width, height);
  }
  const bool alpha = config.input.has_alpha != 0;

  // Opaque pictures are decoded straight into the photo; transparent ones
  // into straight-alpha rows first, then put over white.
  engine::Raster raster = engine::Raster::Allocate(
      width, height, alpha ? engine::PixelFormat::Rgba32 : engine::PixelFormat::Rgb24);
  config.output.colorspace = alpha ? MODE_RGBA : MODE_RGB;
  config.output.is_external_memory = 1;
  config.output.u.RGBA.rgba = raster.pixels.get();
  config.output.u.RGBA.stride = int(raster.Stride());
  config.output.u.RGBA.size = raster.ByteSize();

  IncrementalDecoder decoder;
  decoder.idec = WebPIDecode(nullptr, 0, &config);
  if (decoder.idec == nullptr) return ImageStatus::Failed(ImageFailure::OutOfMemory);
  size_t given = 0;
  VP8StatusCode code = VP8_STATUS_SUSPENDED;
  while (code == VP8_STATUS_SUSPENDED && given < size) {
    if (control != nullptr) {
      if (control->Cancelled()) return ImageStatus::Failed(ImageFailure::Cancelled);
      int rows = 0;
      if (WebPIDecGetRGB(decoder.idec, &rows, nullptr, nullptr, nullptr) != nullptr) {
        control->Progress(uint64_t(rows < 0 ? 0 : rows), height);
      }
    }
    given = std::min<size_t>(size, given + kPiece);
    code = WebPIUpdate(decoder.idec, data, given);
  }
  const ImageStatus decoded = StatusOf(code);
  if (!decoded) return decoded;

  if (alpha) {
    engine::Raster packed = engine::Raster::Allocate(width, height, engine::PixelFormat::Rgb24);
    for (uint32_t y = 0; y < height; ++y) RowOverWhite(raster.Row(y), packed.Row(y), width);
    raster.Swap(packed);
  }
  if (mode == DecodeMode::Photo) engine::TurnUpright(raster, WebpOrientation(data, size));
  out->Swap(raster);
  return ImageStatus();
}

}  // namespace imagefiles
