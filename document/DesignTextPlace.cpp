#include "document/DesignTextPlace.h"

#include <cstring>

#include "document/BuiltInDesigns.h"

namespace document {

namespace {

// Where each built-in design's greeting reads well, by the design's name: in
// the space its artwork leaves for one, or over the lower part of its main
// photo with a shadow that keeps it readable there. Every box is inside the
// safe area, 1/8 in from the edges.
struct Place {
  const char* design;
  double left, top, width, height;
  const char* font;
  double points;
  uint32_t colour;
  text::TextAlign align;
  text::TextEffect effect;
};

constexpr uint32_t kWhite = 0xffffffff;
constexpr char kScript[] = "Dancing Script";

constexpr Place kPlaces[] = {
    {"Frost", 0.1, 0.74, 0.8, 0.18, kScript, 36, kWhite, text::TextAlign::Centre,
     text::TextEffect::Shadow},
    {"Scrapbook", 0.1, 0.74, 0.8, 0.18, kScript, 36, kWhite, text::TextAlign::Centre,
     text::TextEffect::Shadow},
    {"Hearts", 0.1, 0.76, 0.8, 0.17, kScript, 36, 0xffb03060, text::TextAlign::Centre,
     text::TextEffect::Outline},
    {"Birthday", 0.06, 0.74, 0.5, 0.17, kScript, 32, kWhite, text::TextAlign::Centre,
     text::TextEffect::Shadow},
    // The ribbon under the photos.
    {"Thank You", 0.15, 0.862, 0.7, 0.08, kScript, 20, 0xff3f6b45, text::TextAlign::Centre,
     text::TextEffect::None},
    {"Wedding", 0.13, 0.56, 0.74, 0.11, kScript, 28, kWhite, text::TextAlign::Centre,
     text::TextEffect::Shadow},
    {"New Baby", 0.1, 0.47, 0.8, 0.12, kScript, 32, kWhite, text::TextAlign::Centre,
     text::TextEffect::Shadow},
    {"Holidays", 0.29, 0.72, 0.42, 0.2, kScript, 24, kWhite, text::TextAlign::Centre,
     text::TextEffect::Shadow},
    // A postcard's greeting in its top left corner, as printed ones have it.
    {"Postcard", 0.08, 0.08, 0.6, 0.2, "DejaVu Serif", 30, kWhite, text::TextAlign::Left,
     text::TextEffect::Shadow},
};

}  // namespace

text::TextBox DesignTextPlace(const CardState& state) {
  text::TextBox box;
  box.left = 0.1;
  box.top = 0.7;
  box.width = 0.8;
  box.height = 0.2;
  const BuiltInDesign* design =
      state.design.IsBuiltIn() ? BuiltInDesignAt(state.design.builtInIndex) : nullptr;
  if (!design) return box;
  for (const Place& place : kPlaces) {
    if (std::strcmp(place.design, design->name) != 0) continue;
    box.left = place.left;
    box.top = place.top;
    box.width = place.width;
    box.height = place.height;
    box.font = place.font;
    box.sizePoints = place.points;
    box.colour = place.colour;
    box.align = place.align;
    box.effect = place.effect;
  }
  return box;
}

}  // namespace document
