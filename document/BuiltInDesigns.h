#pragma once

#include "engine/card/CardTemplate.h"
#include "engine/raster/ImageReader.h"
#include "engine/raster/Raster.h"

namespace document {

// The designs that come with the program, in the order the Template
// command cycles through them.
struct BuiltInDesign {
  const char* name;  // what the user reads: "Hearts"
  int regionMapId;   // the pictures' resource numbers
  int overlayId;
};

int BuiltInDesignCount();
// Null for an index that is not a design.
const BuiltInDesign* BuiltInDesignAt(int index);
// The design after `index` in the cycle; the first after the last, and
// after -1 (no built-in design).
int NextBuiltInDesign(int index);

// Decodes a design's two pictures as Rgba32. False, with both rasters
// unchanged, when the index is not a design or a picture is missing or does
// not decode.
bool LoadBuiltInDesign(int index, const engine::ImageReader& reader, engine::Raster* regionMap,
                       engine::Raster* overlay);

// The tile drawn in empty regions; empty when it does not decode.
engine::Raster LoadPlaceholderTile(const engine::ImageReader& reader);

// Makes `card` a new card on built-in design `index`, with the placeholder
// tile: what a new document holds, for tools and measurements that need no
// document. False, with the card unchanged, when the design cannot be loaded.
bool MakeBuiltInCard(int index, const engine::ImageReader& reader, engine::Card* card);

}  // namespace document
