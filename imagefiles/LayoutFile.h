#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/raster/ImageReader.h"
#include "engine/raster/ImageStatus.h"
#include "engine/raster/Raster.h"

namespace imagefiles {

// Why a layout file was refused, for tools that tell the user. The window
// only needs success or failure.
enum class LayoutStatus {
  Ok,
  Unreadable,           // the file cannot be opened or read in full
  NotLayoutFile,        // shorter than 32 bytes, or wrong magic or first tag
  DamagedContainer,     // layer lengths, second tag, chunks or file size do not add up
  FirstLayerNotLayout,  // the first layer is not named "layout"
  RegionMapUnreadable,  // the first layer's image is missing or not a PNG we decode
  OverlayUnreadable,    // the same for the second layer
  SizesDiffer,          // the two images differ in width or height
  TooLarge,             // the template cannot be held in memory
  TooManyRegions,       // more than engine::kMaxRegions regions
  RegionsTooLarge,      // the regions' boxes cover the card more than kMaxBoxCover times
};

// A short English phrase for the user, such as "its two layers differ in size".
const char* LayoutStatusText(LayoutStatus status);
// The same, but a file that could not be read says why, as a photo's does:
// "cannot be read (no such file or directory)".
std::string LayoutFailureText(LayoutStatus status, const engine::ImageStatus& read);

// The two pictures of a layout file, decoded as Rgba32.
struct LayoutLayers {
  engine::Raster regionMap;
  engine::Raster overlay;
  // The resolution the layers record (pHYs), in pixels per inch: the
  // region map's, else the overlay's; 0 when neither records one.
  uint32_t ppi = 0;
};

// Checks a whole layout file held in memory and decodes both layer images
// with `reader` (both decodes are attempted): what ReadLayoutFile does with
// a file's bytes, and what tools use to check a file before writing it.
// `*layers` is only written on Ok.
LayoutStatus ReadLayoutLayers(const uint8_t* data, size_t size, const engine::ImageReader& reader,
                              LayoutLayers* layers);

// Reads the layout file at `path` in one piece and decodes its two layers.
// `read` says how reading the file went, `hash` is the ContentHash of its
// bytes; `*layers` and `*hash` are only written on Ok.
LayoutStatus ReadLayoutFile(const std::string& path, const engine::ImageReader& reader,
                            LayoutLayers* layers, uint64_t* hash = nullptr,
                            engine::ImageStatus* read = nullptr);

}  // namespace imagefiles
