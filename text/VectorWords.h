#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "text/CoverageMask.h"
#include "text/DrawTexts.h"
#include "text/FontFiles.h"
#include "text/TextBox.h"

namespace text {

// A glyph's outline as a path, in 1/64 pixel from its origin, y up.
struct GlyphPath {
  enum class Step : uint8_t { Move, Line, Curve, Close };
  std::vector<Step> steps;
  std::vector<double> points;  // x, y pairs: one for Move and Line, three for Curve
  int64_t advance = 0;  // 1/64 pixel, as the glyph is set
};

// A face the words use. A face made up by emboldening or slanting is not in
// any file, so it carries the outlines of the glyphs it draws, as set.
struct VectorFace {
  FontFile file;
  int64_t emSize = 0;  // 1/64 pixel
  bool madeUp = false;
  std::map<uint32_t, GlyphPath> outlines;  // only for a made-up face
};

struct VectorGlyph {
  uint32_t face;   // into VectorWords::faces
  uint32_t glyph;  // the face's glyph id
  int64_t x, y;    // origin on the baseline, 1/64 pixel of the card, y down
  // The characters the glyph stands for, on the first glyph of each run of
  // glyphs that stand for the same characters; empty on the others.
  std::string characters;
  bool startsCluster = true;
};

// One box's words: an optional soft shadow, which stays a picture, an
// optional outline, stroked round the glyphs, and the glyphs themselves.
struct VectorText {
  std::vector<VectorGlyph> glyphs;
  uint32_t colour = 0;         // 0xAARRGGBB, sRGB
  uint32_t effectColour = 0;   // of the shadow or the outline
  double outlineRadius = 0;    // pixels; 0 for none
  CoverageMask shadow;         // card pixels, already moved by its offset
};

// Words as a PDF draws them: the same glyphs in the same places as the
// card's pixels get, as text.
struct VectorWords {
  uint32_t width = 0, height = 0;  // of the card they were set for
  std::vector<VectorFace> faces;
  std::vector<VectorText> texts;

  bool Empty() const { return texts.empty(); }
};

VectorWords SetVectorWords(uint32_t width, uint32_t height, double pixelsPerInch,
                           const std::vector<TextBox>& boxes, TextNotes* notes = nullptr);

}  // namespace text
