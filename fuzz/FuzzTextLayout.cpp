// Words set in type over a small card: any bytes as the words, in any of the
// bundled families or a missing one, at any size, style and effect, in a box
// anywhere on or off the card, up to three boxes; set both in pixels and as
// a PDF's text, whose every glyph must name a face it has and a made-up
// face's glyph an outline.
//
// Input: per box a 12-byte header, then the words up to a 0 byte (or the end).
//   0     family: 0 sans, 1 serif, 2 script, 3 a family no system has
//   1     bit 0 bold, bit 1 italic, bits 2-3 alignment, bits 4-5 effect
//   2-3   type size in quarter points, big-endian
//   4-11  left, top, width, height in thousandths of the card, signed 16-bit
// The card is 96 x 64 at 72 ppi.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "text/DrawTexts.h"
#include "text/VectorWords.h"

namespace {

constexpr uint32_t kWidth = 96;
constexpr uint32_t kHeight = 64;
constexpr size_t kHeader = 12;

int16_t Signed16(const uint8_t* p) { return int16_t(uint16_t(p[0] << 8 | p[1])); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const char* const kFamilies[] = {"DejaVu Sans", "DejaVu Serif", "Dancing Script",
                                          "No Such Family"};
  std::vector<text::TextBox> boxes;
  size_t at = 0;
  while (boxes.size() < 3 && size - at >= kHeader) {
    const uint8_t* h = data + at;
    text::TextBox box;
    box.font = kFamilies[h[0] & 3];
    box.bold = h[1] & 1;
    box.italic = h[1] & 2;
    box.align = text::TextAlign(((h[1] >> 2) & 3) % 3);
    box.effect = text::TextEffect(((h[1] >> 4) & 3) % 3);
    box.sizePoints = double(uint16_t(h[2] << 8 | h[3])) / 4;
    box.left = Signed16(h + 4) / 1000.0;
    box.top = Signed16(h + 6) / 1000.0;
    box.width = Signed16(h + 8) / 1000.0;
    box.height = Signed16(h + 10) / 1000.0;
    box.colour = 0xff000000u | uint32_t(h[0]) << 16 | uint32_t(h[1]) << 8 | h[2];
    at += kHeader;
    size_t end = at;
    while (end < size && data[end] != 0) ++end;
    box.words.assign(reinterpret_cast<const char*>(data + at), end - at);
    at = end < size ? end + 1 : end;
    boxes.push_back(std::move(box));
  }
  const size_t stride = kWidth * 3 + 2;
  std::vector<uint8_t> pixels(stride * kHeight, 200);
  text::TextNotes notes;
  text::DrawTexts(pixels.data(), stride, kWidth, kHeight, 72, boxes, &notes);
  const text::VectorWords words = text::SetVectorWords(kWidth, kHeight, 72, boxes);
  for (const text::VectorText& text : words.texts)
    for (const text::VectorGlyph& glyph : text.glyphs) {
      if (glyph.face >= words.faces.size()) std::abort();
      const text::VectorFace& face = words.faces[glyph.face];
      if (face.madeUp && face.outlines.count(glyph.glyph) == 0) std::abort();
    }
  return 0;
}
