#include "imagefiles/PdfWords.h"

#include <cairo-ft.h>

#include <cstring>
#include <map>
#include <memory>
#include <string>

#include "text/FontBytes.h"

namespace imagefiles {

namespace {

// The same outlines as the card's pixels are drawn from: unhinted, and never
// a face's bitmaps.
constexpr int kLoadFlags = FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP | FT_LOAD_NO_AUTOHINT;

// A FreeType face lives as long as cairo's font made from it, which cairo
// may keep after this PDF is done; each has a library of its own, so no
// other thread's use of FreeType meets it.
struct FileFace {
  FT_Library library = nullptr;
  FT_Face face = nullptr;
  std::shared_ptr<const text::Bytes> bytes;
  ~FileFace() {
    if (face) FT_Done_Face(face);
    if (library) FT_Done_FreeType(library);
  }
};

const cairo_user_data_key_t kFileFaceKey{};
const cairo_user_data_key_t kMadeUpKey{};

void DeleteFileFace(void* data) { delete static_cast<FileFace*>(data); }

struct MadeUpFace {
  double em;  // 1/64 pixel
  std::map<uint32_t, text::GlyphPath> outlines;
};

void DeleteMadeUpFace(void* data) { delete static_cast<MadeUpFace*>(data); }

cairo_font_face_t* FromFile(const text::VectorFace& face) {
  auto held = std::make_unique<FileFace>();
  held->bytes = text::ReadFontBytes(face.file.path);
  if (!held->bytes || FT_Init_FreeType(&held->library) != 0) return nullptr;
  if (FT_New_Memory_Face(held->library, held->bytes->data(), FT_Long(held->bytes->size()),
                         face.file.index, &held->face) != 0) {
    held->face = nullptr;
    return nullptr;
  }
  cairo_font_face_t* font = cairo_ft_font_face_create_for_ft_face(held->face, kLoadFlags);
  if (cairo_font_face_set_user_data(font, &kFileFaceKey, held.get(), DeleteFileFace) !=
      CAIRO_STATUS_SUCCESS) {
    cairo_font_face_destroy(font);
    return nullptr;
  }
  held.release();
  return font;
}

// Font space is one em high, y down.
cairo_status_t DrawMadeUpGlyph(cairo_scaled_font_t* scaled, unsigned long glyph, cairo_t* cr,
                               cairo_text_extents_t* extents) {
  const auto* face = static_cast<const MadeUpFace*>(
      cairo_font_face_get_user_data(cairo_scaled_font_get_font_face(scaled), &kMadeUpKey));
  if (!face) return CAIRO_STATUS_USER_FONT_ERROR;
  const auto found = face->outlines.find(uint32_t(glyph));
  if (found == face->outlines.end()) return CAIRO_STATUS_SUCCESS;
  const text::GlyphPath& path = found->second;
  const double* p = path.points.data();
  const double scale = 1.0 / face->em;
  extents->x_advance = double(path.advance) * scale;
  for (text::GlyphPath::Step step : path.steps) {
    switch (step) {
      case text::GlyphPath::Step::Move:
        cairo_move_to(cr, p[0] * scale, -p[1] * scale);
        p += 2;
        break;
      case text::GlyphPath::Step::Line:
        cairo_line_to(cr, p[0] * scale, -p[1] * scale);
        p += 2;
        break;
      case text::GlyphPath::Step::Curve:
        cairo_curve_to(cr, p[0] * scale, -p[1] * scale, p[2] * scale, -p[3] * scale,
                       p[4] * scale, -p[5] * scale);
        p += 6;
        break;
      case text::GlyphPath::Step::Close:
        cairo_close_path(cr);
        break;
    }
  }
  // FreeType fills by the nonzero rule.
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
  cairo_fill(cr);
  return CAIRO_STATUS_SUCCESS;
}

cairo_font_face_t* MadeUp(const text::VectorFace& face) {
  cairo_font_face_t* font = cairo_user_font_face_create();
  cairo_user_font_face_set_render_glyph_func(font, DrawMadeUpGlyph);
  auto held = std::make_unique<MadeUpFace>(MadeUpFace{double(face.emSize), face.outlines});
  if (cairo_font_face_set_user_data(font, &kMadeUpKey, held.get(), DeleteMadeUpFace) !=
      CAIRO_STATUS_SUCCESS) {
    cairo_font_face_destroy(font);
    return nullptr;
  }
  held.release();
  return font;
}

void SetColour(cairo_t* cr, uint32_t colour) {
  cairo_set_source_rgba(cr, ((colour >> 16) & 0xff) / 255.0, ((colour >> 8) & 0xff) / 255.0,
                        (colour & 0xff) / 255.0, (colour >> 24) / 255.0);
}

// The shadow as an alpha picture: PDF has no blur.
cairo_surface_t* ShadowPicture(const text::CoverageMask& shadow) {
  cairo_surface_t* mask =
      cairo_image_surface_create(CAIRO_FORMAT_A8, int(shadow.width), int(shadow.height));
  if (cairo_surface_status(mask) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(mask);
    return nullptr;
  }
  cairo_surface_flush(mask);
  unsigned char* data = cairo_image_surface_get_data(mask);
  const size_t stride = size_t(cairo_image_surface_get_stride(mask));
  for (uint32_t y = 0; y < shadow.height; ++y)
    std::memcpy(data + y * stride, shadow.values.data() + size_t(y) * shadow.width,
                shadow.width);
  cairo_surface_mark_dirty(mask);
  return mask;
}

// Consecutive glyphs of one face, drawn as one piece of text.
struct Run {
  size_t from, to;
};

std::vector<Run> Runs(const text::VectorText& words) {
  std::vector<Run> runs;
  for (size_t i = 0; i < words.glyphs.size(); ++i) {
    if (runs.empty() || words.glyphs[i].face != words.glyphs[runs.back().from].face)
      runs.push_back({i, i});
    runs.back().to = i + 1;
  }
  return runs;
}

void SelectFace(cairo_t* cr, const text::VectorWords& words, const PdfWordParts& parts,
                uint32_t face) {
  cairo_set_font_face(cr, parts.Face(face));
  cairo_set_font_size(cr, double(words.faces[face].emSize) / 64.0);
}

std::vector<cairo_glyph_t> Glyphs(const text::VectorText& words, const Run& run) {
  std::vector<cairo_glyph_t> glyphs;
  glyphs.reserve(run.to - run.from);
  for (size_t i = run.from; i < run.to; ++i) {
    const text::VectorGlyph& g = words.glyphs[i];
    glyphs.push_back({g.glyph, double(g.x) / 64.0, double(g.y) / 64.0});
  }
  return glyphs;
}

void DrawText(cairo_t* cr, const text::VectorWords& all, const PdfWordParts& parts,
              size_t index) {
  const text::VectorText& words = all.texts[index];
  if (cairo_surface_t* shadow = parts.Shadow(index)) {
    SetColour(cr, words.effectColour);
    cairo_mask_surface(cr, shadow, double(words.shadow.left), double(words.shadow.top));
  }
  const std::vector<Run> runs = Runs(words);
  if (words.outlineRadius > 0) {
    // The outline grows the glyphs by its radius on every side, under them.
    for (const Run& run : runs) {
      SelectFace(cr, all, parts, words.glyphs[run.from].face);
      const std::vector<cairo_glyph_t> glyphs = Glyphs(words, run);
      cairo_glyph_path(cr, glyphs.data(), int(glyphs.size()));
    }
    SetColour(cr, words.effectColour);
    cairo_set_line_width(cr, 2 * words.outlineRadius);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_stroke_preserve(cr);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
    cairo_fill(cr);
  }
  SetColour(cr, words.colour);
  for (const Run& run : runs) {
    SelectFace(cr, all, parts, words.glyphs[run.from].face);
    const std::vector<cairo_glyph_t> glyphs = Glyphs(words, run);
    // Each cluster's characters with its glyphs, so that a reader copies
    // and finds the words.
    std::string characters;
    std::vector<cairo_text_cluster_t> clusters;
    for (size_t i = run.from; i < run.to; ++i) {
      const text::VectorGlyph& g = words.glyphs[i];
      if (g.startsCluster || clusters.empty()) {
        clusters.push_back({int(g.characters.size()), 0});
        characters += g.characters;
      }
      ++clusters.back().num_glyphs;
    }
    cairo_show_text_glyphs(cr, characters.data(), int(characters.size()), glyphs.data(),
                           int(glyphs.size()), clusters.data(), int(clusters.size()),
                           cairo_text_cluster_flags_t(0));
  }
}

}  // namespace

PdfWordParts::PdfWordParts(const text::VectorWords& words) {
  for (const text::VectorFace& face : words.faces) {
    cairo_font_face_t* font = face.madeUp ? MadeUp(face) : FromFile(face);
    if (!font) ready_ = false;
    faces_.push_back(font);
  }
  for (const text::VectorText& text : words.texts) {
    cairo_surface_t* shadow = nullptr;
    if (!text.shadow.Empty()) {
      shadow = ShadowPicture(text.shadow);
      if (!shadow) ready_ = false;
    }
    shadows_.push_back(shadow);
  }
}

PdfWordParts::~PdfWordParts() {
  for (cairo_font_face_t* face : faces_)
    if (face) cairo_font_face_destroy(face);
  for (cairo_surface_t* shadow : shadows_)
    if (shadow) cairo_surface_destroy(shadow);
}

void DrawPdfWords(cairo_t* cr, const text::VectorWords& words, const PdfWordParts& parts,
                  const PdfRect& place) {
  if (words.Empty() || !parts.Ready() || words.width == 0 || words.height == 0) return;
  cairo_save(cr);
  cairo_translate(cr, place.x, place.y);
  cairo_scale(cr, place.width / words.width, place.height / words.height);
  cairo_rectangle(cr, 0, 0, words.width, words.height);
  cairo_clip(cr);
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
  cairo_set_font_options(cr, options);
  cairo_font_options_destroy(options);
  for (size_t i = 0; i < words.texts.size(); ++i) DrawText(cr, words, parts, i);
  cairo_restore(cr);
}

}  // namespace imagefiles
