#include "document/DesignThumbnail.h"

#include <algorithm>
#include <memory>
#include <new>
#include <utility>

#include "document/BuiltInDesigns.h"
#include "engine/compose/CardCompositor.h"

namespace document {

engine::Raster RenderThumbnail(const engine::Card& card, uint32_t maxWidth, uint32_t maxHeight) {
  const engine::CardTemplate& t = card.cardTemplate;
  if (!t.Installed() || maxWidth == 0 || maxHeight == 0) return engine::Raster();
  // Fit by the longer side, in 64 bits: a layout can be any size.
  uint64_t width = maxWidth, height = uint64_t(maxWidth) * t.height / t.width;
  if (height > maxHeight) {
    height = maxHeight;
    width = uint64_t(maxHeight) * t.width / t.height;
  }
  width = std::max<uint64_t>(width, 1);
  height = std::max<uint64_t>(height, 1);
  try {
    engine::Raster picture =
        engine::Raster::Allocate(uint32_t(width), uint32_t(height), engine::PixelFormat::Rgb24);
    // The raster's rows are packed; the compositor writes whatever stride
    // it is given.
    engine::RenderCard(card, int32_t(width), int32_t(height), picture.pixels.get(),
                       int32_t(width * 3), false);
    return picture;
  } catch (const std::bad_alloc&) {
    return engine::Raster();  // no thumbnail is no reason to fail
  }
}

imagefiles::LayoutStatus MakeLayoutCard(const std::string& path, const engine::ImageReader& reader,
                                        engine::Card* card, uint32_t* ppi) {
  imagefiles::LayoutLayers layers;
  imagefiles::LayoutStatus status;
  try {
    status = imagefiles::ReadLayoutFile(path, reader, &layers);
    if (status != imagefiles::LayoutStatus::Ok) return status;
    engine::Card made;
    engine::Raster tile = LoadPlaceholderTile(reader);
    if (!tile.Empty())
      made.placeholderTile = std::make_shared<const engine::Raster>(std::move(tile));
    if (!engine::SetTemplate(made, std::move(layers.regionMap), std::move(layers.overlay)))
      return imagefiles::LayoutStatus::TooLarge;
    *card = std::move(made);
    if (ppi) *ppi = layers.ppi;
  } catch (const std::bad_alloc&) {
    return imagefiles::LayoutStatus::TooLarge;
  }
  return status;
}

}  // namespace document
