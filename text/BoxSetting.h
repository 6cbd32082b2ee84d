#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "text/DrawTexts.h"
#include "text/LineLayout.h"
#include "text/LoadedFont.h"

namespace text {

// The fonts of one drawing, each file at each size and made-up style loaded
// once.
class FontSet {
 public:
  explicit FontSet(FT_Library library) : library_(library) {}
  LoadedFont* Get(const FontFile& file, int64_t em, bool embolden, bool slant);
  // Which file and made-up styles `font` came from; null for a font not
  // loaded here.
  struct Origin {
    FontFile file;
    int64_t em = 0;
    bool embolden = false;
    bool slant = false;
  };
  const Origin* OriginOf(const LoadedFont* font) const;

 private:
  FT_Library library_;
  std::map<std::tuple<std::string, int, int64_t, bool, bool>, std::unique_ptr<LoadedFont>> fonts_;
  std::map<const LoadedFont*, Origin> origins_;
};

// A box set in type: its glyphs and the sizes of its effects, in card
// pixels. Both the card's pixels and a PDF's vector words are drawn from
// this, so they agree glyph for glyph.
struct BoxInType {
  std::vector<PlacedGlyph> glyphs;
  int blur = 0;         // the shadow's blur radius
  int64_t offset = 0;   // and how far down and right it falls
  int outline = 0;      // the outline's radius
  int64_t margin = 0;   // room the effect needs round the ink
  uint32_t contrast = 0;  // the effect's colour (0xAARRGGBB) for the box's colour
};

// False for a box with nothing to set (no words, no place on the card, no
// font at all).
bool SetInType(uint32_t width, uint32_t height, double pixelsPerInch, const TextBox& box,
               FontSet& fonts, TextNotes* notes, BoxInType* out);

// Runs `set` with a FreeType library and the fonts of one drawing when
// there is something to set; false when nothing was set in full (FreeType
// does not start, or the words need more memory than there is), and the
// caller drops what it has.
bool SetWithFonts(uint32_t width, uint32_t height, double pixelsPerInch,
                  const std::vector<TextBox>& boxes,
                  const std::function<void(FT_Library, FontSet&)>& set);

}  // namespace text
