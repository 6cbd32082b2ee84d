#include "engine/compose/CardCompositor.h"

#include <cstring>
#include <memory>

#include "engine/compose/OverlayBlend.h"
#include "engine/card/PhotoPlacement.h"
#include "engine/compose/PlaceholderTile.h"
#include "engine/compose/RegionMask.h"
#include "engine/resample/ResampleJob.h"
#include "engine/resample/ResampleTask.h"

namespace engine {

namespace {

// Saved cards are resampled in linear light with this gamma.
constexpr float kGamma = 2.2f;

void Scale(const RasterView& dst, const uint8_t* src, int32_t srcWidth, int32_t srcHeight,
           int32_t srcStride, bool draft) {
  if (draft) {
    ResampleJob job(dst.width, dst.height, srcWidth, srcHeight, dst.pixels, dst.stride, src,
                    srcStride);
    job.ScaleNearest();
  } else {
    ResampleJob job(kGamma, dst.width, dst.height, srcWidth, srcHeight, dst.pixels, dst.stride, src,
                    srcStride);
    job.Resample();
    job.ReleaseTables();
  }
}

void FillWhite(const RasterView& view) {
  for (int32_t y = 0; y < view.height; ++y) std::memset(view.Row(y), 0xFF, size_t(view.width) * 3);
}

// Draws one visible slot's photo (or the placeholder) into a box-sized buffer
// and masks it into its region of the card.
void DrawSlot(const Card& card, const PhotoSlot& slot, const RasterView& work, bool draft) {
  const int32_t boxWidth = slot.BoxWidth();
  const int32_t boxHeight = slot.BoxHeight();
  std::unique_ptr<uint8_t[]> buffer(new uint8_t[size_t(boxWidth) * size_t(boxHeight) * 3]);
  DrawSlotPicture(card, slot, RasterView{buffer.get(), boxWidth, boxHeight, boxWidth * 3}, draft);
  MaskSlotIntoCard(card.cardTemplate, slot, buffer.get(), work);
}

}  // namespace

void DrawSlotPicture(const Card& card, const PhotoSlot& slot, const RasterView& box, bool draft) {
  if (slot.HasPhoto()) {
    const Crop crop = ComputeCrop(slot);
    const RasterView photo = slot.PhotoView();
    const uint8_t* origin =
        photo.pixels + (size_t(crop.cropY) * slot.photoWidth + size_t(crop.cropX)) * 3;
    Scale(box, origin, int32_t(crop.cropWidth), int32_t(crop.cropHeight), photo.stride, draft);
  } else {
    DrawPlaceholder(card.Tile(), box);
  }
}

std::unique_ptr<ResampleTask> SlotPictureTask(const PhotoSlot& slot, const RasterView& box) {
  const Crop crop = ComputeCrop(slot);
  const RasterView photo = slot.PhotoView();
  const uint8_t* origin =
      photo.pixels + (size_t(crop.cropY) * slot.photoWidth + size_t(crop.cropX)) * 3;
  return std::make_unique<ResampleTask>(kGamma, box.width, box.height, int32_t(crop.cropWidth),
                                        int32_t(crop.cropHeight), box.pixels, box.stride, origin,
                                        photo.stride);
}

std::unique_ptr<ResampleTask> CardScaleTask(const RasterView& dst, const uint8_t* src,
                                            int32_t srcWidth, int32_t srcHeight,
                                            int32_t srcStride) {
  return std::make_unique<ResampleTask>(kGamma, dst.width, dst.height, srcWidth, srcHeight,
                                        dst.pixels, dst.stride, src, srcStride);
}

void ScaleCardPicture(const RasterView& dst, const uint8_t* src, int32_t srcWidth,
                      int32_t srcHeight, int32_t srcStride, bool draft) {
  Scale(dst, src, srcWidth, srcHeight, srcStride, draft);
}

void RenderCard(const Card& card, int32_t width, int32_t height, uint8_t* pixels, int32_t stride,
                bool draft) {
  if (width <= 0 || height <= 0 || !pixels) return;
  const CardTemplate& t = card.cardTemplate;
  const RasterView out{pixels, width, height, stride};
  if (t.width == 0 || t.height == 0 || !t.regionMap) {
    // No template was ever installed: the card is blank paper.
    FillWhite(out);
    return;
  }

  const int32_t w0 = int32_t(t.width);
  const int32_t h0 = int32_t(t.height);
  const bool atTemplateSize = width == w0 && height == h0;
  std::unique_ptr<uint8_t[]> internal;
  RasterView work = out;
  if (!atTemplateSize) {
    const uint32_t workStride = CardImageStride(t.width);
    internal.reset(new uint8_t[size_t(workStride) * t.height]);
    work = RasterView{internal.get(), w0, h0, int32_t(workStride)};
  }

  // Rows of the caller's buffer may be padded; the padding turns white too.
  std::memset(work.pixels, 0xFF, size_t(work.stride) * size_t(h0));

  for (const PhotoSlot& slot : card.slots) {
    if (slot.BoxWidth() <= 0 || slot.BoxHeight() <= 0) continue;
    // A box outside the template can only come from a corrupted slot list;
    // drawing it would write outside the card.
    if (slot.left < 0 || slot.top < 0 || slot.right > w0 || slot.bottom > h0) continue;
    DrawSlot(card, slot, work, draft);
  }

  BlendOverlay(t, work);

  if (!atTemplateSize) Scale(out, work.pixels, w0, h0, work.stride, draft);
}

}  // namespace engine
