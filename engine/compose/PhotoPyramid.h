#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace engine {

// A photo reduced by 2^shift on each axis: every pixel the rounded mean of
// a 2^shift square of the photo's Rgb24 pixels (the last partial column and
// row dropped).
struct PhotoLevel {
  int32_t shift = 0;
  uint32_t width = 0, height = 0;
  std::vector<uint8_t> pixels;  // packed Rgb24 rows
};

// `factor` x `factor` box means of a packed Rgb24 picture; a picture smaller
// than `factor` gives an empty level.
PhotoLevel ReducePhoto(const uint8_t* pixels, uint32_t width, uint32_t height, int32_t shift);

// Reduced copies of the photos a draft samples, so that a held photo is
// drawn from a copy near the size it shows at rather than picked from
// millions of pixels by nearest neighbour (which looks grainy). Made on
// first use per photo and shift, each from the finest copy already made;
// kept while the photo is on the card.
class PhotoPyramids {
 public:
  // The copy of `photo` reduced by 2^shift (shift >= 1); null when it cannot
  // be made (too small, or no memory).
  const PhotoLevel* Level(const std::shared_ptr<const uint8_t[]>& photo, uint32_t width,
                          uint32_t height, int32_t shift);
  // Forgets every photo not in `kept`.
  void KeepOnly(const std::vector<const uint8_t*>& kept);

 private:
  struct Entry {
    std::shared_ptr<const uint8_t[]> photo;
    std::vector<std::unique_ptr<PhotoLevel>> levels;  // finest first
  };
  std::vector<Entry> entries_;
};

}  // namespace engine
