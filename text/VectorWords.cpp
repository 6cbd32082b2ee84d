#include "text/VectorWords.h"

#include <algorithm>
#include <cmath>
#include <set>
#include <utility>

#include <ft2build.h>
#include FT_OUTLINE_H

#include "text/BoxSetting.h"
#include "text/GlyphRaster.h"
#include "text/LineLayout.h"
#include "text/MaskEffects.h"

namespace text {

namespace {

void AppendUtf8(uint32_t c, std::string* out) {
  if (c < 0x80) {
    out->push_back(char(c));
  } else if (c < 0x800) {
    out->push_back(char(0xC0 | (c >> 6)));
    out->push_back(char(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out->push_back(char(0xE0 | (c >> 12)));
    out->push_back(char(0x80 | ((c >> 6) & 0x3F)));
    out->push_back(char(0x80 | (c & 0x3F)));
  } else {
    out->push_back(char(0xF0 | (c >> 18)));
    out->push_back(char(0x80 | ((c >> 12) & 0x3F)));
    out->push_back(char(0x80 | ((c >> 6) & 0x3F)));
    out->push_back(char(0x80 | (c & 0x3F)));
  }
}

struct PathBuilder {
  GlyphPath* path;
  double x = 0, y = 0;  // the pen
};

int MoveTo(const FT_Vector* to, void* user) {
  auto* b = static_cast<PathBuilder*>(user);
  if (!b->path->steps.empty()) b->path->steps.push_back(GlyphPath::Step::Close);
  b->path->steps.push_back(GlyphPath::Step::Move);
  b->x = double(to->x);
  b->y = double(to->y);
  b->path->points.insert(b->path->points.end(), {b->x, b->y});
  return 0;
}

int LineTo(const FT_Vector* to, void* user) {
  auto* b = static_cast<PathBuilder*>(user);
  b->path->steps.push_back(GlyphPath::Step::Line);
  b->x = double(to->x);
  b->y = double(to->y);
  b->path->points.insert(b->path->points.end(), {b->x, b->y});
  return 0;
}

int CubicTo(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user) {
  auto* b = static_cast<PathBuilder*>(user);
  b->path->steps.push_back(GlyphPath::Step::Curve);
  b->x = double(to->x);
  b->y = double(to->y);
  b->path->points.insert(b->path->points.end(), {double(c1->x), double(c1->y), double(c2->x),
                                                 double(c2->y), b->x, b->y});
  return 0;
}

// A quadratic curve is the cubic with its control points two thirds of the
// way to the quadratic's.
int ConicTo(const FT_Vector* control, const FT_Vector* to, void* user) {
  auto* b = static_cast<PathBuilder*>(user);
  const double cx = double(control->x), cy = double(control->y);
  const double tx = double(to->x), ty = double(to->y);
  b->path->steps.push_back(GlyphPath::Step::Curve);
  b->path->points.insert(b->path->points.end(),
                         {b->x + (cx - b->x) * 2 / 3, b->y + (cy - b->y) * 2 / 3,
                          tx + (cx - tx) * 2 / 3, ty + (cy - ty) * 2 / 3, tx, ty});
  b->x = tx;
  b->y = ty;
  return 0;
}

GlyphPath PathOf(FT_Outline* outline) {
  GlyphPath path;
  if (!outline || outline->n_points == 0) return path;
  PathBuilder builder{&path};
  FT_Outline_Funcs funcs{};
  funcs.move_to = MoveTo;
  funcs.line_to = LineTo;
  funcs.conic_to = ConicTo;
  funcs.cubic_to = CubicTo;
  if (FT_Outline_Decompose(outline, &funcs, &builder) != 0) return GlyphPath();
  if (!path.steps.empty()) path.steps.push_back(GlyphPath::Step::Close);
  return path;
}

class FaceTable {
 public:
  explicit FaceTable(const FontSet& fonts, VectorWords* words) : fonts_(fonts), words_(words) {}
  // The face's place in the words' faces; false for a font of unknown origin.
  bool Index(LoadedFont* font, uint32_t glyph, uint32_t* index) {
    auto found = indices_.find(font);
    if (found == indices_.end()) {
      const FontSet::Origin* origin = fonts_.OriginOf(font);
      if (!origin) return false;
      VectorFace face;
      face.file = origin->file;
      face.emSize = origin->em;
      face.madeUp = origin->embolden || origin->slant;
      words_->faces.push_back(std::move(face));
      found = indices_.emplace(font, uint32_t(words_->faces.size() - 1)).first;
    }
    *index = found->second;
    VectorFace& face = words_->faces[*index];
    if (face.madeUp && face.outlines.count(glyph) == 0) {
      GlyphPath path = PathOf(font->Outline(glyph));
      // A reader finds the spaces between words from the advances.
      path.advance = hb_font_get_glyph_h_advance(font->Shaping(), glyph);
      if (path.advance != 0) path.advance += font->ExtraAdvance();
      face.outlines.emplace(glyph, std::move(path));
    }
    return true;
  }

 private:
  const FontSet& fonts_;
  VectorWords* words_;
  std::map<const LoadedFont*, uint32_t> indices_;
};

void SetBox(uint32_t width, uint32_t height, double pixelsPerInch, const TextBox& box,
            FT_Library library, FontSet& fonts, FaceTable& faces, TextNotes* notes,
            VectorWords* out) {
  BoxInType set;
  if (!SetInType(width, height, pixelsPerInch, box, fonts, notes, &set) || set.glyphs.empty())
    return;
  // Only what would leave ink on the card's pixels is drawn.
  CoverageMask ink = RasteriseGlyphs(library, set.glyphs, width, height, set.margin);
  if (ink.Empty()) return;

  VectorText words;
  words.colour = box.colour;
  words.effectColour = set.contrast;
  if (box.effect == TextEffect::Outline) words.outlineRadius = set.outline;
  if (box.effect == TextEffect::Shadow) {
    words.shadow = Blurred(ink, set.blur);
    words.shadow.left += set.offset;
    words.shadow.top += set.offset;
  }
  ink = CoverageMask();

  // Each glyph's characters run up to the next cluster that has a glyph.
  const std::vector<uint32_t> characters = DecodeWords(box.words);
  std::set<uint32_t> starts;
  for (const PlacedGlyph& g : set.glyphs) starts.insert(g.cluster);
  for (size_t i = 0; i < set.glyphs.size(); ++i) {
    const PlacedGlyph& g = set.glyphs[i];
    VectorGlyph glyph{0, g.glyph, g.x, g.y, std::string(), true};
    if (!faces.Index(g.font, g.glyph, &glyph.face)) continue;
    glyph.startsCluster = words.glyphs.empty() || words.glyphs.back().face != glyph.face ||
                          set.glyphs[i - 1].cluster != g.cluster;
    if (glyph.startsCluster) {
      const auto next = starts.upper_bound(g.cluster);
      const size_t end = next == starts.end() ? characters.size() : size_t(*next);
      for (size_t c = g.cluster; c < end && c < characters.size(); ++c)
        if (characters[c] != '\n') AppendUtf8(characters[c], &glyph.characters);
    }
    words.glyphs.push_back(std::move(glyph));
  }
  if (!words.glyphs.empty()) out->texts.push_back(std::move(words));
}

}  // namespace

VectorWords SetVectorWords(uint32_t width, uint32_t height, double pixelsPerInch,
                           const std::vector<TextBox>& boxes, TextNotes* notes) {
  VectorWords words;
  words.width = width;
  words.height = height;
  const bool whole = SetWithFonts(width, height, pixelsPerInch, boxes,
                                  [&](FT_Library library, FontSet& fonts) {
                                    FaceTable faces(fonts, &words);
                                    for (const TextBox& box : boxes)
                                      SetBox(width, height, pixelsPerInch, box, library, fonts,
                                             faces, notes, &words);
                                  });
  // As the card's pixels do: words too large to set are left out.
  if (!whole) {
    words.faces.clear();
    words.texts.clear();
  }
  return words;
}

}  // namespace text
