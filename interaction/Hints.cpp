#include "interaction/Hints.h"

#include "interaction/Commands.h"
#include "interaction/HintTexts.h"

namespace interaction {

const char* GeneralHint(const engine::Card& card) {
  return engine::AllSlotsFilled(card.slots) ? kHintCardComplete : kHintAddMorePhotos;
}

const char* PointerHint(const engine::Card& card, int32_t slot) {
  if (slot < 0 || size_t(slot) >= card.slots.size()) return GeneralHint(card);
  return card.slots[size_t(slot)].HasPhoto() ? kHintDragPicture : kHintClickToAdd;
}

const char* CommandHint(const engine::Card& card, int command, const char* current) {
  switch (command) {
    case 0:
      return GeneralHint(card);
    case kCommandSave:
      return engine::AllSlotsFilled(card.slots) ? kHintSaveReady : kHintSaveIncomplete;
    case kCommandTemplate:
      return kHintTemplate;
    case kCommandDonate:
      return kHintDonate;
    case kCommandHelp:
      return kHintHelp;
    default:
      return current;  // a button without a sentence leaves the line as it is
  }
}

}  // namespace interaction
