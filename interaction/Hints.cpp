#include "interaction/Hints.h"

#include "interaction/HintTexts.h"

namespace interaction {

const char* GeneralHint(const engine::Card& card) {
  return engine::AllSlotsFilled(card.slots) ? kHintCardComplete : kHintAddMorePhotos;
}

const char* PointerHint(const engine::Card& card, int32_t slot) {
  if (slot < 0 || size_t(slot) >= card.slots.size()) return GeneralHint(card);
  return card.slots[size_t(slot)].HasPhoto() ? kHintDragPicture : kHintClickToAdd;
}

const char* KeyboardHint(const engine::Card& card, int32_t slot) {
  if (slot < 0 || size_t(slot) >= card.slots.size()) return GeneralHint(card);
  return card.slots[size_t(slot)].HasPhoto() ? kHintKeysMovePicture : kHintPressEnterToAdd;
}

namespace {

// The file name of a region's photo that was not found; empty otherwise.
std::string MissingPhotoName(const document::CardState& state, int32_t slot) {
  if (slot < 0 || size_t(slot) >= state.card.slots.size() || size_t(slot) >= state.photos.size())
    return std::string();
  const document::PhotoSource& source = state.photos[size_t(slot)];
  if (source.Empty() || state.card.slots[size_t(slot)].HasPhoto()) return std::string();
  const size_t slash = source.path.find_last_of("/\\");
  return slash == std::string::npos ? source.path : source.path.substr(slash + 1);
}

}  // namespace

const char* PointerHint(const document::CardState& state, int32_t slot, std::string* detail) {
  *detail = MissingPhotoName(state, slot);
  return detail->empty() ? PointerHint(state.card, slot) : kHintPhotoMissing;
}

const char* KeyboardHint(const document::CardState& state, int32_t slot, std::string* detail) {
  *detail = MissingPhotoName(state, slot);
  return detail->empty() ? KeyboardHint(state.card, slot) : kHintPhotoMissing;
}

}  // namespace interaction
