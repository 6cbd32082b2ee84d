#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "text/CoverageMask.h"
#include "text/TextBox.h"

namespace text {

// What setting the words could not do as asked, for the hint line.
struct TextNotes {
  std::vector<std::string> missingFonts;  // families replaced by the bundled sans
};

// Words set in type for a picture of one size: the coverage of each coat
// (a shadow or outline, then the letters) and its colour, in drawing order.
// Setting is the costly part; a picture that changes under words that do
// not (a photo dragged beneath them) is composed again from these.
struct SetWords {
  struct Coat {
    CoverageMask mask;
    int64_t dx = 0, dy = 0;  // where the mask is moved to
    uint32_t colour = 0;     // 0xAARRGGBB, sRGB
  };
  uint32_t width = 0, height = 0;  // of the picture they were set for
  std::vector<Coat> coats;
};

SetWords SetTexts(uint32_t width, uint32_t height, double pixelsPerInch,
                  const std::vector<TextBox>& boxes, TextNotes* notes = nullptr);
// Composes set words over an Rgb24 picture of their size, in linear light.
void ComposeTexts(uint8_t* rgb, size_t stride, const SetWords& words);

// Sets each box in type and composes it over a card picture (Rgb24, sRGB,
// `stride` bytes a row), in linear light like the rest of the card.
// `pixelsPerInch`: how many of the picture's pixels make an inch of the
// printed card, so that a box's points come out the same size in print at
// every resolution.
void DrawTexts(uint8_t* rgb, size_t stride, uint32_t width, uint32_t height, double pixelsPerInch,
               const std::vector<TextBox>& boxes, TextNotes* notes = nullptr);

// The families the user may choose: the bundled ones first, then the
// system's.
std::vector<std::string> FontFamilies();

// Whether `family` can be set as it is, not in the fallback.
bool HasFamily(const std::string& family);

// The family that stands in for a missing one: "DejaVu Sans".
const char* FallbackFamily();

}  // namespace text
