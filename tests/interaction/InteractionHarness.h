#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "app/AppHarness.h"
#include "app/HintTexts.h"
#include "interaction/CardFiles.h"

namespace itest {

using namespace apptest;
using cardfiles::ClientPoint;
using cardfiles::Rgb;
using cardfiles::Rgba;

// The main window at 968 x 620, where built-in cards show at natural size
// in the top-left corner (client point = template pixel), plus files.
struct Harness : AppHarness {
  explicit Harness(int32_t clientW = 968, int32_t clientH = 620)
      : AppHarness(Config(), clientW, clientH) {}

  engine::Card& Card() { return wnd->GetCard(); }
  engine::PhotoSlot& Slot(size_t i) { return Card().slots.at(i); }

  ClientPoint In(size_t slot) { return cardfiles::PointInSlot(Card(), CardRect(), slot); }
  int32_t Hit(ClientPoint p) const { return wnd->HitTestSlot(p.x, p.y); }

  void Move(ClientPoint p) { window->MouseMove(p.x, p.y); }
  void Click(ClientPoint p) {
    window->LButtonDown(p.x, p.y);
    window->LButtonUp(p.x, p.y);
  }

  // Puts a photo into a slot behind the window's back, as a finished
  // earlier click would have.
  void Fill(size_t slot, uint32_t w = 64, uint32_t h = 48) {
    const std::string path = files.Photo("fill" + std::to_string(serial++) + ".png", w, h,
                                         Rgb{30, 120, 200});
    ASSERT_TRUE(engine::LoadPhotoIntoSlot(Card().slots, slot, path, reader));
  }

  // Installs a template from raw pixels, as a dropped layout would.
  void Install(const Rgba& map, const Rgba& overlay) {
    engine::SetTemplate(Card(), map.width, map.height, map.pixels.data(), overlay.pixels.data());
  }

  int CountInvalidations(const Rect& r, bool erase) const {
    return int(std::count_if(
        window->invalidations.begin(), window->invalidations.end(),
        [&](const InvalidationRecord& i) { return i.rect && *i.rect == r && i.erase == erase; }));
  }
  int HintRepaints() const { return CountInvalidations(wnd->GetHintRect(), true); }
  int CardRepaints() const { return CountInvalidations(wnd->GetCardRect(), true); }
  int WholeRepaints(bool erase) const {
    return int(std::count_if(
        window->invalidations.begin(), window->invalidations.end(),
        [&](const InvalidationRecord& i) { return !i.rect && i.erase == erase; }));
  }

  Point Screen(ClientPoint p) const { return window->ClientToScreen(Point{p.x, p.y}); }

  cardfiles::Files files;
  int serial = 0;
};

}  // namespace itest
