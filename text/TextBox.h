#pragma once

#include <cstdint>
#include <string>

namespace text {

enum class TextAlign : uint8_t { Left, Centre, Right };

// What keeps light or dark words readable over a busy photo.
enum class TextEffect : uint8_t { None, Shadow, Outline };

// Words on the card. Place and size are fractions of the card, so one box
// lands alike at every output size; the type size is in points of the
// design's physical size (a 36 pt line is half an inch tall on the printed
// card, whatever its pixels).
struct TextBox {
  std::string words;  // UTF-8; '\n' starts a new line
  double left = 0.1;  // fractions of the card's width and height
  double top = 0.1;
  double width = 0.8;
  double height = 0.2;
  std::string font = "DejaVu Sans";  // a family name
  double sizePoints = 36;
  uint32_t colour = 0xff000000;  // 0xAARRGGBB, sRGB
  bool bold = false;
  bool italic = false;
  TextAlign align = TextAlign::Centre;
  TextEffect effect = TextEffect::None;

  bool operator==(const TextBox& o) const {
    return words == o.words && left == o.left && top == o.top && width == o.width &&
           height == o.height && font == o.font && sizePoints == o.sizePoints &&
           colour == o.colour && bold == o.bold && italic == o.italic && align == o.align &&
           effect == o.effect;
  }
  bool operator!=(const TextBox& o) const { return !(*this == o); }
};

}  // namespace text
