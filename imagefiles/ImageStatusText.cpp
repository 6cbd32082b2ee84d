#include "imagefiles/ImageStatusText.h"

#include <cstring>

#include "engine/raster/Raster.h"

namespace imagefiles {

namespace {

using engine::ImageDetail;
using engine::ImageFailure;

const char* DetailText(ImageDetail detail) {
  switch (detail) {
    case ImageDetail::None:
      return nullptr;
    case ImageDetail::EndsEarly:
      return "the data ends early";
    case ImageDetail::BadChecksum:
      return "a checksum does not match its data";
    case ImageDetail::CorruptData:
      return "its data makes no sense";
    case ImageDetail::ExtraData:
      return "it holds far more compressed data than its picture needs";
    case ImageDetail::TooManyScans:
      return "a progressive JPEG of more than 100 scans";
    case ImageDetail::JpegWithAlpha:
      return "a JPEG where only PNG will do";
    case ImageDetail::NotPng:
      return "a HEIC, WebP or TIFF picture where only PNG will do";
    case ImageDetail::Animated:
      return "an animation, not a still picture";
    case ImageDetail::NotHevc:
      return "a HEIF picture coded otherwise than as HEIC, such as AVIF";
  }
  return nullptr;
}

std::string WithDetail(std::string text, ImageDetail detail) {
  if (const char* words = DetailText(detail)) text += std::string(" (") + words + ")";
  return text;
}

std::string SystemReason(int error) {
  std::string words = std::strerror(error);
  // "Permission denied" reads better inside a sentence in lower case.
  if (!words.empty() && words[0] >= 'A' && words[0] <= 'Z') words[0] = char(words[0] - 'A' + 'a');
  return words;
}

}  // namespace

std::string ImageStatusText(const engine::ImageStatus& status) {
  switch (status.failure) {
    case ImageFailure::None:
      return std::string();
    case ImageFailure::Unreadable:
      return status.systemError != 0 ? "cannot be read (" + SystemReason(status.systemError) + ")"
                                     : std::string("cannot be read in full");
    case ImageFailure::NotAFile:
      return "is a folder or a device, not a file";
    case ImageFailure::NotAPicture:
      return "is not a JPEG, PNG, HEIC, WebP or TIFF picture";
    case ImageFailure::Unsupported:
      return WithDetail("is a kind of picture the program cannot read", status.detail);
    case ImageFailure::Damaged:
      return WithDetail("is damaged or incomplete", status.detail);
    case ImageFailure::TooLarge: {
      std::string text = "is larger than the program's limit of " +
                         std::to_string(engine::kMaxRasterPixels / 1'000'000) + " megapixels";
      if (status.width != 0 && status.height != 0) {
        text += " (" + std::to_string(status.width) + " x " + std::to_string(status.height) +
                " pixels)";
      }
      return text;
    }
    case ImageFailure::OutOfMemory:
      return "needs more memory than is available";
    case ImageFailure::Cancelled:
      return "was not read to the end: its loading was stopped";
  }
  return "cannot be used";
}

std::string PhotoFailureMessage(const std::string& fileName, const engine::ImageStatus& status) {
  return "\"" + fileName + "\" cannot be used as a photo: it " + ImageStatusText(status) + ".";
}

}  // namespace imagefiles
