#pragma once

// What the fuzz targets share: a reader that serves the fuzzer's input as
// the one file there is, and the real decoder behind it.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "engine/raster/ImageReader.h"
#include "imagefiles/DecodeImage.h"

namespace fuzzing {

class InputReader : public engine::ImageReader {
 public:
  InputReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  engine::ImageStatus ReadFile(const std::string&, std::vector<uint8_t>* bytes,
                               engine::FileStamp* = nullptr) const override {
    bytes->assign(data_, data_ + size_);
    return engine::ImageStatus();
  }
  bool Decode(const uint8_t* data, uint32_t size, bool withAlpha,
              engine::Raster* out) const override {
    return imagefiles::DecodeImage(data, size, withAlpha, out);
  }
  engine::ImageStatus DecodePhoto(const uint8_t* data, uint32_t size,
                                  engine::Raster* out) const override {
    return imagefiles::DecodeImage(data, size, imagefiles::DecodeMode::Photo, out);
  }

 private:
  const uint8_t* data_;
  size_t size_;
};

// A small Rgb24 picture of one grey.
inline engine::Raster FlatPicture(uint32_t width, uint32_t height, uint8_t grey) {
  engine::Raster picture = engine::Raster::Allocate(width, height, engine::PixelFormat::Rgb24);
  std::memset(picture.pixels.get(), grey, picture.ByteSize());
  return picture;
}

// Larger templates and photos are decoded but not rendered: a fuzzer wants
// many small runs, rendering works alike at every size, and the decoders'
// own limits are what large pictures exercise.
constexpr uint64_t kMaxTemplatePixels = 1u << 16;
constexpr uint64_t kMaxPhotoPixels = 1u << 18;

}  // namespace fuzzing
