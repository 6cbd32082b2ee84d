#pragma once

#include <cstdint>
#include <memory>

#include "engine/card/CardTemplate.h"
#include "engine/raster/RasterView.h"

namespace engine {

// Renders the card (photos cropped into their regions, the placeholder tile
// in empty ones, white elsewhere, the overlay on top) into the caller's Rgb24
// buffer of width x height with `stride` bytes per row. At the template's own
// size the card is composed straight into that buffer; at any other size it
// is composed at template size and scaled once. `draft` picks nearest-
// neighbour scaling (the screen); otherwise photos and the final scaling are
// resampled in linear light (saving).
void RenderCard(const Card& card, int32_t width, int32_t height, uint8_t* pixels, int32_t stride,
                bool draft);

// The two halves of RenderCard's work, for callers that render in steps and
// must give the same bytes. DrawSlotPicture draws a visible slot's photo (or
// the placeholder) into a box-sized picture; ScaleCardPicture scales the
// template-sized card onto `dst`.
void DrawSlotPicture(const Card& card, const PhotoSlot& slot, const RasterView& box, bool draft);

class ResampleTask;
// DrawSlotPicture in full quality for a slot holding a photo, as a task that
// can be run a band of rows at a time. The photo must outlive the task.
std::unique_ptr<ResampleTask> SlotPictureTask(const PhotoSlot& slot, const RasterView& box);
// ScaleCardPicture in full quality as such a task.
std::unique_ptr<ResampleTask> CardScaleTask(const RasterView& dst, const uint8_t* src,
                                            int32_t srcWidth, int32_t srcHeight, int32_t srcStride);
void ScaleCardPicture(const RasterView& dst, const uint8_t* src, int32_t srcWidth,
                      int32_t srcHeight, int32_t srcStride, bool draft);

}  // namespace engine
