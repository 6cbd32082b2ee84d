#pragma once

#include <cstdint>

#include "document/CardState.h"
#include "document/DesignSizes.h"
#include "engine/card/CardTemplate.h"
#include "engine/raster/ImageReader.h"
#include "imagefiles/CardWriter.h"
#include "imagefiles/PdfPlacement.h"

namespace document {

// Renders the card at width x height (draft: nearest-neighbour, as on
// screen; otherwise the saved quality) and writes it with WriteCard: what
// Save does at the design's size, and what the command-line renderer does.
// The card is rendered before the target is opened, so a FIFO's reader
// never waits for the render.
imagefiles::SaveResult ExportCard(const engine::Card& card, uint32_t width, uint32_t height,
                                  bool draft, const imagefiles::OutputTarget& target,
                                  imagefiles::CardFormat format);
// The same with the file's resolution and JPEG settings from `encoding`.
imagefiles::SaveResult ExportCard(const engine::Card& card, uint32_t width, uint32_t height,
                                  bool draft, const imagefiles::OutputTarget& target,
                                  imagefiles::CardFormat format,
                                  const imagefiles::CardEncoding& encoding);

// The card at one of its design's sizes (CardAtSize), written with that
// size's encoding: what Save does. Fails with SaveStep::Card, writing
// nothing, when the design has no version at `size`.
imagefiles::SaveResult ExportCard(const CardState& state, const DesignSize& size,
                                  const engine::ImageReader& reader,
                                  const imagefiles::OutputTarget& target,
                                  imagefiles::CardFormat format, bool draft = false);

// The same card as a one-page PDF (WriteCardPdf): the pixels ExportCard
// would write, at `pixelsPerInch`, placed on the page as `page` says.
imagefiles::SaveResult ExportCardPdf(const engine::Card& card, uint32_t width, uint32_t height,
                                     bool draft, const imagefiles::OutputTarget& target,
                                     const imagefiles::CardEncoding& encoding,
                                     double pixelsPerInch, const imagefiles::PdfPageOptions& page);
// At one of its design's sizes, as ExportCard writes it there, and as large
// as that size is in print.
imagefiles::SaveResult ExportCardPdf(const CardState& state, const DesignSize& size,
                                     const engine::ImageReader& reader,
                                     const imagefiles::OutputTarget& target,
                                     const imagefiles::PdfPageOptions& page, bool draft = false);

}  // namespace document
