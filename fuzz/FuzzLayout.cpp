// A layout file loaded as the window loads a dropped one, then the card
// rendered as the screen draws it (draft) and as Save writes it (full), at
// the template's size, and in draft at another size.

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <utility>
#include <vector>

#include "FuzzSupport.h"
#include "engine/compose/CardCompositor.h"
#include "engine/card/CardTemplate.h"
#include "imagefiles/LayoutFile.h"

namespace {

void Render(const engine::Card& card, int32_t width, int32_t height, bool draft) {
  const int32_t stride = int32_t(engine::CardImageStride(uint32_t(width)));
  std::vector<uint8_t> pixels(size_t(stride) * size_t(height));
  engine::RenderCard(card, width, height, pixels.data(), stride, draft);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const fuzzing::InputReader reader(data, size);
  engine::Card card;
  // The tile and a photo for every slot: a small flat one, so the
  // resampler works on the layout's own boxes.
  card.placeholderTile = std::make_shared<const engine::Raster>(fuzzing::FlatPicture(5, 3, 200));
  imagefiles::LayoutLayers layers;
  if (imagefiles::ReadLayoutFile("dropped.jli", reader, &layers) != imagefiles::LayoutStatus::Ok ||
      !engine::SetTemplate(card, std::move(layers.regionMap), std::move(layers.overlay)))
    return 0;
  const uint32_t width = card.cardTemplate.width;
  const uint32_t height = card.cardTemplate.height;
  if (uint64_t(width) * height > fuzzing::kMaxTemplatePixels) return 0;
  for (engine::PhotoSlot& slot : card.slots) {
    slot.TakePhoto(fuzzing::FlatPicture(7, 4, 90));
  }
  Render(card, int32_t(width), int32_t(height), true);
  Render(card, int32_t(width), int32_t(height), false);
  Render(card, int32_t(width / 3 + 1), int32_t(height * 2 / 3 + 1), true);
  return 0;
}
