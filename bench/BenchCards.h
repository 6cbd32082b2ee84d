#pragma once

// Pictures shared by the benchmarks, made once per run.

#include <cstdint>
#include <utility>
#include <vector>

#include "Interleaved.h"
#include "document/BuiltInDesigns.h"
#include "engine/card/CardTemplate.h"
#include "engine/raster/Raster.h"
#include "imagefiles/ImageFiles.h"

namespace benchsupport {

// A 6000 x 4000 (24 MP) noisy photo; noise keeps caches and predictors from
// flattering the figures.
inline engine::Raster NoisyPhoto(uint32_t width, uint32_t height, uint64_t seed) {
  engine::Raster photo = engine::Raster::Allocate(width, height, engine::PixelFormat::Rgb24);
  FillNoise(photo.pixels.get(), photo.ByteSize(), seed);
  return photo;
}

// Built-in template 0 (900 x 600, five slots) with a 24 MP photo in every
// slot. Null when this build has no built-in artwork.
inline engine::Card* FiveFullPhotoCard() {
  static engine::Card* card = [] {
    auto* c = new engine::Card;
    imagefiles::ImageFiles reader;
    document::MakeBuiltInCard(0, reader, c);
    if (!c->cardTemplate.Installed()) return static_cast<engine::Card*>(nullptr);
    uint64_t seed = 1;
    for (engine::PhotoSlot& slot : c->slots) slot.TakePhoto(NoisyPhoto(6000, 4000, seed++));
    return c;
  }();
  return card;
}

}  // namespace benchsupport
