#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "text/TextBox.h"

namespace text {

// What setting the words could not do as asked, for the hint line.
struct TextNotes {
  std::vector<std::string> missingFonts;  // families replaced by the bundled sans
};

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
