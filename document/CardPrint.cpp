#include "document/CardPrint.h"

#include "document/CardExport.h"

namespace document {

imagefiles::SaveResult RenderCardForPrint(const CardState& state, const DesignSize& size,
                                          const engine::ImageReader& reader, uint32_t width,
                                          uint32_t height, std::unique_ptr<uint8_t[]>* pixels,
                                          uint32_t* stride) {
  engine::Card scaled;
  const engine::Card* card = &state.card;
  if (size.width != state.card.cardTemplate.width ||
      size.height != state.card.cardTemplate.height) {
    if (!CardAtSize(state, size, reader, &scaled))
      return imagefiles::SaveResult::Failed(imagefiles::SaveStep::Card,
                                            imagefiles::SaveError::BadCard);
    card = &scaled;
  }
  // The words keep their size in inches of the printed card, whatever the
  // printer's resolution.
  const double inches = size.WidthInches();
  const double wordsPpi = inches > 0 ? width / inches : double(size.ppi);
  return RenderCardPicture(*card, CardWords{&state.texts, wordsPpi}, width, height, false,
                           pixels, stride);
}

}  // namespace document
