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

}  // namespace interaction
