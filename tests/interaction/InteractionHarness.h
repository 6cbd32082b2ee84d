#pragma once

#include <string>
#include <vector>

#include "app/AppHarness.h"
#include "interaction/CardFiles.h"
#include "interaction/HintTexts.h"

namespace itest {

using namespace apptest;
using cardfiles::ClientPoint;
using cardfiles::Rgb;
using cardfiles::Rgba;
namespace hints = interaction;

// The main window at 968 x 620, where built-in cards show at natural size
// in the top-left corner (client point = template pixel), plus files.
struct Harness : AppHarness {
  explicit Harness(int32_t clientW = 968, int32_t clientH = 620)
      : AppHarness(Config(), clientW, clientH) {}

  engine::Card& Card() { return wnd->GetCard(); }
  engine::PhotoSlot& Slot(size_t i) { return Card().slots.at(i); }

  ClientPoint In(size_t slot) { return cardfiles::PointInSlot(Card(), CardRect(), slot); }
  static Point At(ClientPoint p) { return Point{p.x, p.y}; }
  int32_t Hit(ClientPoint p) const { return wnd->HitTestSlot(At(p)); }

  void Move(ClientPoint p) { window->Move(At(p)); }
  void Press(ClientPoint p) { window->Press(At(p)); }
  void Release(ClientPoint p) { window->Release(At(p)); }
  void Click(ClientPoint p) { window->Click(At(p)); }
  void DoubleClick(ClientPoint p) { window->DoubleClick(At(p)); }
  void QueueOpen(const std::string& path) { window->openAnswers.push_back(FileChoice{path, 0}); }
  // Drags the files to `p` and drops them there; false when the window
  // refused them (then nothing was dropped).
  bool Drop(const std::vector<std::string>& paths, ClientPoint p, bool copyAllowed = true) {
    return window->DropFiles(paths, At(p), copyAllowed);
  }
  bool Accepts(const std::vector<std::string>& paths, ClientPoint p, bool copyAllowed = true) {
    return window->DragFiles(paths, At(p), copyAllowed);
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

  int HintRepaints() const { return Invalidated(wnd->GetHintRect()); }
  int CardRepaints() const { return Invalidated(wnd->GetCardRect()); }
  int WholeRepaints() const { return Invalidated(Client()); }

  cardfiles::Files files;
  int serial = 0;
};

}  // namespace itest
