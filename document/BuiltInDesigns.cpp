#include "document/BuiltInDesigns.h"

#include <memory>
#include <utility>

#include "resources/BuiltInImages.h"

namespace document {

namespace {

constexpr BuiltInDesign kDesigns[] = {
    {"Frost", 201, 202, 900, 600, 301, 302},
    {"Scrapbook", 203, 204, 900, 600, 303, 304},
    {"Hearts", 205, 206, 900, 600, 305, 306},
    {"Birthday", 211, 212, 900, 600, 307, 308},
    {"Thank You", 213, 214, 900, 600, 309, 310},
    {"Wedding", 215, 216, 750, 1050, 311, 312},
    {"New Baby", 217, 218, 750, 1050, 313, 314},
    {"Holidays", 219, 220, 900, 600, 315, 316},
    {"Postcard", 221, 222, 900, 600, 317, 318},
};
constexpr int kDesignCount = int(sizeof kDesigns / sizeof kDesigns[0]);

bool DecodeLayer(int id, const engine::ImageReader& reader, engine::Raster* out) {
  const resources::Blob png = resources::FindPngResource(id);
  return png.data && reader.Decode(png.data, png.size, true, out) && !out->Empty() &&
         out->format == engine::PixelFormat::Rgba32;
}

}  // namespace

int BuiltInDesignCount() { return kDesignCount; }

const BuiltInDesign* BuiltInDesignAt(int index) {
  return index >= 0 && index < kDesignCount ? &kDesigns[index] : nullptr;
}

int NextBuiltInDesign(int index) { return index < 0 || index + 1 >= kDesignCount ? 0 : index + 1; }

namespace {

bool DecodePair(int mapId, int overlayId, uint32_t width, uint32_t height,
                const engine::ImageReader& reader, engine::Raster* regionMap,
                engine::Raster* overlay) {
  engine::Raster map, layer;
  if (mapId == 0 || !DecodeLayer(mapId, reader, &map) || !DecodeLayer(overlayId, reader, &layer))
    return false;
  // A picture of another size than the catalogue says would frame the
  // photos differently at the two sizes.
  if (map.width != width || map.height != height || layer.width != width ||
      layer.height != height)
    return false;
  *regionMap = std::move(map);
  *overlay = std::move(layer);
  return true;
}

}  // namespace

bool LoadBuiltInDesign(int index, const engine::ImageReader& reader, engine::Raster* regionMap,
                       engine::Raster* overlay) {
  const BuiltInDesign* design = BuiltInDesignAt(index);
  return design && DecodePair(design->regionMapId, design->overlayId, design->width,
                              design->height, reader, regionMap, overlay);
}

bool LoadBuiltInPrintDesign(int index, const engine::ImageReader& reader,
                            engine::Raster* regionMap, engine::Raster* overlay) {
  const BuiltInDesign* design = BuiltInDesignAt(index);
  return design && DecodePair(design->printRegionMapId, design->printOverlayId,
                              design->width * kPrintScale, design->height * kPrintScale, reader,
                              regionMap, overlay);
}


engine::Raster LoadPlaceholderTile(const engine::ImageReader& reader) {
  engine::Raster tile;
  const resources::Blob png = resources::FindPngResource(resources::kPlaceholderTileId);
  if (!png.data || !reader.Decode(png.data, png.size, false, &tile)) return engine::Raster();
  return tile;
}

bool MakeBuiltInCard(int index, const engine::ImageReader& reader, engine::Card* card) {
  engine::Raster map, overlay;
  if (!LoadBuiltInDesign(index, reader, &map, &overlay)) return false;
  engine::Card made;
  engine::Raster tile = LoadPlaceholderTile(reader);
  if (!tile.Empty()) made.placeholderTile = std::make_shared<const engine::Raster>(std::move(tile));
  if (!engine::SetTemplate(made, std::move(map), std::move(overlay))) return false;
  *card = std::move(made);
  return true;
}

}  // namespace document
