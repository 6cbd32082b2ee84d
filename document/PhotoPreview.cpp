#include "document/PhotoPreview.h"

#include <algorithm>
#include <new>

#include "document/PhotoFile.h"
#include "engine/resample/ResampleJob.h"

namespace document {

namespace {

// Reduced in linear light, as a saved card's photos are.
constexpr float kGamma = 2.2f;

}  // namespace

engine::Raster ReadPhotoPreview(const std::string& path, const engine::ImageReader& reader,
                                uint32_t side) {
  engine::Raster photo;
  PhotoSource source;
  if (side == 0 || !ReadPhotoFile(path, reader, &photo, &source) || photo.Empty()) return {};
  const uint32_t longer = std::max(photo.width, photo.height);
  if (longer <= side) return photo;
  const uint32_t w = std::max<uint32_t>(1, uint32_t(uint64_t(photo.width) * side / longer));
  const uint32_t h = std::max<uint32_t>(1, uint32_t(uint64_t(photo.height) * side / longer));
  try {
    engine::Raster small = engine::Raster::Allocate(w, h, engine::PixelFormat::Rgb24);
    if (small.Empty()) return {};
    engine::ResampleJob job(kGamma, int32_t(w), int32_t(h), int32_t(photo.width),
                            int32_t(photo.height), small.pixels.get(), int32_t(small.Stride()),
                            photo.pixels.get(), int32_t(photo.Stride()));
    job.Resample();
    return small;
  } catch (const std::bad_alloc&) {
    return {};
  }
}

}  // namespace document
