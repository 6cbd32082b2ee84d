#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "document/CardState.h"
#include "engine/card/CardTemplate.h"
#include "engine/raster/ImageReader.h"
#include "imagefiles/CardEncoding.h"

namespace document {

// What a size of a design is for.
enum class SizeUse : uint8_t {
  Screen,  // the card as the window shows it, for sharing on screens
  Print,   // a print shop's resolution (200 ppi and more)
};

// One size a card can be saved at: its pixels, its resolution (so a
// physical size) and how the file records them.
struct DesignSize {
  SizeUse use = SizeUse::Screen;
  uint32_t width = 0;  // pixels
  uint32_t height = 0;
  uint32_t ppi = 0;  // pixels per inch of the printed card
  imagefiles::CardEncoding encoding;

  double WidthInches() const { return ppi ? double(width) / ppi : 0; }
  double HeightInches() const { return ppi ? double(height) / ppi : 0; }
  bool operator==(const DesignSize& o) const {
    return use == o.use && width == o.width && height == o.height && ppi == o.ppi &&
           encoding == o.encoding;
  }
  bool operator!=(const DesignSize& o) const { return !(*this == o); }
};

// Print shops ask for 300 ppi and take 200 at the least.
constexpr uint32_t kMinPrintPpi = 200;
// A layout that records no resolution counts as what cards were always
// stamped with.
constexpr uint32_t kUnstatedLayoutPpi = 100;

// "6 x 4 in", "5 x 7 in", "2.5 x 1.75 in".
std::string InchesText(const DesignSize& size);
// "Print: 6 x 4 in, 1800 x 1200 at 300 ppi", "Screen: 900 x 600".
std::string SizeLabel(const DesignSize& size);

// What the user knows a design by, and the sizes a card on it can be saved
// at.
struct DesignInfo {
  std::string name;  // "Birthday"; a layout file's name without ".jli"
  // Print first when there is a print size; never empty. The size whose
  // pixels are the template's own is the card as edited.
  std::vector<DesignSize> sizes;

  // The size for `use`, or the first one when the design has none for it.
  const DesignSize& SizeFor(SizeUse use) const;
  // Null when the design has no print size.
  const DesignSize* PrintSize() const;
};

DesignInfo DescribeBuiltInDesign(int index);
// A layout file's design: named after the file, one size, at `ppi` as its
// layers record it (0: none, kUnstatedLayoutPpi).
DesignInfo DescribeLayoutDesign(const std::string& path, uint32_t width, uint32_t height,
                                uint32_t ppi);
// The design of the card: a built-in one, a layout file's (its resolution
// from the layers, kUnstatedLayoutPpi when they record none), or none yet
// (no sizes but the template's).
DesignInfo DescribeDesign(const CardState& state);

// The card as it is saved at `size`: the card itself at its template's size;
// at a built-in design's print size, its print version with the same
// photos, pans and zooms in the same slots, each region framed by the
// screen box scaled exactly, so that every photo shows the very same crop.
// False, with `*out` untouched, when the design has no version at `size`
// or its print pictures cannot be loaded.
bool CardAtSize(const CardState& state, const DesignSize& size, const engine::ImageReader& reader,
                engine::Card* out);

// --- the resolution of each photo in print ------------------------------------

// Source pixels per inch of the photo in `slot` when the card is printed at
// `size`, after zoom: the lower of the two directions. 0 for a slot that is
// hidden or has no photo.
double PhotoPpi(const engine::Card& card, size_t slot, const DesignSize& size);

struct SoftPhoto {
  size_t slot;
  uint32_t ppi;  // rounded down: a photo at 199.6 ppi is below 200
};
// The photos that would print below kMinPrintPpi at `size`, in slot order;
// none unless `size` is for print.
std::vector<SoftPhoto> SoftPhotos(const engine::Card& card, const DesignSize& size);
// "This photo will print at 140 ppi and may look soft. Zoom out or use a
// larger photo."
std::string SoftPhotoSentence(uint32_t ppi);

}  // namespace document
