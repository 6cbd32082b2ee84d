#include "text/LoadedFont.h"

#include <unordered_map>

#include FT_OUTLINE_H

namespace text {

struct LoadedFont::Cached {
  std::unordered_map<uint32_t, FT_Glyph> glyphs;  // null: no outline
  ~Cached() {
    for (auto& entry : glyphs)
      if (entry.second) FT_Done_Glyph(entry.second);
  }
};

std::unique_ptr<LoadedFont> LoadedFont::Load(FT_Library library, const FontFile& file,
                                             int64_t emSize, bool embolden, bool slant) {
  std::shared_ptr<const Bytes> bytes = ReadFontBytes(file.path);
  if (!bytes || emSize < 1 || emSize > (int64_t(1) << 20)) return nullptr;
  std::unique_ptr<LoadedFont> font(new LoadedFont);
  font->bytes_ = bytes;
  font->cache_ = std::make_unique<Cached>();
  if (FT_New_Memory_Face(library, bytes->data(), FT_Long(bytes->size()), file.index,
                         &font->face_) != 0) {
    font->face_ = nullptr;
    return nullptr;
  }
  if (!FT_IS_SCALABLE(font->face_) ||
      FT_Set_Char_Size(font->face_, FT_F26Dot6(emSize), FT_F26Dot6(emSize), 72, 72) != 0)
    return nullptr;
  font->blob_ = hb_blob_create(reinterpret_cast<const char*>(bytes->data()),
                               unsigned(bytes->size()), HB_MEMORY_MODE_READONLY, nullptr, nullptr);
  font->hbFace_ = hb_face_create(font->blob_, unsigned(file.index));
  font->font_ = hb_font_create(font->hbFace_);
  hb_font_set_scale(font->font_, int(emSize), int(emSize));
  if (hb_face_get_upem(font->hbFace_) == 0) return nullptr;
  font->embolden_ = embolden;
  font->slant_ = slant;
  // As FreeType's own emboldening: a 24th of the em.
  font->strength_ = emSize / 24;
  hb_font_extents_t extents{};
  hb_font_get_h_extents(font->font_, &extents);
  font->ascender_ = extents.ascender;
  font->descender_ = extents.descender;
  font->lineGap_ = extents.line_gap;
  if (font->ascender_ - font->descender_ <= 0) {
    // A face that states no heights: as tall as its em.
    font->ascender_ = emSize * 4 / 5;
    font->descender_ = -(emSize / 5);
  }
  return font;
}

LoadedFont::~LoadedFont() {
  cache_.reset();
  if (font_) hb_font_destroy(font_);
  if (hbFace_) hb_face_destroy(hbFace_);
  if (blob_) hb_blob_destroy(blob_);
  if (face_) FT_Done_Face(face_);
}

bool LoadedFont::HasGlyph(uint32_t codepoint) const {
  hb_codepoint_t glyph = 0;
  return hb_font_get_nominal_glyph(font_, codepoint, &glyph) && glyph != 0;
}

FT_Outline* LoadedFont::Outline(uint32_t glyph) {
  auto found = cache_->glyphs.find(glyph);
  if (found != cache_->glyphs.end())
    return found->second ? &reinterpret_cast<FT_OutlineGlyph>(found->second)->outline : nullptr;
  FT_Glyph copy = nullptr;
  // Unhinted, so that the shapes are the designer's at every size and the
  // same wherever FreeType was built.
  if (FT_Load_Glyph(face_, glyph, FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP | FT_LOAD_NO_AUTOHINT) ==
          0 &&
      face_->glyph->format == FT_GLYPH_FORMAT_OUTLINE && FT_Get_Glyph(face_->glyph, &copy) == 0) {
    FT_Outline* outline = &reinterpret_cast<FT_OutlineGlyph>(copy)->outline;
    if (embolden_) FT_Outline_Embolden(outline, FT_Pos(strength_));
    if (slant_) {
      // About 12 degrees, as FreeType slants a face that has no italic.
      FT_Matrix shear{0x10000, 0x0366A, 0, 0x10000};
      FT_Outline_Transform(outline, &shear);
    }
  }
  cache_->glyphs.emplace(glyph, copy);
  return copy ? &reinterpret_cast<FT_OutlineGlyph>(copy)->outline : nullptr;
}

}  // namespace text
