#pragma once

#include <cstdint>

#include "engine/card/CardTemplate.h"
#include "geometry/Rect.h"

namespace interaction {

// The slot whose region lies under client point (x, y) of a card shown in
// `cardRect`, or -1. The point is mapped to template pixels and must fall in
// a slot's box on a region-map pixel of that slot's key (alpha plays no part).
int32_t HitTestSlot(const engine::Card& card, const geometry::Rect& cardRect, int32_t x, int32_t y);

}  // namespace interaction
