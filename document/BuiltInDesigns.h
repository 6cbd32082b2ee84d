#pragma once

#include "engine/card/CardTemplate.h"
#include "engine/raster/ImageReader.h"
#include "engine/raster/Raster.h"

namespace document {

// The designs that come with the program, in the order the Template
// command cycles through them. Each is drawn twice by the artwork
// generator: the screen version, which the window shows and edits (a 6 x 4
// in card at 150 ppi is 900 x 600), and the print version, the same shapes
// at exactly twice the pixels (300 ppi), whose regions are the screen
// version's in the same slot order.
struct BuiltInDesign {
  const char* name;  // what the user reads: "Hearts"
  int regionMapId;   // the screen version's pictures' resource numbers
  int overlayId;
  uint32_t width;    // the screen version's size in pixels
  uint32_t height;
  int printRegionMapId;  // the print version's; 0: none
  int printOverlayId;
};

// The screen versions are 150 ppi (their files keep the 100 dpi tag that
// cards have always carried), the print versions twice that.
constexpr uint32_t kScreenPpi = 150;
constexpr uint32_t kPrintPpi = 300;
constexpr uint32_t kPrintScale = kPrintPpi / kScreenPpi;

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
// The same for the design's print version.
bool LoadBuiltInPrintDesign(int index, const engine::ImageReader& reader,
                            engine::Raster* regionMap, engine::Raster* overlay);

// The tile drawn in empty regions; empty when it does not decode.
engine::Raster LoadPlaceholderTile(const engine::ImageReader& reader);

// Makes `card` a new card on built-in design `index`, with the placeholder
// tile: what a new document holds, for tools and measurements that need no
// document. False, with the card unchanged, when the design cannot be loaded.
bool MakeBuiltInCard(int index, const engine::ImageReader& reader, engine::Card* card);

}  // namespace document
