#include "imagefiles/StreamedPhoto.h"

#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <new>
#include <utility>

#include "imagefiles/DecodeImage.h"
#include "imagefiles/JpegDecodeParts.h"

namespace imagefiles {

namespace {

using engine::ImageFailure;
using engine::ImageStatus;

bool StartsLikeJpeg(const std::vector<uint8_t>& bytes) {
  return bytes.size() >= 10 && bytes[0] == 0xFF && bytes[1] == 0xD8;
}

// Columns decoded on either side of the crop. libjpeg-turbo treats the ends
// of a partial row as the ends of the picture when it smooths subsampled
// colour, so the pixels at the ends may differ from the whole decode's; a
// margin wider than a block of subsampled colour (16 pixels) keeps that
// outside the crop.
constexpr uint32_t kColumnMargin = 32;

}  // namespace

StreamedPhoto::StreamedPhoto() = default;

StreamedPhoto::~StreamedPhoto() { Close(); }

void StreamedPhoto::Close() {
  if (lib_) jpeg_destroy_decompress(&lib_->cinfo);
  lib_.reset();
}

void StreamedPhoto::Fail(ImageStatus status) {
  if (status_.Ok()) status_ = status;
  Close();
}

ImageStatus StreamedPhoto::Open(std::vector<uint8_t> bytes) {
  bytes_ = std::move(bytes);
  status_ = ImageStatus();
  try {
    if (StartsLikeJpeg(bytes_)) {
      lib_ = std::make_unique<JpegLibState>();
      if (!ReadHeader()) return status_;
      if (JpegOrientation(lib_->cinfo) == 1) {
        width_ = lib_->cinfo.image_width;
        height_ = lib_->cinfo.image_height;
        components_ = lib_->cinfo.num_components;
        return status_;
      }
      Close();  // to be turned: decoded whole below
    }
    status_ = DecodeImage(bytes_.data(), uint32_t(bytes_.size()), DecodeMode::Photo, &whole_);
  } catch (const std::bad_alloc&) {
    Fail(ImageStatus::Failed(ImageFailure::OutOfMemory));
  }
  bytes_ = std::vector<uint8_t>();
  if (status_) {
    width_ = whole_.width;
    height_ = whole_.height;
  }
  return status_;
}

// Every libjpeg call happens in the functions below, each with its own
// setjmp and only trivially destructible locals, so a library error comes
// back to the function that called the library and nowhere else.
bool StreamedPhoto::ReadHeader() {
  JpegLibState* lib = lib_.get();
  std::memset(&lib->cinfo, 0, sizeof lib->cinfo);
  lib->cinfo.err = lib->error.Init();
  if (setjmp(lib->error.jump)) {
    Fail(StatusOfLibjpegError(*lib));
    return false;
  }
  StartJpegLib(lib, bytes_.data(), uint32_t(bytes_.size()), true);
  jpeg_read_header(&lib->cinfo, TRUE);
  const ImageStatus header = CheckJpegHeader(&lib->cinfo, uint32_t(bytes_.size()));
  if (!header) {
    Fail(header);
    return false;
  }
  return true;
}

bool StreamedPhoto::StartRows() {
  JpegLibState* lib = lib_.get();
  if (setjmp(lib->error.jump)) {
    Fail(StatusOfLibjpegError(*lib));
    return false;
  }
  jpeg_decompress_struct* cinfo = &lib->cinfo;
  jpeg_start_decompress(cinfo);
  if (cinfo->output_width != width_ || cinfo->output_height != height_ ||
      cinfo->output_components != components_) {
    Fail(ImageStatus::Failed(ImageFailure::Unsupported));
    return false;
  }
  JDIMENSION first = firstColumn_, count = columns_;
  if (count < cinfo->output_width) jpeg_crop_scanline(cinfo, &first, &count);
  firstColumn_ = first;
  return true;
}

bool StreamedPhoto::SkipRows() {
  JpegLibState* lib = lib_.get();
  if (setjmp(lib->error.jump)) {
    Fail(StatusOfLibjpegError(*lib));
    return false;
  }
  if (skip_ > 0) jpeg_skip_scanlines(&lib->cinfo, skip_);
  return true;
}

bool StreamedPhoto::ReadRow() {
  JpegLibState* lib = lib_.get();
  if (setjmp(lib->error.jump)) {
    Fail(StatusOfLibjpegError(*lib));
    return false;
  }
  JSAMPROW row = row_.get();
  // Our source never suspends, so no progress means a broken library state.
  if (jpeg_read_scanlines(&lib->cinfo, &row, 1) != 1) {
    Fail(ImageStatus::Failed(ImageFailure::Damaged));
    return false;
  }
  return true;
}

void StreamedPhoto::Begin(const engine::Crop& crop) {
  begun_ = true;
  rowBytes_ = size_t(crop.cropWidth) * 3;
  try {
    zeros_.assign(rowBytes_, 0);
  } catch (const std::bad_alloc&) {
    Fail(ImageStatus::Failed(ImageFailure::OutOfMemory));
  }
  if (!status_) return;
  if (!lib_) {
    nextRow_ = whole_.Row(uint32_t(crop.cropY)) + size_t(crop.cropX) * 3;
    return;
  }
  const uint32_t cropX = uint32_t(crop.cropX), cropEnd = cropX + crop.cropWidth;
  const uint32_t first = cropX > kColumnMargin ? cropX - kColumnMargin : 0;
  const uint32_t end = std::min(width_, cropEnd + kColumnMargin);
  firstColumn_ = first;
  columns_ = end - first;
  if (!StartRows()) return;
  const uint32_t decoded = lib_->cinfo.output_width;
  try {
    // Room for a whole row of three (or four) bytes per pixel, grey and CMYK
    // being spread in place.
    row_.reset(new uint8_t[size_t(decoded) * 4 + 16]);
  } catch (const std::bad_alloc&) {
    Fail(ImageStatus::Failed(ImageFailure::OutOfMemory));
    return;
  }
  cropOffset_ = size_t(cropX - firstColumn_) * 3;
  skip_ = uint32_t(crop.cropY);
  SkipRows();
}

const uint8_t* StreamedPhoto::NextRow() {
  if (!status_) return zeros_.data();
  if (!lib_) {
    const uint8_t* row = nextRow_;
    nextRow_ += whole_.Stride();
    return row;
  }
  if (!ReadRow()) return zeros_.data();
  const uint32_t decoded = lib_->cinfo.output_width;
  if (components_ == 1) ExpandGreyRow(row_.get(), decoded);
  if (components_ == 4) CmykRowToRgb(row_.get(), row_.get(), decoded);
  return row_.get() + cropOffset_;
}

ImageStatus StreamedPhoto::Finish() {
  if (lib_ && status_ && !begun_) {
    firstColumn_ = 0;
    columns_ = width_;
    StartRows();
  }
  if (lib_ && status_) {
    skip_ = lib_->cinfo.output_height - lib_->cinfo.output_scanline;
    SkipRows();
  }
  Close();
  whole_.Reset();
  bytes_ = std::vector<uint8_t>();
  row_.reset();
  zeros_ = std::vector<uint8_t>();
  return status_;
}

}  // namespace imagefiles
