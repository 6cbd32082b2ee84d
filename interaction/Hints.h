#pragma once

#include <cstdint>

#include <string>

#include "document/CardState.h"
#include "engine/card/CardTemplate.h"

namespace interaction {

// What the hint line speaks about. The sentence follows the card: the same
// subject gives another sentence once the card changes (a photo added, a
// change undone).
struct HintSubject {
  enum class Kind : uint8_t {
    Card,            // the pointer is elsewhere: what the card still needs
    PointerRegion,   // the pointer is over region `slot` (-1: over none)
    KeyboardRegion,  // the focus ring is on region `slot`
    Command,         // a toolbar button, `command`
    Zoom,            // the wheel or the keys zoom the photo of `slot`
    DropPhoto,       // files dragged over region `slot` would put a photo there
    DropLayout,      // files dragged over the window hold a layout to use
    Text,            // text box `slot`: under the pointer, or selected
  };
  Kind kind = Kind::Card;
  int32_t slot = -1;
  int command = 0;

  bool operator==(const HintSubject& o) const {
    return kind == o.kind && slot == o.slot && command == o.command;
  }
  bool operator!=(const HintSubject& o) const { return !(*this == o); }
};

// The hint line's sentence for a pointer over the window but over no
// region: what the card still needs.
const char* GeneralHint(const engine::Card& card);

// For a pointer over slot `slot` (-1: over no region).
const char* PointerHint(const engine::Card& card, int32_t slot);

// For the region with the keyboard's focus ring.
const char* KeyboardHint(const engine::Card& card, int32_t slot);

// The same for a card whose photos may be missing (a project's, their files
// not found): such a region gets kHintPhotoMissing, with the photo's file
// name in `detail`.
const char* PointerHint(const document::CardState& state, int32_t slot, std::string* detail);
const char* KeyboardHint(const document::CardState& state, int32_t slot, std::string* detail);

}  // namespace interaction
