#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "document/CardState.h"
#include "document/DesignSizes.h"
#include "engine/card/CardTemplate.h"
#include "engine/raster/ImageReader.h"
#include "imagefiles/CardWriter.h"
#include "imagefiles/PdfPlacement.h"
#include "text/TextBox.h"

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

// The words a card carries, and how many of the output's pixels make an
// inch of the printed card, which sets their type size.
struct CardWords {
  const std::vector<text::TextBox>* boxes = nullptr;  // null or empty: none
  double pixelsPerInch = 0;

  bool Empty() const { return !boxes || boxes->empty(); }
};

// The card's pixels as every output has them (Rgb24, `*stride` bytes a
// row): RenderCard, then the words set over it. Fails with SaveStep::Card
// on a size no picture can have, SaveStep::Render for want of memory.
imagefiles::SaveResult RenderCardPicture(const engine::Card& card, const CardWords& words,
                                         uint32_t width, uint32_t height, bool draft,
                                         std::unique_ptr<uint8_t[]>* pixels, uint32_t* stride);

// ExportCard and ExportCardPdf with words over the card (a PDF draws them as text).
imagefiles::SaveResult ExportCard(const engine::Card& card, const CardWords& words,
                                  uint32_t width, uint32_t height, bool draft,
                                  const imagefiles::OutputTarget& target,
                                  imagefiles::CardFormat format,
                                  const imagefiles::CardEncoding& encoding);
imagefiles::SaveResult ExportCardPdf(const engine::Card& card, const CardWords& words,
                                     uint32_t width, uint32_t height, bool draft,
                                     const imagefiles::OutputTarget& target,
                                     const imagefiles::CardEncoding& encoding,
                                     double pixelsPerInch, const imagefiles::PdfPageOptions& page);

// The resolution of the card as edited (its template's pixels): its
// design's for that size, else the built-in designs' screen resolution.
double CardPixelsPerInch(const CardState& state);

// The card at one of its design's sizes (CardAtSize), written with that
// size's encoding, its words set at that size's resolution: what Save does.
// Fails with SaveStep::Card, writing nothing, when the design has no version
// at `size`.
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
