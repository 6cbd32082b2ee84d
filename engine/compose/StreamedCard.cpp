#include "engine/compose/StreamedCard.h"

#include <cstring>
#include <memory>

#include "engine/compose/CardCompositor.h"
#include "engine/compose/OverlayBlend.h"
#include "engine/compose/RegionMask.h"
#include "engine/resample/GammaTables.h"
#include "engine/resample/ResampleLimits.h"
#include "engine/resample/ResampleTask.h"
#include "engine/resample/ScaleNearest.h"

namespace engine {

namespace {

// The gamma RenderCard resamples with.
constexpr float kGamma = 2.2f;

}  // namespace

void DrawStreamedSlotPicture(const PhotoSlot& slot, SlotPhotoStream& stream,
                             const RasterView& box) {
  const Crop crop = ComputeCrop(slot);
  stream.Begin(crop);
  const int32_t cropWidth = int32_t(crop.cropWidth), cropHeight = int32_t(crop.cropHeight);
  if (box.width <= 0 || box.height <= 0) return;
  const std::shared_ptr<const GammaTablePair> tables = SharedGammaTables(kGamma);
  std::unique_ptr<ResamplePipeline> pipeline =
      ResamplePipeline::Make(tables->toLinear, tables->fromLinear, box.width, box.height, cropWidth,
                             cropHeight, box.pixels, box.stride, nullptr, 0);
  if (pipeline) {
    pipeline->ReadFrom(&stream);
    pipeline->Produce(box.height);
    return;
  }
  // Nothing to filter: the crop is the box's size along each axis, or one
  // pixel long, so it is no larger than the box; it is gathered whole and
  // copied as the resampler copies it.
  const size_t rowBytes = size_t(cropWidth) * 3;
  std::unique_ptr<uint8_t[]> rows(
      new uint8_t[CheckedResampleCount(int64_t(rowBytes) * cropHeight, 1)]);
  for (int32_t y = 0; y < cropHeight; ++y) {
    std::memcpy(rows.get() + size_t(y) * rowBytes, stream.NextRow(), rowBytes);
  }
  ScaleNearest(box.pixels, box.width, box.height, box.stride, rows.get(), cropWidth, cropHeight,
               int32_t(rowBytes));
}

void ComposeCardFromPictures(const Card& card, const std::vector<const uint8_t*>& pictures,
                             int32_t width, int32_t height, uint8_t* pixels, int32_t stride) {
  if (width <= 0 || height <= 0 || !pixels) return;
  const CardTemplate& t = card.cardTemplate;
  if (t.width == 0 || t.height == 0 || !t.regionMap) {
    RenderCard(card, width, height, pixels, stride, false);  // blank paper
    return;
  }
  const int32_t w0 = int32_t(t.width);
  const int32_t h0 = int32_t(t.height);
  const bool atTemplateSize = width == w0 && height == h0;
  std::unique_ptr<uint8_t[]> internal;
  RasterView work{pixels, width, height, stride};
  if (!atTemplateSize) {
    const uint32_t workStride = CardImageStride(t.width);
    internal.reset(new uint8_t[size_t(workStride) * t.height]);
    work = RasterView{internal.get(), w0, h0, int32_t(workStride)};
  }
  std::memset(work.pixels, 0xFF, size_t(work.stride) * size_t(h0));
  for (size_t i = 0; i < card.slots.size(); ++i) {
    const PhotoSlot& slot = card.slots[i];
    if (slot.BoxWidth() <= 0 || slot.BoxHeight() <= 0) continue;
    if (slot.left < 0 || slot.top < 0 || slot.right > w0 || slot.bottom > h0) continue;
    const uint8_t* picture = i < pictures.size() ? pictures[i] : nullptr;
    std::unique_ptr<uint8_t[]> drawn;
    if (!picture) {
      const int32_t boxWidth = slot.BoxWidth(), boxHeight = slot.BoxHeight();
      drawn.reset(new uint8_t[size_t(boxWidth) * size_t(boxHeight) * 3]);
      DrawSlotPicture(card, slot, RasterView{drawn.get(), boxWidth, boxHeight, boxWidth * 3},
                      false);
      picture = drawn.get();
    }
    MaskSlotIntoCard(t, slot, picture, work);
  }
  BlendOverlay(t, work);
  if (!atTemplateSize) {
    ScaleCardPicture(RasterView{pixels, width, height, stride}, work.pixels, w0, h0, work.stride,
                     false);
  }
}

}  // namespace engine
