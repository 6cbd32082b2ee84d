#pragma once

#include <cstdint>

namespace engine {

// Why a picture file could not be used. Only the kind matters to the
// program; the details are for the words the user reads
// (imagefiles::ImageStatusText).
enum class ImageFailure : uint8_t {
  None,
  Unreadable,   // opening or reading failed; `systemError` is the errno, 0 if unknown
  NotAFile,     // a folder, a device or a pipe
  NotAPicture,  // none of the formats the program reads, by its first bytes
  Unsupported,  // a picture of a kind the program does not read; `detail` may say which
  Damaged,      // the decoder could not finish; `detail` says why when it knows
  TooLarge,     // above kMaxRasterPixels; `width` x `height` as declared, 0 when unknown
  OutOfMemory,
  Cancelled,    // the decode was asked to stop (engine::DecodeControl) before it ended
};

enum class ImageDetail : uint8_t {
  None,
  EndsEarly,      // the data stops before the picture does
  BadChecksum,    // a PNG chunk's CRC does not match its bytes
  CorruptData,    // structure or compressed data that makes no sense
  ExtraData,      // far more compressed data than the picture can need
  TooManyScans,   // a progressive JPEG with more scans than the decoder allows
  JpegWithAlpha,  // a JPEG where only PNG is accepted (template layers)
  NotPng,         // HEIF, WebP or TIFF where only PNG is accepted (template layers)
  Animated,       // an animation (WebP), not a still picture
  NotHevc,        // a HEIF picture coded otherwise than with HEVC (AVIF's AV1, say)
};

// The outcome of reading or decoding a picture, carried as a value from the
// codec to whoever tells the user. Converts to true on success, so
// `if (!reader.ReadFile(...))` reads as before.
struct ImageStatus {
  ImageFailure failure = ImageFailure::None;
  ImageDetail detail = ImageDetail::None;
  int systemError = 0;
  uint32_t width = 0;
  uint32_t height = 0;

  bool Ok() const { return failure == ImageFailure::None; }
  explicit operator bool() const { return Ok(); }

  static ImageStatus Failed(ImageFailure failure, ImageDetail detail = ImageDetail::None) {
    ImageStatus status;
    status.failure = failure;
    status.detail = detail;
    return status;
  }
  static ImageStatus Unreadable(int systemError) {
    ImageStatus status = Failed(ImageFailure::Unreadable);
    status.systemError = systemError;
    return status;
  }
  static ImageStatus TooLarge(uint32_t width, uint32_t height) {
    ImageStatus status = Failed(ImageFailure::TooLarge);
    status.width = width;
    status.height = height;
    return status;
  }
};

}  // namespace engine
