#pragma once

#include <cstdint>
#include <memory>

#include "document/CardState.h"
#include "document/DesignSizes.h"
#include "engine/raster/ImageReader.h"
#include "imagefiles/CardWriter.h"

namespace document {

// The card as Save makes it at `size` (that size's version of the design,
// the same photos and framing, the words at their printed size), rendered
// at width x height pixels: what a printer gets, at its own resolution
// rather than the file's. Fails with SaveStep::Card when the design has no
// version at `size`.
imagefiles::SaveResult RenderCardForPrint(const CardState& state, const DesignSize& size,
                                          const engine::ImageReader& reader, uint32_t width,
                                          uint32_t height, std::unique_ptr<uint8_t[]>* pixels,
                                          uint32_t* stride);

}  // namespace document
