#pragma once

#include <cairo.h>

#include <vector>

#include "imagefiles/PdfPlacement.h"
#include "text/VectorWords.h"

namespace imagefiles {

// The words' faces as cairo fonts, for one PDF: a face from a file as that
// file (embedded in the PDF, so its words can be found and copied), a face
// made up by emboldening or slanting as the very outlines the card's pixels
// get.
class PdfWordFaces {
 public:
  explicit PdfWordFaces(const text::VectorWords& words);
  ~PdfWordFaces();
  PdfWordFaces(const PdfWordFaces&) = delete;
  PdfWordFaces& operator=(const PdfWordFaces&) = delete;

  // False when a face's file no longer reads: the words cannot be written.
  bool Ready() const { return ready_; }
  cairo_font_face_t* Face(size_t index) const { return faces_[index]; }

 private:
  std::vector<cairo_font_face_t*> faces_;
  bool ready_ = true;
};

// Draws the words over the card placed at `place` (points), cut to the card.
void DrawPdfWords(cairo_t* cr, const text::VectorWords& words, const PdfWordFaces& faces,
                  const PdfRect& place);

}  // namespace imagefiles
