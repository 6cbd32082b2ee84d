#include "document/CardExport.h"

#include <memory>
#include <new>
#include <system_error>

#include "document/BuiltInDesigns.h"
#include "engine/compose/CardCompositor.h"
#include "engine/raster/Raster.h"
#include "imagefiles/PdfCardWriter.h"
#include "text/DrawTexts.h"
#include "text/VectorWords.h"

namespace document {

imagefiles::SaveResult ExportCard(const engine::Card& card, uint32_t width, uint32_t height,
                                  bool draft, const imagefiles::OutputTarget& target,
                                  imagefiles::CardFormat format) {
  return ExportCard(card, width, height, draft, target, format, imagefiles::CardEncoding());
}

imagefiles::SaveResult RenderCardPicture(const engine::Card& card, const CardWords& words,
                                         uint32_t width, uint32_t height, bool draft,
                                         std::unique_ptr<uint8_t[]>* pixels, uint32_t* stride) {
  using imagefiles::SaveResult;
  size_t bytes = 0;
  if (!engine::CheckedRasterSize(width, height, engine::PixelFormat::Rgb24, &bytes))
    return SaveResult::Failed(imagefiles::SaveStep::Card, imagefiles::SaveError::BadCard);
  *stride = engine::CardImageStride(width);
  try {
    // Every pixel is rendered, so the buffer needs no clearing first.
    pixels->reset(new uint8_t[size_t(*stride) * height]);
    engine::RenderCard(card, int32_t(width), int32_t(height), pixels->get(), int32_t(*stride),
                       draft);
  } catch (const std::bad_alloc&) {
    return SaveResult::Failed(imagefiles::SaveStep::Render,
                              std::make_error_code(std::errc::not_enough_memory));
  }
  if (!words.Empty())
    text::DrawTexts(pixels->get(), *stride, width, height, words.pixelsPerInch, *words.boxes);
  return SaveResult();
}

imagefiles::SaveResult ExportCard(const engine::Card& card, uint32_t width, uint32_t height,
                                  bool draft, const imagefiles::OutputTarget& target,
                                  imagefiles::CardFormat format,
                                  const imagefiles::CardEncoding& encoding) {
  return ExportCard(card, CardWords(), width, height, draft, target, format, encoding);
}

imagefiles::SaveResult ExportCard(const engine::Card& card, const CardWords& words,
                                  uint32_t width, uint32_t height, bool draft,
                                  const imagefiles::OutputTarget& target,
                                  imagefiles::CardFormat format,
                                  const imagefiles::CardEncoding& encoding) {
  std::unique_ptr<uint8_t[]> pixels;
  uint32_t stride = 0;
  const imagefiles::SaveResult rendered =
      RenderCardPicture(card, words, width, height, draft, &pixels, &stride);
  if (!rendered) return rendered;
  return imagefiles::WriteCard(target, format, pixels.get(), width, height, stride, encoding);
}

imagefiles::SaveResult ExportCardPdf(const engine::Card& card, uint32_t width, uint32_t height,
                                     bool draft, const imagefiles::OutputTarget& target,
                                     const imagefiles::CardEncoding& encoding,
                                     double pixelsPerInch, const imagefiles::PdfPageOptions& page) {
  return ExportCardPdf(card, CardWords(), width, height, draft, target, encoding, pixelsPerInch,
                       page);
}

imagefiles::SaveResult ExportCardPdf(const engine::Card& card, const CardWords& words,
                                     uint32_t width, uint32_t height, bool draft,
                                     const imagefiles::OutputTarget& target,
                                     const imagefiles::CardEncoding& encoding,
                                     double pixelsPerInch, const imagefiles::PdfPageOptions& page) {
  // The words go over the card's picture as text, not into its pixels.
  std::unique_ptr<uint8_t[]> pixels;
  uint32_t stride = 0;
  const imagefiles::SaveResult rendered =
      RenderCardPicture(card, CardWords(), width, height, draft, &pixels, &stride);
  if (!rendered) return rendered;
  text::VectorWords set;
  if (!words.Empty()) {
    try {
      set = text::SetVectorWords(width, height, words.pixelsPerInch, *words.boxes);
    } catch (const std::bad_alloc&) {
      return imagefiles::SaveResult::Failed(imagefiles::SaveStep::Render,
                                            std::make_error_code(std::errc::not_enough_memory));
    }
  }
  return imagefiles::WriteCardPdf(target, pixels.get(), width, height, stride, encoding,
                                  pixelsPerInch, page, &set);
}

double CardPixelsPerInch(const CardState& state) {
  const DesignInfo info = DescribeDesign(state);
  for (const DesignSize& size : info.sizes)
    if (size.width == state.card.cardTemplate.width &&
        size.height == state.card.cardTemplate.height && size.ppi != 0)
      return size.ppi;
  return kScreenPpi;
}

namespace {

// The card at `size`: itself at its template's size, else its version there.
bool CardForSize(const CardState& state, const DesignSize& size,
                 const engine::ImageReader& reader, engine::Card* scaled, const engine::Card** card) {
  if (size.width == state.card.cardTemplate.width &&
      size.height == state.card.cardTemplate.height) {
    *card = &state.card;
    return true;
  }
  if (!CardAtSize(state, size, reader, scaled)) return false;
  *card = scaled;
  return true;
}

}  // namespace

imagefiles::SaveResult ExportCard(const CardState& state, const DesignSize& size,
                                  const engine::ImageReader& reader,
                                  const imagefiles::OutputTarget& target,
                                  imagefiles::CardFormat format, bool draft) {
  engine::Card scaled;
  const engine::Card* card = nullptr;
  if (!CardForSize(state, size, reader, &scaled, &card))
    return imagefiles::SaveResult::Failed(imagefiles::SaveStep::Card,
                                          imagefiles::SaveError::BadCard);
  return ExportCard(*card, CardWords{&state.texts, double(size.ppi)}, size.width, size.height,
                    draft, target, format, size.encoding);
}

imagefiles::SaveResult ExportCardPdf(const CardState& state, const DesignSize& size,
                                     const engine::ImageReader& reader,
                                     const imagefiles::OutputTarget& target,
                                     const imagefiles::PdfPageOptions& page, bool draft) {
  engine::Card scaled;
  const engine::Card* card = nullptr;
  if (!CardForSize(state, size, reader, &scaled, &card))
    return imagefiles::SaveResult::Failed(imagefiles::SaveStep::Card,
                                          imagefiles::SaveError::BadCard);
  return ExportCardPdf(*card, CardWords{&state.texts, double(size.ppi)}, size.width,
                       size.height, draft, target, size.encoding, size.ppi, page);
}

}  // namespace document
