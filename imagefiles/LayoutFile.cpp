#include "imagefiles/LayoutFile.h"

#include "imagefiles/ContentHash.h"

#include <cstring>
#include <new>
#include <utility>
#include <vector>

#include "engine/card/RegionLimits.h"
#include "imagefiles/ImageStatusText.h"
#include "imagefiles/ParseLayerBlock.h"
#include "imagefiles/PngDensity.h"

namespace imagefiles {

namespace {

constexpr size_t kHeaderSize = 32;  // magic, two tags, two lengths

uint32_t ReadLe32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

// The words name the limits; change them together.
static_assert(engine::kMaxRegions == 64 && engine::kMaxBoxCover == 4, "the texts name the limits");
const char kTooManyRegionsText[] =
    "has more photo regions than the 64 a card can have (each colour of the region map is a "
    "region)";
const char kRegionsTooLargeText[] =
    "has regions whose boxes together cover the card more than 4 times over, which would make "
    "every drawing of the card slow";

uint64_t PaddedLength(uint32_t length) { return (uint64_t(length) + 3) & ~uint64_t(3); }

bool DecodeLayer(const LayerBlock& layer, const engine::ImageReader& reader, engine::Raster* out) {
  if (layer.docu == nullptr || layer.docuSize == 0) return false;
  engine::Raster decoded;
  if (!reader.Decode(layer.docu, layer.docuSize, true, &decoded)) return false;
  if (decoded.Empty() || decoded.format != engine::PixelFormat::Rgba32) return false;
  *out = std::move(decoded);
  return true;
}

}  // namespace

const char* LayoutStatusText(LayoutStatus status) {
  switch (status) {
    case LayoutStatus::Ok:
      return "is a valid layout file";
    case LayoutStatus::Unreadable:
      return "cannot be read";
    case LayoutStatus::NotLayoutFile:
      return "is not a layout file (no \"JQLayeredImage_1\" header)";
    case LayoutStatus::DamagedContainer:
      return "is damaged: its layer and chunk lengths do not add up to the file";
    case LayoutStatus::FirstLayerNotLayout:
      return "has a first layer that is not named \"layout\"";
    case LayoutStatus::RegionMapUnreadable:
      return "has a region map (first layer) that is missing or not a PNG the program can read";
    case LayoutStatus::OverlayUnreadable:
      return "has an overlay (second layer) that is missing or not a PNG the program can read";
    case LayoutStatus::SizesDiffer:
      return "has two layer images of different sizes";
    case LayoutStatus::TooLarge:
      return "is too large a template to hold in memory";
    case LayoutStatus::TooManyRegions:
      return kTooManyRegionsText;
    case LayoutStatus::RegionsTooLarge:
      return kRegionsTooLargeText;
  }
  return "cannot be loaded";
}

LayoutStatus ReadLayoutLayers(const uint8_t* data, size_t size, const engine::ImageReader& reader,
                              LayoutLayers* layers) {
  if (size < kHeaderSize) return LayoutStatus::NotLayoutFile;
  if (std::memcmp(data, "JQLayeredImage_1LAER", 20) != 0) return LayoutStatus::NotLayoutFile;

  // All offsets in 64 bits, so lengths near 0xFFFFFFFF cannot wrap past the
  // size checks.
  const uint64_t fileSize = size;
  const uint64_t firstPadded = PaddedLength(ReadLe32(data + 20));
  if (fileSize < kHeaderSize + firstPadded) return LayoutStatus::DamagedContainer;
  // Only a file of more than 4 GB could get here with a longer body.
  if (firstPadded > UINT32_MAX) return LayoutStatus::DamagedContainer;

  LayerBlock first;
  if (!ParseLayerBlock(data + 24, uint32_t(firstPadded), &first)) {
    return LayoutStatus::DamagedContainer;
  }
  // Exact code units, case-sensitive. A missing NAME is an empty name.
  if (first.name != u"layout") return LayoutStatus::FirstLayerNotLayout;

  const uint8_t* secondTag = data + 24 + firstPadded;
  if (std::memcmp(secondTag, "LAER", 4) != 0) return LayoutStatus::DamagedContainer;
  const uint64_t secondPadded = PaddedLength(ReadLe32(secondTag + 4));
  if (fileSize != kHeaderSize + firstPadded + secondPadded) return LayoutStatus::DamagedContainer;
  if (secondPadded > UINT32_MAX) return LayoutStatus::DamagedContainer;

  LayerBlock second;
  if (!ParseLayerBlock(secondTag + 8, uint32_t(secondPadded), &second)) {
    return LayoutStatus::DamagedContainer;
  }

  LayoutLayers decoded;
  const bool mapDecoded = DecodeLayer(first, reader, &decoded.regionMap);
  const bool overlayDecoded = DecodeLayer(second, reader, &decoded.overlay);
  if (!mapDecoded) return LayoutStatus::RegionMapUnreadable;
  if (!overlayDecoded) return LayoutStatus::OverlayUnreadable;
  if (decoded.regionMap.width != decoded.overlay.width ||
      decoded.regionMap.height != decoded.overlay.height) {
    return LayoutStatus::SizesDiffer;
  }
  switch (engine::CheckRegionCost(decoded.regionMap.width, decoded.regionMap.height,
                                  decoded.regionMap.pixels.get())) {
    case engine::RegionVerdict::TooManyRegions:
      return LayoutStatus::TooManyRegions;
    case engine::RegionVerdict::BoxesTooLarge:
      return LayoutStatus::RegionsTooLarge;
    case engine::RegionVerdict::Ok:
      break;
  }
  decoded.ppi = ReadPngPpi(first.docu, first.docuSize);
  if (decoded.ppi == 0) decoded.ppi = ReadPngPpi(second.docu, second.docuSize);
  *layers = std::move(decoded);
  return LayoutStatus::Ok;
}

std::string LayoutFailureText(LayoutStatus status, const engine::ImageStatus& read) {
  if (status == LayoutStatus::Unreadable && !read.Ok()) return ImageStatusText(read);
  return LayoutStatusText(status);
}

LayoutStatus ReadLayoutFile(const std::string& path, const engine::ImageReader& reader,
                            LayoutLayers* layers, uint64_t* hash, engine::ImageStatus* read) {
  std::vector<uint8_t> bytes;
  const engine::ImageStatus readStatus = reader.ReadFile(path, &bytes);
  if (read != nullptr) *read = readStatus;
  if (!readStatus) return LayoutStatus::Unreadable;
  const LayoutStatus result = ReadLayoutLayers(bytes.data(), bytes.size(), reader, layers);
  if (result == LayoutStatus::Ok && hash != nullptr) *hash = ContentHash(bytes.data(), bytes.size());
  return result;
}

}  // namespace imagefiles
