#pragma once

#include <cstdint>
#include <vector>

#include "document/CardState.h"
#include "geometry/Rect.h"
#include "text/TextBox.h"

namespace interaction {

// Where on a text box the pointer is: inside it, or on one of the
// selected box's handles (its edges' middles and its corners).
enum class TextPart : uint8_t {
  None,
  Body,
  Left,
  Top,
  Right,
  Bottom,
  TopLeft,
  TopRight,
  BottomLeft,
  BottomRight,
};

struct TextHit {
  int32_t index = -1;  // the box, -1 for none
  TextPart part = TextPart::None;
  bool operator==(const TextHit& o) const { return index == o.index && part == o.part; }
};

// The part of the card words stay in unless moved out on purpose, as
// fractions of the card: an eighth of an inch inside each edge of the
// design's physical size (a design without one has no margin).
struct SafeArea {
  double left = 0, top = 0, right = 1, bottom = 1;
};
SafeArea SafeAreaOf(const document::CardState& state);
// The design's physical width, which a box's points are fractions of: its
// print size's, else its only size's. 0 when it has none.
double DesignWidthInches(const document::CardState& state);

// The box on a card shown in `cardRect` (client pixels).
geometry::Rect TextBoxOnScreen(const text::TextBox& box, const geometry::Rect& cardRect);
// The eight handles of a box on screen, squares `grip` pixels wide, in the
// order of TextPart from Left to BottomRight.
std::vector<geometry::Rect> TextHandles(const geometry::Rect& onScreen, int32_t grip);

// What lies under client point `p`: the handles of box `selected` first,
// then the topmost box (the last drawn) that holds the point.
TextHit HitTestText(const std::vector<text::TextBox>& boxes, const geometry::Rect& cardRect,
                    geometry::Point p, int32_t selected, int32_t grip);

// The box moved by (dx, dy) card fractions from `start`; with `keepInside`
// it stays within `safe` (a box larger than the safe area keeps its size
// and sits at the area's top left).
text::TextBox MoveTextBox(const text::TextBox& start, double dx, double dy, const SafeArea& safe,
                          bool keepInside);
// The box with the edges that `part` names moved by (dx, dy) card
// fractions, never smaller than `minWidth` x `minHeight`; with `keepInside`
// the moved edges stay within `safe`.
text::TextBox ResizeTextBox(const text::TextBox& start, TextPart part, double dx, double dy,
                            const SafeArea& safe, bool keepInside, double minWidth,
                            double minHeight);

}  // namespace interaction
