#pragma once

#include <cairo.h>

#include <vector>

#include "imagefiles/PdfPlacement.h"
#include "text/VectorWords.h"

namespace imagefiles {

// What the words are drawn with, made once for every copy of the card on a
// page. Faces as cairo fonts: a face from a file as that file (embedded in
// the PDF, so its words can be found and copied), a face made up by
// emboldening or slanting as the very outlines the card's pixels get.
// Shadows as alpha pictures, one per box, which the PDF holds once.
class PdfWordParts {
 public:
  explicit PdfWordParts(const text::VectorWords& words);
  ~PdfWordParts();
  PdfWordParts(const PdfWordParts&) = delete;
  PdfWordParts& operator=(const PdfWordParts&) = delete;

  // False when a face's file no longer reads or memory runs out: the words
  // cannot be written.
  bool Ready() const { return ready_; }
  cairo_font_face_t* Face(size_t index) const { return faces_[index]; }
  cairo_surface_t* Shadow(size_t text) const { return shadows_[text]; }  // null: none

 private:
  std::vector<cairo_font_face_t*> faces_;
  std::vector<cairo_surface_t*> shadows_;
  bool ready_ = true;
};

// Draws the words over the card placed at `place` (points), cut to the card.
void DrawPdfWords(cairo_t* cr, const text::VectorWords& words, const PdfWordParts& parts,
                  const PdfRect& place);

}  // namespace imagefiles
