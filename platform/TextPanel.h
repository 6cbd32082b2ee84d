#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

enum class TextPanelAlign : uint8_t { Left, Centre, Right };
enum class TextPanelEffect : uint8_t { None, Shadow, Outline };

// The words the panel shows, chosen by the program.
struct TextPanelLabels {
  std::string title;  // the panel's window title
  std::string words, font, size, colour, moreColours, bold, italic;
  std::string left, centre, right;
  std::string noEffect, shadow, outline;
  std::string close;
};

// What the editor of a text box shows: the words, several lines, and their
// settings.
struct TextPanelModel {
  TextPanelLabels labels;
  std::string words;  // UTF-8, lines apart by '\n'
  std::vector<std::string> fonts;  // the families offered, in order
  std::string font;
  double sizePoints = 36;
  double minPoints = 4, maxPoints = 400;
  uint32_t colour = 0xff000000;  // 0xAARRGGBB
  std::vector<uint32_t> palette;  // swatches offered before the picker
  bool bold = false;
  bool italic = false;
  TextPanelAlign align = TextPanelAlign::Centre;
  TextPanelEffect effect = TextPanelEffect::None;
};

// What the user changed in the panel.
enum class TextPanelChange : uint8_t { Words, Font, Size, Colour, Bold, Italic, Align, Effect };

class TextPanelHandler {
 public:
  virtual ~TextPanelHandler() = default;
  // Every change as it is made (each letter typed): `model` is the panel
  // as it now stands.
  virtual void TextPanelChanged(const TextPanelModel& model, TextPanelChange what) = 0;
  // The user closed the panel.
  virtual void TextPanelClosed() = 0;
};

}  // namespace platform
