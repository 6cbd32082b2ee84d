#include "text/DrawTexts.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <new>
#include <tuple>
#include <utility>

#include "text/FontFiles.h"
#include "text/GlyphRaster.h"
#include "text/LineLayout.h"
#include "text/LinearCompose.h"
#include "text/LoadedFont.h"
#include "text/MaskEffects.h"
#include "text/SystemFonts.h"

namespace text {

namespace {

// Far enough outside the card for a box moved off it on purpose; anything
// further is not a place on the card.
constexpr double kFarthestFraction = 16;
// 1/64 pixel: beyond this an em is larger than any card.
constexpr int64_t kLargestEm = int64_t(16000) * 64;
// Below this linear brightness, words get a light shadow or outline.
constexpr uint32_t kDarkWords = 13107;  // a fifth of full light, sRGB 124

struct FaceChoice {
  FontFile file;
  bool embolden = false;
  bool slant = false;
};

FaceChoice ChooseFace(const FamilyFaces& faces, bool bold, bool italic) {
  if (bold && italic) {
    if (!faces.boldItalic.Empty()) return {faces.boldItalic};
    if (!faces.bold.Empty()) return {faces.bold, false, true};
    if (!faces.italic.Empty()) return {faces.italic, true, false};
    return {faces.regular, true, true};
  }
  if (bold)
    return faces.bold.Empty() ? FaceChoice{faces.regular, true, false} : FaceChoice{faces.bold};
  if (italic)
    return faces.italic.Empty() ? FaceChoice{faces.regular, false, true} : FaceChoice{faces.italic};
  return {faces.regular};
}

// The fonts of one drawing, each file at each size loaded once.
class FontSet {
 public:
  explicit FontSet(FT_Library library) : library_(library) {}
  LoadedFont* Get(const FaceChoice& choice, int64_t em) {
    const auto key =
        std::make_tuple(choice.file.path, choice.file.index, em, choice.embolden, choice.slant);
    auto found = fonts_.find(key);
    if (found == fonts_.end())
      found = fonts_
                  .emplace(key, LoadedFont::Load(library_, choice.file, em, choice.embolden,
                                                 choice.slant))
                  .first;
    return found->second.get();
  }

 private:
  FT_Library library_;
  std::map<std::tuple<std::string, int, int64_t, bool, bool>, std::unique_ptr<LoadedFont>> fonts_;
};

void Note(TextNotes* notes, const std::string& family) {
  if (!notes) return;
  if (std::find(notes->missingFonts.begin(), notes->missingFonts.end(), family) ==
      notes->missingFonts.end())
    notes->missingFonts.push_back(family);
}

bool Placeable(const TextBox& box) {
  for (double v : {box.left, box.top, box.width, box.height})
    if (!std::isfinite(v) || std::fabs(v) > kFarthestFraction) return false;
  return std::isfinite(box.sizePoints) && box.sizePoints > 0;
}

void SetBox(uint32_t width, uint32_t height, double pixelsPerInch, const TextBox& box,
            FT_Library library, FontSet& fonts, TextNotes* notes, SetWords* out) {
  if (box.words.empty() || !Placeable(box)) return;
  const double em = std::min(box.sizePoints * pixelsPerInch * 64.0 / 72.0, double(kLargestEm));
  const int64_t emSize = std::max<int64_t>(std::llround(em), 1);

  FamilyFaces faces, fallbackFaces;
  const bool haveFallback = FindFamily(kFallbackFamily, &fallbackFaces);
  if (!FindFamily(box.font, &faces)) {
    Note(notes, box.font);
    if (!haveFallback) return;
    faces = fallbackFaces;
  }
  LoadedFont* primary = fonts.Get(ChooseFace(faces, box.bold, box.italic), emSize);
  LoadedFont* fallback =
      haveFallback ? fonts.Get(ChooseFace(fallbackFaces, box.bold, box.italic), emSize) : nullptr;
  if (!primary) {
    // A file that went away or does not read: as a missing family.
    Note(notes, box.font);
    primary = fallback;
  }
  if (!primary) return;
  if (fallback == primary) fallback = nullptr;

  LayoutBox place;
  place.left = std::llround(box.left * width * 64.0);
  place.top = std::llround(box.top * height * 64.0);
  place.width = std::llround(box.width * width * 64.0);
  place.height = std::llround(box.height * height * 64.0);
  place.align = box.align;
  const std::vector<PlacedGlyph> glyphs = LayOutWords(box.words, place, *primary, fallback);

  // The effects' sizes follow the type's: a 36 pt line on a 150 ppi card
  // gets a 3 or 4 pixel outline.
  const int64_t emPixels = emSize / 64;
  const int blur = int(std::clamp<int64_t>(emPixels / 40, 1, 64));
  const int64_t offset = std::max<int64_t>(1, emPixels / 16);
  // Growing a mask costs its area for every pixel of the radius: huge type
  // keeps a bold outline, not one in proportion.
  const int outline = int(std::clamp<int64_t>(emPixels / 20, 1, 32));
  int64_t margin = 0;
  if (box.effect == TextEffect::Shadow) margin = 3 * blur;
  if (box.effect == TextEffect::Outline) margin = outline;
  CoverageMask mask = RasteriseGlyphs(library, glyphs, width, height, margin);
  if (mask.Empty()) return;

  const uint32_t alpha = box.colour >> 24;
  const uint32_t contrast = LinearLuminance(box.colour) < kDarkWords ? 0x00ffffffu : 0x00000000u;
  if (box.effect == TextEffect::Shadow) {
    out->coats.push_back({Blurred(mask, blur), offset, offset, contrast | ((alpha * 3 / 5) << 24)});
  } else if (box.effect == TextEffect::Outline) {
    out->coats.push_back({Dilated(mask, outline), 0, 0, contrast | (alpha << 24)});
  }
  out->coats.push_back({std::move(mask), 0, 0, box.colour});
}

}  // namespace

SetWords SetTexts(uint32_t width, uint32_t height, double pixelsPerInch,
                  const std::vector<TextBox>& boxes, TextNotes* notes) {
  SetWords words;
  words.width = width;
  words.height = height;
  if (boxes.empty() || width == 0 || height == 0 || !std::isfinite(pixelsPerInch) ||
      pixelsPerInch <= 0)
    return words;
  FT_Library library = nullptr;
  if (FT_Init_FreeType(&library) != 0) return words;
  try {
    FontSet fonts(library);
    for (const TextBox& box : boxes)
      SetBox(width, height, pixelsPerInch, box, library, fonts, notes, &words);
  } catch (const std::bad_alloc&) {
    // Words too large to set in the memory there is: the card as it is.
    words.coats.clear();
  }
  FT_Done_FreeType(library);
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
