#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "document/DesignSizes.h"
#include "engine/card/CardTemplate.h"
#include "engine/compose/CardPreview.h"
#include "platform/Platform.h"
#include "text/DrawTexts.h"

namespace app {

// The window's client area as the user sees it: the card, as large as the
// window allows with the design's proportions; the toolbar column at the
// right; the hint line along the bottom. The card on screen is the full
// quality render at the screen's device pixels, made on idle moments; what
// moves is drawn in draft meanwhile.
class CardView {
 public:
  using Rect = geometry::Rect;
  using Size = geometry::Size;

  CardView(platform::Platform& platform, int32_t dpi);

  void Attach(platform::Window* window) { window_ = window; }

  // Lays out the card area, the toolbar column and the hint line for a
  // client area of this size and a card of the template's proportions.
  void Arrange(Size client, const engine::CardTemplate& cardTemplate);
  // The client size that shows a card of these proportions with about the
  // room the card has now, within the work area; `minimum` is the least
  // client size the window allows.
  Size ClientSizeFor(const engine::CardTemplate& cardTemplate, Size minimum) const;

  Rect CardRect() const { return cardRect_; }
  Rect HintRect() const { return hintRect_; }
  int32_t ToolbarWidth() const { return toolbarWidth_; }
  int32_t ToolbarGap() const { return toolbarGap_; }
  bool Glass() const { return glass_; }
  // Desktop composition is on: the frame reaches into the client area
  // around the card.
  void SetGlass(bool glass) { glass_ = glass; }
  void ExtendFrame(Size client);

  const char* HintText() const { return hintText_; }
  // What stands for "%s" in the sentence (a file's name), or empty.
  const std::string& HintDetail() const { return hintDetail_; }
  // A different sentence is stored and its line repainted; the same one
  // again changes nothing.
  void ShowHint(const char* sentence, const std::string& detail = std::string());
  // A sentence made on the spot (one with a number in it), compared by its
  // words.
  void ShowHintText(const std::string& sentence);

  // The photos that would print soft at the size saves are for: each gets a
  // mark on its region, on the screen only.
  // True when they differ from the ones marked before; the caller repaints.
  bool SetSoftPhotos(const std::vector<document::SoftPhoto>& soft);
  const std::vector<document::SoftPhoto>& SoftPhotos() const { return soft_; }
  // Where the mark of slot `slot`'s photo sits on screen (empty when none).
  Rect SoftMarkRect(const engine::Card& card, size_t slot) const;

  // Regions whose photo is being read, each with a mark of how far it got
  // (`part` of engine::DecodeControl::kWhole), on the screen only. Repaints
  // the marks that changed.
  struct LoadingMark {
    size_t slot = 0;
    uint32_t part = 0;
    bool operator==(const LoadingMark& o) const { return slot == o.slot && part == o.part; }
  };
  void SetLoading(const engine::Card& card, const std::vector<LoadingMark>& marks);
  const std::vector<LoadingMark>& Loading() const { return loading_; }

  // The card's words, drawn over its picture at the size they have on the
  // design's physical width (`designInches`); box `selected` (-1: none) gets
  // a frame with handles `grip` client pixels wide. True when anything
  // changed; the caller repaints.
  bool SetTexts(const std::vector<text::TextBox>& texts, double designInches, int32_t selected,
                int32_t grip);
  // What the last paint could not set as asked (a font not on this computer).
  const text::TextNotes& TextNotes() const { return notes_; }
  // The frame and handles of the selected box, on screen; empty for none.
  Rect SelectionArea() const;

  // `ringSlot`: the region with a focus ring, `dropSlot`: the region files
  // dragged over the card would go to; -1 for none.
  void Paint(platform::Canvas& canvas, const Rect& area, const engine::Card& card,
             int32_t ringSlot, int32_t dropSlot = -1);
  // One step of the full-quality picture; true while more are wanted.
  // `moving`: a photo is being dragged, which waits until it rests.
  bool Idle(const engine::Card& card, bool moving);

  void RepaintCard();
  void RepaintAll();

  // The card's size in device pixels (twice the client pixels on a
  // scale-2 screen), and whether its full-quality picture is shown.
  Size DeviceCardSize() const;
  bool FullQualityShown(const engine::Card& card) const;

 private:
  void PaintCard(platform::Canvas& canvas, const engine::Card& card);
  void PaintHintLine(platform::Canvas& canvas);
  // A region's edge `thickness` device pixels wide, made once per region,
  // size and design.
  void PaintOutline(platform::Canvas& canvas, const engine::Card& card, int32_t slot,
                    int32_t thickness);

  struct Outline {
    // Weak, so a new design's map made where the old one was freed is not
    // taken for it, and the old one is not kept alive.
    std::weak_ptr<const uint8_t[]> regionMap;
    engine::PhotoSlot box;  // only the box and key matter
    int32_t slot = -1, thickness = 0;
    Size device;
    std::vector<Rect> pieces;
  };
  void PaintSoftMarks(platform::Canvas& canvas, const engine::Card& card, const Rect& area);
  void PaintSelection(platform::Canvas& canvas);
  void PaintLoadingMarks(platform::Canvas& canvas, const engine::Card& card, const Rect& area);

  platform::Platform& platform_;
  platform::Window* window_ = nullptr;
  int32_t dpi_;
  int32_t toolbarWidth_;
  int32_t toolbarGap_;
  bool glass_ = false;
  Rect cardRect_;
  Rect hintRect_;
  const char* hintText_ = nullptr;  // one of interaction/HintTexts.h, compared by identity
  std::string hintDetail_;
  std::string madeHint_;            // the sentence hintText_ shows when it was made here
  std::vector<document::SoftPhoto> soft_;
  std::vector<LoadingMark> loading_;
  // Where the marks go, in template pixels, for the region map they were
  // found on.
  mutable std::vector<geometry::Point> markPoints_;
  mutable const void* markMap_ = nullptr;
  Outline outlines_[2];             // the focus ring's and the drop's
  engine::CardPreview preview_;
  std::vector<text::TextBox> texts_;
  double designInches_ = 0;
  int32_t selectedText_ = -1;
  int32_t grip_ = 8;
  std::vector<uint8_t> worded_;  // the picture with the words on it
  // The words set in type for the card's device size, and what they were
  // set from: a photo dragged beneath them only composes them again.
  text::SetWords setWords_;
  std::vector<text::TextBox> setFrom_;
  double setPpi_ = 0;
  text::TextNotes notes_;
};

}  // namespace app
