#pragma once

#include <cstdint>

#include "engine/card/CardTemplate.h"

namespace interaction {

// The hint line's sentence for a pointer over the window but over no
// region: what the card still needs.
const char* GeneralHint(const engine::Card& card);

// For a pointer over slot `slot` (-1: over no region).
const char* PointerHint(const engine::Card& card, int32_t slot);

// For the toolbar button of `command` under the pointer (0: the pointer
// left the toolbar); `current` when the command has no sentence of its own.
const char* CommandHint(const engine::Card& card, int command, const char* current);

}  // namespace interaction
