#pragma once

#include <cstdint>
#include <vector>

#include "engine/card/CardTemplate.h"
#include "engine/card/PhotoPlacement.h"
#include "engine/raster/RasterView.h"
#include "engine/resample/RowSource.h"

namespace engine {

// A slot's photo that is never held whole: its rows arrive once, top to
// bottom, and only those of the crop the slot shows. What a renderer that
// decodes photos as it goes gives the compositor.
class SlotPhotoStream : public RowSource {
 public:
  // Called once before the first row: the rows to come are rows
  // crop.cropY .. crop.cropY + crop.cropHeight - 1 of the upright photo,
  // each starting at column crop.cropX with crop.cropWidth pixels.
  virtual void Begin(const Crop& crop) = 0;
};

// DrawSlotPicture in full quality for a slot whose photo comes from
// `stream`: the same bytes, with `slot` holding the photo's upright size
// (photoWidth, photoHeight) but no pixels. Reads exactly the crop's rows,
// each once.
void DrawStreamedSlotPicture(const PhotoSlot& slot, SlotPhotoStream& stream, const RasterView& box);

// RenderCard in full quality (`draft` false) from slot pictures drawn
// beforehand: pictures[i], when given, is slot i's box-sized picture (packed
// rows); a slot without one is drawn as RenderCard draws it. The same bytes
// as RenderCard when each given picture is what DrawSlotPicture draws.
void ComposeCardFromPictures(const Card& card, const std::vector<const uint8_t*>& pictures,
                             int32_t width, int32_t height, uint8_t* pixels, int32_t stride);

}  // namespace engine
