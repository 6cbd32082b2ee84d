#include "document/DesignSizes.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <new>
#include <utility>

#include "document/BuiltInDesigns.h"
#include "engine/card/PhotoPlacement.h"
#include "imagefiles/PathNames.h"

namespace document {

namespace {

// "6", "2.5", "3.33": inches to two places, no trailing zeros.
std::string Number(double inches) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", std::round(inches * 100) / 100);
  std::string s = text;
  while (!s.empty() && s.back() == '0') s.pop_back();
  if (!s.empty() && s.back() == '.') s.pop_back();
  return s;
}

std::string Pixels(const DesignSize& size) {
  return std::to_string(size.width) + " x " + std::to_string(size.height);
}

DesignSize ScreenSize(uint32_t width, uint32_t height) {
  // The pictures cards have always been: 100 dpi in the file, 150 ppi in
  // fact (a 6 x 4 in card at 900 x 600).
  return DesignSize{SizeUse::Screen, width, height, kScreenPpi, imagefiles::CardEncoding()};
}

DesignSize LayoutSize(uint32_t width, uint32_t height, uint32_t recordedPpi) {
  DesignSize size;
  size.width = width;
  size.height = height;
  size.ppi = recordedPpi != 0 ? recordedPpi : kUnstatedLayoutPpi;
  size.use = size.ppi >= kMinPrintPpi ? SizeUse::Print : SizeUse::Screen;
  if (recordedPpi == 0 || recordedPpi > 0xFFFF) {
    // Written as before: the 100 dpi tag, no pHYs.
    size.encoding = imagefiles::CardEncoding();
  } else if (size.use == SizeUse::Print) {
    size.encoding = imagefiles::CardEncoding::Print(uint16_t(recordedPpi));
  } else {
    size.encoding.dotsPerInch = uint16_t(recordedPpi);
    size.encoding.pngDensity = true;
  }
  return size;
}

std::string LayoutName(const std::string& path) {
  std::string name = imagefiles::FileNameOf(path);
  if (name.size() > 4) {
    std::string tail = name.substr(name.size() - 4);
    for (char& c : tail) c = char(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    if (tail == ".jli") name.resize(name.size() - 4);
  }
  return name;
}

}  // namespace

std::string InchesText(const DesignSize& size) {
  return Number(size.WidthInches()) + " x " + Number(size.HeightInches()) + " in";
}

std::string SizeLabel(const DesignSize& size) {
  if (size.use == SizeUse::Screen) return "Screen: " + Pixels(size);
  return "Print: " + InchesText(size) + ", " + Pixels(size) + " at " + std::to_string(size.ppi) +
         " ppi";
}

const DesignSize& DesignInfo::SizeFor(SizeUse use) const {
  for (const DesignSize& size : sizes)
    if (size.use == use) return size;
  return sizes.front();
}

const DesignSize* DesignInfo::PrintSize() const {
  for (const DesignSize& size : sizes)
    if (size.use == SizeUse::Print) return &size;
  return nullptr;
}

DesignInfo DescribeBuiltInDesign(int index) {
  DesignInfo info;
  const BuiltInDesign* design = BuiltInDesignAt(index);
  if (!design) {
    info.sizes.push_back(DesignSize{});
    return info;
  }
  info.name = design->name;
  if (design->printRegionMapId != 0) {
    info.sizes.push_back(DesignSize{SizeUse::Print, design->width * kPrintScale,
                                    design->height * kPrintScale, kPrintPpi,
                                    imagefiles::CardEncoding::Print(kPrintPpi)});
  }
  info.sizes.push_back(ScreenSize(design->width, design->height));
  return info;
}

DesignInfo DescribeLayoutDesign(const std::string& path, uint32_t width, uint32_t height,
                                uint32_t ppi) {
  DesignInfo info;
  info.name = LayoutName(path);
  info.sizes.push_back(LayoutSize(width, height, ppi));
  return info;
}

DesignInfo DescribeDesign(const CardState& state) {
  const engine::CardTemplate& t = state.card.cardTemplate;
  if (state.design.IsLayout())
    return DescribeLayoutDesign(state.design.layoutPath, t.width, t.height,
                                state.design.layoutPpi);
  if (state.design.IsBuiltIn()) {
    DesignInfo info = DescribeBuiltInDesign(state.design.builtInIndex);
    // The catalogue and the pictures agree; should they not, the card is
    // what it is.
    if (info.sizes.back().width == t.width && info.sizes.back().height == t.height) return info;
  }
  DesignInfo info;
  info.sizes.push_back(ScreenSize(t.width, t.height));
  return info;
}

bool CardAtSize(const CardState& state, const DesignSize& size, const engine::ImageReader& reader,
                engine::Card* out) {
  const engine::Card& card = state.card;
  const engine::CardTemplate& t = card.cardTemplate;
  if (size.width == t.width && size.height == t.height) {
    *out = card;
    return true;
  }
  if (!state.design.IsBuiltIn() || t.width == 0 || t.height == 0) return false;
  const uint32_t scale = size.width / t.width;
  if (scale == 0 || size.width != t.width * scale || size.height != t.height * scale) return false;
  engine::Raster map, overlay;
  if (!LoadBuiltInPrintDesign(state.design.builtInIndex, reader, &map, &overlay) ||
      map.width != size.width || map.height != size.height)
    return false;
  try {
    engine::Card scaled;
    scaled.placeholderTile = card.placeholderTile;
    if (!engine::SetTemplate(scaled, std::move(map), std::move(overlay))) return false;
    // The print version's regions are the screen version's, key for key;
    // its boxes are the screen boxes times the scale (the artwork generator
    // keeps any region pixel beyond them under opaque overlay), so every
    // crop, which depends only on the box's proportions, comes out the same.
    const engine::SlotList found = std::move(scaled.slots);
    scaled.slots = card.slots;
    for (size_t i = 0; i < scaled.slots.size(); ++i) {
      engine::PhotoSlot& slot = scaled.slots[i];
      if (slot.Hidden()) continue;
      if (i >= found.size() || found[i].keyColour != slot.keyColour) return false;
      const int32_t k = int32_t(scale);
      slot.left *= k;
      slot.top *= k;
      slot.right *= k;
      slot.bottom *= k;
    }
    *out = std::move(scaled);
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

double PhotoPpi(const engine::Card& card, size_t slot, const DesignSize& size) {
  if (slot >= card.slots.size()) return 0;
  const engine::PhotoSlot& s = card.slots[slot];
  const engine::CardTemplate& t = card.cardTemplate;
  if (!s.HasPhoto() || s.BoxWidth() <= 0 || s.BoxHeight() <= 0 || t.width == 0 || t.height == 0 ||
      size.ppi == 0)
    return 0;
  const engine::Crop crop = engine::ComputeCrop(s);
  // The box in inches at `size`: its template pixels scaled to the size's.
  const double boxInchesX = double(s.BoxWidth()) * size.width / t.width / size.ppi;
  const double boxInchesY = double(s.BoxHeight()) * size.height / t.height / size.ppi;
  return std::min(crop.cropWidth / boxInchesX, crop.cropHeight / boxInchesY);
}

std::vector<SoftPhoto> SoftPhotos(const engine::Card& card, const DesignSize& size) {
  std::vector<SoftPhoto> soft;
  if (size.use != SizeUse::Print) return soft;
  for (size_t i = 0; i < card.slots.size(); ++i) {
    const double ppi = PhotoPpi(card, i, size);
    if (ppi > 0 && ppi < kMinPrintPpi) soft.push_back(SoftPhoto{i, uint32_t(ppi)});
  }
  return soft;
}

std::string SoftPhotoSentence(uint32_t ppi) {
  return "This photo will print at " + std::to_string(ppi) +
         " ppi and may look soft. Zoom out or use a larger photo.";
}

}  // namespace document
