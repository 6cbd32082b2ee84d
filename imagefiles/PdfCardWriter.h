#pragma once

#include <cstdint>

#include "imagefiles/CardEncoding.h"
#include "imagefiles/OutputTarget.h"
#include "imagefiles/PdfPlacement.h"
#include "imagefiles/SaveResult.h"
#include "text/VectorWords.h"

namespace imagefiles {

// cairo's image surfaces end here.
constexpr uint32_t kMaxPdfCardSide = 32767;

// Writes an Rgb24 card (as WriteCard takes it) as a one-page PDF laid out
// by PlaceCardOnPage, the card being width x height pixels at
// `pixelsPerInch` (which a screen card's file does not record: it says
// 100 dpi of a card meant to be 150). The card is embedded once, however often the page
// shows it, as the very JPEG that WriteCard would write with `encoding`,
// so it is neither resampled nor compressed a second time. Cut marks are
// vector lines. The target is written as WriteCard writes it: on failure a
// file target is untouched and no partial file is left behind.
// `words`, set for a card of width x height, are drawn over every copy of
// the card as text, not in its pixels, so they stay sharp and can be found.
SaveResult WriteCardPdf(const OutputTarget& target, const uint8_t* pixels, uint32_t width,
                        uint32_t height, uint32_t stride, const CardEncoding& encoding,
                        double pixelsPerInch, const PdfPageOptions& page,
                        const text::VectorWords* words = nullptr);

}  // namespace imagefiles
