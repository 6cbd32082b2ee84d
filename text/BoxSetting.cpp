#include "text/BoxSetting.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "text/FontFiles.h"
#include "text/LinearCompose.h"

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

}  // namespace

LoadedFont* FontSet::Get(const FontFile& file, int64_t em, bool embolden, bool slant) {
  const auto key = std::make_tuple(file.path, file.index, em, embolden, slant);
  auto found = fonts_.find(key);
  if (found == fonts_.end()) {
    found = fonts_.emplace(key, LoadedFont::Load(library_, file, em, embolden, slant)).first;
    if (found->second) origins_[found->second.get()] = Origin{file, em, embolden, slant};
  }
  return found->second.get();
}

const FontSet::Origin* FontSet::OriginOf(const LoadedFont* font) const {
  const auto found = origins_.find(font);
  return found == origins_.end() ? nullptr : &found->second;
}

bool SetInType(uint32_t width, uint32_t height, double pixelsPerInch, const TextBox& box,
               FontSet& fonts, TextNotes* notes, BoxInType* out) {
  if (box.words.empty() || !Placeable(box)) return false;
  const double em = std::min(box.sizePoints * pixelsPerInch * 64.0 / 72.0, double(kLargestEm));
  const int64_t emSize = std::max<int64_t>(std::llround(em), 1);

  FamilyFaces faces, fallbackFaces;
  const bool haveFallback = FindFamily(kFallbackFamily, &fallbackFaces);
  if (!FindFamily(box.font, &faces)) {
    Note(notes, box.font);
    if (!haveFallback) return false;
    faces = fallbackFaces;
  }
  const FaceChoice chosen = ChooseFace(faces, box.bold, box.italic);
  LoadedFont* primary = fonts.Get(chosen.file, emSize, chosen.embolden, chosen.slant);
  LoadedFont* fallback = nullptr;
  if (haveFallback) {
    const FaceChoice stand = ChooseFace(fallbackFaces, box.bold, box.italic);
    fallback = fonts.Get(stand.file, emSize, stand.embolden, stand.slant);
  }
  if (!primary) {
    // A file that went away or does not read: as a missing family.
    Note(notes, box.font);
    primary = fallback;
  }
  if (!primary) return false;
  if (fallback == primary) fallback = nullptr;

  LayoutBox place;
  place.left = std::llround(box.left * width * 64.0);
  place.top = std::llround(box.top * height * 64.0);
  place.width = std::llround(box.width * width * 64.0);
  place.height = std::llround(box.height * height * 64.0);
  place.align = box.align;
  out->glyphs = LayOutWords(box.words, place, *primary, fallback);

  // The effects' sizes follow the type's: a 36 pt line on a 150 ppi card
  // gets a 3 or 4 pixel outline.
  const int64_t emPixels = emSize / 64;
  out->blur = int(std::clamp<int64_t>(emPixels / 40, 1, 64));
  out->offset = std::max<int64_t>(1, emPixels / 16);
  // Growing a mask costs its area for every pixel of the radius: huge type
  // keeps a bold outline, not one in proportion.
  out->outline = int(std::clamp<int64_t>(emPixels / 20, 1, 32));
  out->margin = 0;
  if (box.effect == TextEffect::Shadow) out->margin = 3 * out->blur;
  if (box.effect == TextEffect::Outline) out->margin = out->outline;
  const uint32_t alpha = box.colour >> 24;
  const uint32_t contrast =
      LinearLuminance(box.colour) < kDarkWords ? 0x00ffffffu : 0x00000000u;
  out->contrast = box.effect == TextEffect::Shadow ? contrast | ((alpha * 3 / 5) << 24)
                                                   : contrast | (alpha << 24);
  return true;
}

bool SetWithFonts(uint32_t width, uint32_t height, double pixelsPerInch,
                  const std::vector<TextBox>& boxes,
                  const std::function<void(FT_Library, FontSet&)>& set) {
  if (boxes.empty() || width == 0 || height == 0 || !std::isfinite(pixelsPerInch) ||
      pixelsPerInch <= 0)
    return true;
  FT_Library library = nullptr;
  if (FT_Init_FreeType(&library) != 0) return false;
  bool whole = true;
  try {
    FontSet fonts(library);
    set(library, fonts);
  } catch (const std::bad_alloc&) {
    whole = false;
  }
  FT_Done_FreeType(library);
  return whole;
}

}  // namespace text
