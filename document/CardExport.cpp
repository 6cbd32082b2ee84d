#include "document/CardExport.h"

#include <memory>
#include <new>
#include <system_error>

#include "engine/compose/CardCompositor.h"
#include "engine/raster/Raster.h"
#include "imagefiles/PdfCardWriter.h"

namespace document {

imagefiles::SaveResult ExportCard(const engine::Card& card, uint32_t width, uint32_t height,
                                  bool draft, const imagefiles::OutputTarget& target,
                                  imagefiles::CardFormat format) {
  return ExportCard(card, width, height, draft, target, format, imagefiles::CardEncoding());
}

imagefiles::SaveResult ExportCard(const CardState& state, const DesignSize& size,
                                  const engine::ImageReader& reader,
                                  const imagefiles::OutputTarget& target,
                                  imagefiles::CardFormat format, bool draft) {
  if (size.width == state.card.cardTemplate.width &&
      size.height == state.card.cardTemplate.height) {
    return ExportCard(state.card, size.width, size.height, draft, target, format, size.encoding);
  }
  engine::Card card;
  if (!CardAtSize(state, size, reader, &card))
    return imagefiles::SaveResult::Failed(imagefiles::SaveStep::Card,
                                          imagefiles::SaveError::BadCard);
  return ExportCard(card, size.width, size.height, draft, target, format, size.encoding);
}

namespace {

// The card's pixels as Save writes them; false on a bad size (BadCard) or
// want of memory (Render), with `*failure` set.
bool RenderForSave(const engine::Card& card, uint32_t width, uint32_t height, bool draft,
                   std::unique_ptr<uint8_t[]>* pixels, uint32_t* stride,
                   imagefiles::SaveResult* failure) {
  using imagefiles::SaveResult;
  size_t bytes = 0;
  if (!engine::CheckedRasterSize(width, height, engine::PixelFormat::Rgb24, &bytes)) {
    *failure = SaveResult::Failed(imagefiles::SaveStep::Card, imagefiles::SaveError::BadCard);
    return false;
  }
  *stride = engine::CardImageStride(width);
  try {
    // Every pixel is rendered, so the buffer needs no clearing first.
    pixels->reset(new uint8_t[size_t(*stride) * height]);
    engine::RenderCard(card, int32_t(width), int32_t(height), pixels->get(), int32_t(*stride),
                       draft);
  } catch (const std::bad_alloc&) {
    *failure = SaveResult::Failed(imagefiles::SaveStep::Render,
                                  std::make_error_code(std::errc::not_enough_memory));
    return false;
  }
  return true;
}

}  // namespace

imagefiles::SaveResult ExportCard(const engine::Card& card, uint32_t width, uint32_t height,
                                  bool draft, const imagefiles::OutputTarget& target,
                                  imagefiles::CardFormat format,
                                  const imagefiles::CardEncoding& encoding) {
  std::unique_ptr<uint8_t[]> pixels;
  uint32_t stride = 0;
  imagefiles::SaveResult failure;
  if (!RenderForSave(card, width, height, draft, &pixels, &stride, &failure)) return failure;
  return imagefiles::WriteCard(target, format, pixels.get(), width, height, stride, encoding);
}

imagefiles::SaveResult ExportCardPdf(const engine::Card& card, uint32_t width, uint32_t height,
                                     bool draft, const imagefiles::OutputTarget& target,
                                     const imagefiles::CardEncoding& encoding,
                                     double pixelsPerInch, const imagefiles::PdfPageOptions& page) {
  std::unique_ptr<uint8_t[]> pixels;
  uint32_t stride = 0;
  imagefiles::SaveResult failure;
  if (!RenderForSave(card, width, height, draft, &pixels, &stride, &failure)) return failure;
  return imagefiles::WriteCardPdf(target, pixels.get(), width, height, stride, encoding,
                                  pixelsPerInch, page);
}

imagefiles::SaveResult ExportCardPdf(const CardState& state, const DesignSize& size,
                                     const engine::ImageReader& reader,
                                     const imagefiles::OutputTarget& target,
                                     const imagefiles::PdfPageOptions& page, bool draft) {
  if (size.width == state.card.cardTemplate.width &&
      size.height == state.card.cardTemplate.height) {
    return ExportCardPdf(state.card, size.width, size.height, draft, target, size.encoding,
                         size.ppi, page);
  }
  engine::Card card;
  if (!CardAtSize(state, size, reader, &card))
    return imagefiles::SaveResult::Failed(imagefiles::SaveStep::Card,
                                          imagefiles::SaveError::BadCard);
  return ExportCardPdf(card, size.width, size.height, draft, target, size.encoding,
                         size.ppi, page);
}

}  // namespace document
