#include "document/BuiltInDesigns.h"

#include <memory>
#include <utility>

#include "resources/BuiltInImages.h"

namespace document {

namespace {

constexpr BuiltInDesign kDesigns[] = {
    {"Frost", 201, 202},
    {"Scrapbook", 203, 204},
    {"Hearts", 205, 206},
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

bool LoadBuiltInDesign(int index, const engine::ImageReader& reader, engine::Raster* regionMap,
                       engine::Raster* overlay) {
  const BuiltInDesign* design = BuiltInDesignAt(index);
  if (!design) return false;
  engine::Raster map, layer;
  if (!DecodeLayer(design->regionMapId, reader, &map) ||
      !DecodeLayer(design->overlayId, reader, &layer))
    return false;
  if (map.width != layer.width || map.height != layer.height) return false;
  *regionMap = std::move(map);
  *overlay = std::move(layer);
  return true;
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
