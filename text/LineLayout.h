#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "text/LoadedFont.h"
#include "text/TextBox.h"

namespace text {

// A glyph set in place: its origin on the baseline, in 1/64 pixel of the
// card (y down).
struct PlacedGlyph {
  LoadedFont* font;
  uint32_t glyph;
  uint32_t cluster;  // the index of its first character among the words' characters
  int64_t x;
  int64_t y;
};

// A box on the card in 1/64 pixel.
struct LayoutBox {
  int64_t left = 0;
  int64_t top = 0;
  int64_t width = 0;
  int64_t height = 0;
  TextAlign align = TextAlign::Centre;
};

// The characters of UTF-8 words (an invalid sequence is U+FFFD; a tab is a
// space; carriage returns and other control characters are left out, but
// '\n', which starts a new line).
std::vector<uint32_t> DecodeWords(const std::string& words);

// Sets `words` in the box: each '\n' starts a line, and a line too wide
// breaks at its last space that fits, or inside a word longer than the box
// is wide. Right-to-left scripts (Arabic, Hebrew) run right to left, each
// line ordered by the directions of its characters around the direction of
// its paragraph's first strong character. Lines are aligned across the box
// and the block of lines centred in its height (from its top when taller).
// Characters `primary` lacks come from `fallback` when it has them.
std::vector<PlacedGlyph> LayOutWords(const std::string& words, const LayoutBox& box,
                                     LoadedFont& primary, LoadedFont* fallback);

}  // namespace text
