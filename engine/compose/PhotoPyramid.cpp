#include "engine/compose/PhotoPyramid.h"

#include <algorithm>
#include <new>

namespace engine {

PhotoLevel ReducePhoto(const uint8_t* pixels, uint32_t width, uint32_t height, int32_t shift) {
  PhotoLevel level;
  level.shift = shift;
  const uint32_t factor = 1u << shift;
  level.width = width >> shift;
  level.height = height >> shift;
  if (level.width == 0 || level.height == 0) {
    level.width = level.height = 0;
    return level;
  }
  level.pixels.resize(size_t(level.width) * level.height * 3);
  // A box is at most 64 x 64 pixels of 255: the sums stay far inside 32 bits.
  const uint32_t count = factor * factor, half = count / 2;
  const size_t stride = size_t(width) * 3;
  std::vector<uint32_t> sums(size_t(level.width) * 3);
  for (uint32_t y = 0; y < level.height; ++y) {
    std::fill(sums.begin(), sums.end(), 0u);
    for (uint32_t r = 0; r < factor; ++r) {
      const uint8_t* row = pixels + (size_t(y) * factor + r) * stride;
      for (uint32_t x = 0; x < level.width; ++x) {
        const uint8_t* p = row + size_t(x) * factor * 3;
        uint32_t* s = &sums[size_t(x) * 3];
        for (uint32_t k = 0; k < factor; ++k, p += 3) {
          s[0] += p[0];
          s[1] += p[1];
          s[2] += p[2];
        }
      }
    }
    uint8_t* out = level.pixels.data() + size_t(y) * level.width * 3;
    for (size_t i = 0; i < sums.size(); ++i) out[i] = uint8_t((sums[i] + half) / count);
  }
  return level;
}

const PhotoLevel* PhotoPyramids::Level(const std::shared_ptr<const uint8_t[]>& photo,
                                       uint32_t width, uint32_t height, int32_t shift) {
  if (!photo || shift < 1 || shift > 6) return nullptr;
  auto entry = std::find_if(entries_.begin(), entries_.end(),
                            [&](const Entry& e) { return e.photo == photo; });
  if (entry == entries_.end()) {
    entries_.push_back(Entry{photo, {}});
    entry = entries_.end() - 1;
  }
  // The finest copy already made that is finer than the one asked for: the
  // photo itself is read once, whatever zooms follow.
  const PhotoLevel* from = nullptr;
  for (const std::unique_ptr<PhotoLevel>& level : entry->levels) {
    if (level->shift == shift) return level.get();
    if (level->shift < shift && (!from || level->shift > from->shift)) from = level.get();
  }
  try {
    std::unique_ptr<PhotoLevel> made(new PhotoLevel(
        from ? ReducePhoto(from->pixels.data(), from->width, from->height, shift - from->shift)
             : ReducePhoto(photo.get(), width, height, shift)));
    if (made->width == 0) return nullptr;
    made->shift = shift;
    entry->levels.push_back(std::move(made));
    return entry->levels.back().get();
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

void PhotoPyramids::KeepOnly(const std::vector<const uint8_t*>& kept) {
  entries_.erase(std::remove_if(entries_.begin(), entries_.end(),
                                [&](const Entry& e) {
                                  return std::find(kept.begin(), kept.end(), e.photo.get()) ==
                                         kept.end();
                                }),
                 entries_.end());
}

}  // namespace engine
