#include "text/LineLayout.h"

#include <algorithm>

namespace text {

namespace {

// Rounds toward minus infinity, as the positions must on either side of 0.
int64_t Half(int64_t v) { return v >= 0 ? v / 2 : -((-v + 1) / 2); }

enum class Strength : uint8_t { Left, Right, Neutral };

struct ShapedGlyph {
  uint32_t glyph;
  uint32_t cluster;  // in the paragraph
  int64_t advance;
  int64_t dx;
  int64_t dy;  // up
};

// Characters of one level, script and font, shaped together.
struct Run {
  size_t start;
  size_t end;
  int level;
  LoadedFont* font;
  std::vector<ShapedGlyph> glyphs;  // in visual order
};

struct Piece {
  int level;
  LoadedFont* font;
  std::vector<ShapedGlyph> glyphs;
};

bool IsNeutralScript(hb_script_t script) {
  return script == HB_SCRIPT_COMMON || script == HB_SCRIPT_INHERITED || script == HB_SCRIPT_UNKNOWN;
}

// Levels in the two-level model: a left-to-right paragraph puts right-to-
// left characters at 1; a right-to-left one puts itself at 1 and
// left-to-right characters (digits among them) at 2.
std::vector<int> Levels(const std::vector<uint32_t>& text, hb_unicode_funcs_t* unicode) {
  const size_t n = text.size();
  std::vector<Strength> strength(n, Strength::Neutral);
  for (size_t i = 0; i < n; ++i) {
    const hb_unicode_general_category_t category = hb_unicode_general_category(unicode, text[i]);
    const hb_script_t script = hb_unicode_script(unicode, text[i]);
    if (category == HB_UNICODE_GENERAL_CATEGORY_DECIMAL_NUMBER) {
      strength[i] = Strength::Left;  // numbers read left to right in every script
    } else if (script == HB_SCRIPT_INHERITED && i > 0) {
      strength[i] = strength[i - 1];  // a mark goes with its base
    } else if (!IsNeutralScript(script)) {
      strength[i] = hb_script_get_horizontal_direction(script) == HB_DIRECTION_RTL ? Strength::Right
                                                                                   : Strength::Left;
    }
  }
  Strength base = Strength::Left;
  for (Strength s : strength)
    if (s != Strength::Neutral) {
      base = s;
      break;
    }
  // A neutral between two characters of one direction takes it; any other
  // takes the paragraph's.
  for (size_t i = 0; i < n;) {
    if (strength[i] != Strength::Neutral) {
      ++i;
      continue;
    }
    size_t j = i;
    while (j < n && strength[j] == Strength::Neutral) ++j;
    const Strength before = i > 0 ? strength[i - 1] : base;
    const Strength after = j < n ? strength[j] : base;
    const Strength resolved = before == after ? before : base;
    std::fill(strength.begin() + std::ptrdiff_t(i), strength.begin() + std::ptrdiff_t(j), resolved);
    i = j;
  }
  std::vector<int> levels(n);
  for (size_t i = 0; i < n; ++i) {
    if (base == Strength::Left)
      levels[i] = strength[i] == Strength::Right ? 1 : 0;
    else
      levels[i] = strength[i] == Strength::Right ? 1 : 2;
  }
  return levels;
}

std::vector<Run> ShapeRuns(const std::vector<uint32_t>& text, LoadedFont& primary,
                           LoadedFont* fallback) {
  const size_t n = text.size();
  hb_unicode_funcs_t* unicode = hb_unicode_funcs_get_default();
  const std::vector<int> levels = Levels(text, unicode);
  std::vector<hb_script_t> scripts(n, HB_SCRIPT_COMMON);
  hb_script_t last = HB_SCRIPT_COMMON;
  for (size_t i = 0; i < n; ++i) {
    const hb_script_t script = hb_unicode_script(unicode, text[i]);
    if (!IsNeutralScript(script)) last = script;
    scripts[i] = last;
  }
  // Leading neutrals take the first script after them.
  hb_script_t next = HB_SCRIPT_LATIN;
  for (size_t i = n; i-- > 0;) {
    if (scripts[i] == HB_SCRIPT_COMMON)
      scripts[i] = next;
    else
      next = scripts[i];
  }
  std::vector<LoadedFont*> fonts(n, &primary);
  for (size_t i = 0; i < n; ++i) {
    if (i > 0 && hb_unicode_script(unicode, text[i]) == HB_SCRIPT_INHERITED) {
      fonts[i] = fonts[i - 1];  // a mark stays with its base's font
    } else if (!primary.HasGlyph(text[i]) && fallback && fallback->HasGlyph(text[i])) {
      fonts[i] = fallback;
    }
  }
  std::vector<Run> runs;
  hb_buffer_t* buffer = hb_buffer_create();
  for (size_t start = 0; start < n;) {
    size_t end = start + 1;
    while (end < n && levels[end] == levels[start] && scripts[end] == scripts[start] &&
           fonts[end] == fonts[start])
      ++end;
    Run run{start, end, levels[start], fonts[start], {}};
    hb_buffer_clear_contents(buffer);
    // The whole paragraph as context, so that letters join across runs.
    hb_buffer_add_utf32(buffer, text.data(), int(n), unsigned(start), int(end - start));
    hb_buffer_set_direction(buffer, run.level % 2 ? HB_DIRECTION_RTL : HB_DIRECTION_LTR);
    hb_buffer_set_script(buffer, scripts[start]);
    hb_buffer_set_language(buffer, hb_language_from_string("en", -1));
    hb_shape(run.font->Shaping(), buffer, nullptr, 0);
    unsigned count = 0;
    const hb_glyph_info_t* infos = hb_buffer_get_glyph_infos(buffer, &count);
    const hb_glyph_position_t* positions = hb_buffer_get_glyph_positions(buffer, &count);
    run.glyphs.reserve(count);
    for (unsigned g = 0; g < count; ++g) {
      int64_t advance = positions[g].x_advance;
      if (advance != 0) advance += run.font->ExtraAdvance();
      run.glyphs.push_back({infos[g].codepoint, infos[g].cluster, advance, positions[g].x_offset,
                            positions[g].y_offset});
    }
    runs.push_back(std::move(run));
    start = end;
  }
  hb_buffer_destroy(buffer);
  return runs;
}

// Where each line of a paragraph starts and ends (trailing spaces left out).
std::vector<std::pair<size_t, size_t>> BreakLines(const std::vector<uint32_t>& text,
                                                  const std::vector<Run>& runs, int64_t width) {
  const size_t n = text.size();
  std::vector<int64_t> advance(n, 0);
  std::vector<bool> clusterStart(n + 1, false);
  clusterStart[n] = true;
  for (const Run& run : runs)
    for (const ShapedGlyph& g : run.glyphs)
      if (g.cluster < n) {
        advance[g.cluster] += g.advance;
        clusterStart[g.cluster] = true;
      }
  std::vector<std::pair<size_t, size_t>> lines;
  auto trimmed = [&](size_t s, size_t e) {
    while (e > s && text[e - 1] == ' ') --e;
    return std::make_pair(s, e);
  };
  size_t lineStart = 0;
  while (true) {
    int64_t used = 0;
    size_t breakEnd = 0, breakResume = 0;
    bool canBreak = false;
    size_t i = lineStart;
    bool broke = false;
    while (i < n) {
      if (text[i] == ' ') {
        if (i > lineStart) {
          canBreak = true;
          breakEnd = i;
        }
        while (i < n && text[i] == ' ') used += advance[i++];
        breakResume = i;
        continue;
      }
      const int64_t wider = used + advance[i];
      if (wider > width && i > lineStart) {
        if (canBreak && breakResume > lineStart) {
          lines.push_back(trimmed(lineStart, breakEnd));
          lineStart = breakResume;
        } else {
          // A word wider than the box breaks between its clusters.
          size_t k = i;
          while (k > lineStart + 1 && !clusterStart[k]) --k;
          if (k <= lineStart || !clusterStart[k]) {
            k = i + 1;
            while (k < n && !clusterStart[k]) ++k;
          }
          lines.push_back(trimmed(lineStart, k));
          lineStart = k;
          while (lineStart < n && text[lineStart] == ' ') ++lineStart;
        }
        broke = true;
        break;
      }
      used = wider;
      ++i;
    }
    if (!broke) {
      lines.push_back(trimmed(lineStart, n));
      break;
    }
    if (lineStart >= n) break;
  }
  return lines;
}

void Reorder(std::vector<Piece>* pieces) {
  int highest = 0, lowestOdd = 1000;
  for (const Piece& p : *pieces) {
    highest = std::max(highest, p.level);
    if (p.level % 2) lowestOdd = std::min(lowestOdd, p.level);
  }
  for (int level = highest; level >= lowestOdd; --level) {
    for (size_t i = 0; i < pieces->size();) {
      if ((*pieces)[i].level < level) {
        ++i;
        continue;
      }
      size_t j = i;
      while (j < pieces->size() && (*pieces)[j].level >= level) ++j;
      std::reverse(pieces->begin() + std::ptrdiff_t(i), pieces->begin() + std::ptrdiff_t(j));
      i = j;
    }
  }
}

}  // namespace

std::vector<uint32_t> DecodeWords(const std::string& words) {
  std::vector<uint32_t> out;
  out.reserve(words.size());
  const auto* s = reinterpret_cast<const unsigned char*>(words.data());
  const size_t n = words.size();
  for (size_t i = 0; i < n;) {
    const unsigned c = s[i];
    uint32_t cp = 0xFFFD;
    size_t length = 1;
    if (c < 0x80) {
      cp = c;
    } else if (c >= 0xC2 && c <= 0xF4) {
      const size_t need = c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
      uint32_t v = c & (need == 2 ? 0x1F : need == 3 ? 0x0F : 0x07);
      size_t k = 1;
      for (; k < need && i + k < n && (s[i + k] & 0xC0) == 0x80; ++k)
        v = (v << 6) | (s[i + k] & 0x3F);
      const uint32_t lowest = need == 2 ? 0x80 : need == 3 ? 0x800 : 0x10000;
      if (k == need && v >= lowest && v <= 0x10FFFF && !(v >= 0xD800 && v <= 0xDFFF)) {
        cp = v;
        length = need;
      } else {
        length = std::max<size_t>(k, 1);
      }
    }
    i += length;
    if (cp == '\t') cp = ' ';
    if (cp != '\n' && (cp < 0x20 || cp == 0x7F)) continue;
    out.push_back(cp);
  }
  return out;
}

std::vector<PlacedGlyph> LayOutWords(const std::string& words, const LayoutBox& box,
                                     LoadedFont& primary, LoadedFont* fallback) {
  const std::vector<uint32_t> text = DecodeWords(words);
  struct Line {
    std::vector<Piece> pieces;
    int64_t width = 0;
  };
  std::vector<Line> lines;
  for (size_t start = 0; start <= text.size();) {
    size_t end = start;
    while (end < text.size() && text[end] != '\n') ++end;
    const std::vector<uint32_t> paragraph(text.begin() + std::ptrdiff_t(start),
                                          text.begin() + std::ptrdiff_t(end));
    const std::vector<Run> runs = ShapeRuns(paragraph, primary, fallback);
    // Each glyph to its line in one pass: a run's glyphs on one line stay a
    // piece, in the run's visual order.
    const std::vector<std::pair<size_t, size_t>> breaks =
        BreakLines(paragraph, runs, std::max<int64_t>(box.width, 0));
    std::vector<int64_t> lineOf(paragraph.size(), -1);
    for (size_t l = 0; l < breaks.size(); ++l)
      for (size_t i = breaks[l].first; i < breaks[l].second; ++i) lineOf[i] = int64_t(l);
    const size_t first = lines.size();
    lines.resize(first + breaks.size());
    std::vector<size_t> pieceRun;  // per line, the run its last piece came from
    pieceRun.assign(breaks.size(), size_t(-1));
    for (size_t r = 0; r < runs.size(); ++r) {
      for (const ShapedGlyph& g : runs[r].glyphs) {
        if (g.cluster >= paragraph.size() || lineOf[g.cluster] < 0) continue;
        const size_t l = size_t(lineOf[g.cluster]);
        Line& line = lines[first + l];
        if (pieceRun[l] != r) {
          line.pieces.push_back(Piece{runs[r].level, runs[r].font, {}});
          pieceRun[l] = r;
        }
        line.pieces.back().glyphs.push_back(g);
        line.pieces.back().glyphs.back().cluster += uint32_t(start);
        line.width += g.advance;
      }
    }
    for (size_t l = first; l < lines.size(); ++l) Reorder(&lines[l].pieces);
    start = end + 1;
  }
  if (text.empty()) lines.clear();

  std::vector<PlacedGlyph> placed;
  if (lines.empty()) return placed;
  const int64_t lineHeight = primary.Ascender() - primary.Descender() + primary.LineGap();
  const int64_t total = int64_t(lines.size()) * lineHeight - primary.LineGap();
  const int64_t top = total <= box.height ? box.top + Half(box.height - total) : box.top;
  for (size_t l = 0; l < lines.size(); ++l) {
    const Line& line = lines[l];
    const int64_t baseline = top + primary.Ascender() + int64_t(l) * lineHeight;
    int64_t pen = box.left;
    if (box.align == TextAlign::Centre) pen += Half(box.width - line.width);
    if (box.align == TextAlign::Right) pen += box.width - line.width;
    for (const Piece& piece : line.pieces)
      for (const ShapedGlyph& g : piece.glyphs) {
        placed.push_back({piece.font, g.glyph, g.cluster, pen + g.dx, baseline - g.dy});
        pen += g.advance;
      }
  }
  return placed;
}

}  // namespace text
