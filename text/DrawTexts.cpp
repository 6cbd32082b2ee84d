#include "text/DrawTexts.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "text/BoxSetting.h"
#include "text/FontFiles.h"
#include "text/GlyphRaster.h"
#include "text/LinearCompose.h"
#include "text/MaskEffects.h"
#include "text/SystemFonts.h"

namespace text {

namespace {

void SetBox(uint32_t width, uint32_t height, double pixelsPerInch, const TextBox& box,
            FT_Library library, FontSet& fonts, TextNotes* notes, SetWords* out) {
  BoxInType set;
  if (!SetInType(width, height, pixelsPerInch, box, fonts, notes, &set)) return;
  CoverageMask mask = RasteriseGlyphs(library, set.glyphs, width, height, set.margin);
  if (mask.Empty()) return;
  if (box.effect == TextEffect::Shadow) {
    out->coats.push_back({Blurred(mask, set.blur), set.offset, set.offset, set.contrast});
  } else if (box.effect == TextEffect::Outline) {
    out->coats.push_back({Dilated(mask, set.outline), 0, 0, set.contrast});
  }
  out->coats.push_back({std::move(mask), 0, 0, box.colour});
}

}  // namespace

SetWords SetTexts(uint32_t width, uint32_t height, double pixelsPerInch,
                  const std::vector<TextBox>& boxes, TextNotes* notes) {
  SetWords words;
  words.width = width;
  words.height = height;
  const bool whole = SetWithFonts(width, height, pixelsPerInch, boxes,
                                  [&](FT_Library library, FontSet& fonts) {
                                    for (const TextBox& box : boxes)
                                      SetBox(width, height, pixelsPerInch, box, library, fonts,
                                             notes, &words);
                                  });
  // Words too large to set in the memory there is: the card as it is.
  if (!whole) words.coats.clear();
  return words;
}

void ComposeTexts(uint8_t* rgb, size_t stride, const SetWords& words) {
  if (!rgb) return;
  for (const SetWords::Coat& coat : words.coats)
    ComposeCoverage(rgb, stride, words.width, words.height, coat.mask, coat.dx, coat.dy,
                    coat.colour);
}

void DrawTexts(uint8_t* rgb, size_t stride, uint32_t width, uint32_t height, double pixelsPerInch,
               const std::vector<TextBox>& boxes, TextNotes* notes) {
  if (!rgb) return;
  ComposeTexts(rgb, stride, SetTexts(width, height, pixelsPerInch, boxes, notes));
}

bool HasFamily(const std::string& family) {
  FamilyFaces faces;
  return FindFamily(family, &faces);
}

const char* FallbackFamily() { return kFallbackFamily; }

std::vector<std::string> FontFamilies() {
  std::vector<std::string> names = BundledFamilies();
  const size_t bundled = names.size();
  for (const auto& entry : SystemFamilies())
    if (std::find(names.begin(), names.begin() + std::ptrdiff_t(bundled), entry.first) ==
        names.begin() + std::ptrdiff_t(bundled))
      names.push_back(entry.first);
  return names;
}

}  // namespace text
