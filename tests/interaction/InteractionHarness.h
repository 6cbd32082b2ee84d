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

  const engine::Card& Card() { return wnd->Document().Card(); }
  const engine::PhotoSlot& Slot(size_t i) { return Card().slots.at(i); }
  // Changes a slot as a finished gesture would have.
  template <typename Change>
  void Edit(size_t slot, Change change) {
    wnd->Document().EditSlots(
        [&](engine::SlotList& slots) {
          change(slots.at(slot));
          return true;
        },
        document::Commit::Step);
  }

  ClientPoint In(size_t slot) { return cardfiles::PointInSlot(Card(), CardRect(), slot); }
  static Point At(ClientPoint p) { return Point{p.x, p.y}; }
  int32_t Hit(ClientPoint p) const { return wnd->Gestures().HitTest(At(p)); }

  // Tab comes in from the toolbar and goes on until `slot` has the ring.
  void TabTo(int32_t slot) {
    window->Focus(true, FocusReason::Forward);
    for (int i = 0; i < 8 && wnd->Gestures().Focus().Slot() != slot; ++i)
      window->KeyPress(Key::Tab);
    ASSERT_EQ(wnd->Gestures().Focus().Slot(), slot);
  }

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

  // Puts a photo into a slot, as a finished earlier click would have.
  void Fill(size_t slot, uint32_t w = 64, uint32_t h = 48) {
    const std::string path = files.Photo("fill" + std::to_string(serial++) + ".png", w, h,
                                         Rgb{30, 120, 200});
    ASSERT_TRUE(wnd->Document().LoadPhoto(slot, path));
  }

  // Installs a template from raw pixels, as a dropped layout would.
  void Install(const Rgba& map, const Rgba& overlay) {
    const std::string path = files.Layout("install" + std::to_string(serial++) + ".jli", map, overlay);
    ASSERT_EQ(wnd->Document().OpenLayout(path), imagefiles::LayoutStatus::Ok);
  }

  int HintRepaints() const { return Invalidated(wnd->View().HintRect()); }
  int CardRepaints() const { return Invalidated(wnd->View().CardRect()); }
  int WholeRepaints() const { return Invalidated(Client()); }

  cardfiles::Files files;
  int serial = 0;
};

}  // namespace itest
