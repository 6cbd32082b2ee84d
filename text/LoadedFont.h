#pragma once

#include <ft2build.h>

#include <cstdint>
#include <memory>
#include FT_FREETYPE_H
#include FT_GLYPH_H
#include <hb.h>

#include "text/FontBytes.h"
#include "text/FontFiles.h"

namespace text {

// A face at one size, for shaping (HarfBuzz, with its own OpenType
// functions, so that the positions are the same on every system) and for
// outlines (FreeType, unhinted). Every length is in 1/64 pixel.
class LoadedFont {
 public:
  // Null when the file cannot be read or is not a font either library takes.
  static std::unique_ptr<LoadedFont> Load(FT_Library library, const FontFile& file, int64_t emSize,
                                          bool embolden, bool slant);
  ~LoadedFont();
  LoadedFont(const LoadedFont&) = delete;
  LoadedFont& operator=(const LoadedFont&) = delete;

  hb_font_t* Shaping() const { return font_; }
  bool HasGlyph(uint32_t codepoint) const;
  int64_t Ascender() const { return ascender_; }
  int64_t Descender() const { return descender_; }  // negative: below the baseline
  int64_t LineGap() const { return lineGap_; }
  // What emboldening adds to every advance.
  int64_t ExtraAdvance() const { return embolden_ ? strength_ : 0; }
  // The glyph's outline at the face's size with the made-up styles applied,
  // its origin on the baseline; null for a glyph without one. The font keeps
  // it.
  FT_Outline* Outline(uint32_t glyph);

 private:
  LoadedFont() = default;

  std::shared_ptr<const Bytes> bytes_;
  FT_Face face_ = nullptr;
  hb_blob_t* blob_ = nullptr;
  hb_face_t* hbFace_ = nullptr;
  hb_font_t* font_ = nullptr;
  bool embolden_ = false;
  bool slant_ = false;
  int64_t strength_ = 0;
  int64_t ascender_ = 0;
  int64_t descender_ = 0;
  int64_t lineGap_ = 0;
  struct Cached;
  std::unique_ptr<Cached> cache_;
};

}  // namespace text
