#include "app/CardView.h"

#include <algorithm>
#include <cmath>

#include "app/Metrics.h"
#include "engine/compose/RegionOutline.h"
#include "engine/card/RegionMarks.h"
#include "engine/raster/DecodeControl.h"
#include "interaction/RegionFocus.h"
#include "interaction/TextBoxes.h"

namespace app {

using namespace platform;

CardView::CardView(Platform& platform, int32_t dpi)
    : platform_(platform),
      dpi_(dpi),
      toolbarWidth_(ToolbarWidthFor(dpi)),
      toolbarGap_(ToolbarGapFor(dpi)) {
  // A held photo is drawn from a copy near its shown size, not grainy.
  preview_.SetSmoothDraft(true);
}

void CardView::Arrange(Size client, const engine::CardTemplate& t) {
  hintRect_ = Rect{0, client.height - HintHeightFor(dpi_), client.width, client.height};
  if (window_) window_->PlaceToolbar(Rect{client.width - toolbarWidth_, 0, client.width, hintRect_.top});

  // The card fills the room it has, with the design's proportions, centred
  // along the other direction. A window too small for any card (minimised)
  // shows none.
  const int64_t availW = int64_t(client.width) - toolbarWidth_ - toolbarGap_;
  const int64_t availH = hintRect_.top;
  const int64_t tw = t.width, th = t.height;
  Rect arranged;
  if (availW > 0 && availH > 0 && tw > 0 && th > 0) {
    if (tw * availH > th * availW) {
      const int64_t h = availW * th / tw;
      const int64_t top = (availH - h) >> 1;
      arranged = Rect{0, int32_t(top), int32_t(availW), int32_t(top + h)};
    } else {
      const int64_t w = availH * tw / th;
      const int64_t left = (availW - w) >> 1;
      arranged = Rect{int32_t(left), 0, int32_t(left + w), int32_t(availH)};
    }
  }
  if (arranged == cardRect_) return;
  cardRect_ = arranged;
  if (glass_) ExtendFrame(client);
}

CardView::Size CardView::ClientSizeFor(const engine::CardTemplate& t, Size minimum) const {
  const int32_t chromeW = toolbarWidth_ + toolbarGap_;
  const int32_t chromeH = HintHeightFor(dpi_);
  if (t.width == 0 || t.height == 0 || !window_) return window_ ? window_->ClientSize() : Size{};
  // About the card's present area, in the new proportions.
  const double area = std::max<double>(double(cardRect_.Width()) * cardRect_.Height(),
                                       double(MinimumCardSideFor(dpi_)) * MinimumCardSideFor(dpi_));
  const double aspect = double(t.width) / t.height;
  double w = std::sqrt(area * aspect), h = w / aspect;
  // Within the work area, frame included (a generous allowance for it).
  const Rect work = window_->WorkArea();
  if (!work.Empty()) {
    const Rect frame = window_->FrameRect();
    const Size now = window_->ClientSize();
    const double maxW = work.Width() - (frame.Width() - now.width) - chromeW;
    const double maxH = work.Height() - (frame.Height() - now.height) - chromeH;
    const double fit = std::min({1.0, maxW / w, maxH / h});
    if (fit > 0) w *= fit, h *= fit;
  }
  return Size{std::max(minimum.width, int32_t(std::lround(w)) + chromeW),
              std::max(minimum.height, int32_t(std::lround(h)) + chromeH)};
}

void CardView::ExtendFrame(Size client) {
  window_->ExtendFrame(Margins{cardRect_.left, client.width - cardRect_.right, cardRect_.top,
                               client.height - cardRect_.bottom});
}

void CardView::ShowHint(const char* sentence, const std::string& detail) {
  if (sentence == hintText_ && detail == hintDetail_) return;
  hintText_ = sentence;
  hintDetail_ = detail;
  if (window_) window_->Invalidate(hintRect_);
}

void CardView::ShowHintText(const std::string& sentence) {
  if (hintText_ == madeHint_.c_str() && sentence == madeHint_) return;
  madeHint_ = sentence;
  hintText_ = madeHint_.c_str();
  if (window_) window_->Invalidate(hintRect_);
}

bool CardView::SetSoftPhotos(const std::vector<document::SoftPhoto>& soft) {
  const bool same = soft.size() == soft_.size() &&
                    std::equal(soft.begin(), soft.end(), soft_.begin(),
                               [](const document::SoftPhoto& a, const document::SoftPhoto& b) {
                                 return a.slot == b.slot && a.ppi == b.ppi;
                               });
  if (same) return false;
  soft_ = soft;
  return true;
}

CardView::Rect CardView::SoftMarkRect(const engine::Card& card, size_t slot) const {
  const engine::CardTemplate& t = card.cardTemplate;
  if (slot >= card.slots.size() || !t.Installed() || cardRect_.Empty()) return Rect{};
  if (markMap_ != t.regionMap.get() || markPoints_.size() != card.slots.size()) {
    // Clear of the region's edge by about the mark's half height on screen.
    const int32_t clearance =
        int32_t(int64_t(HintHeightFor(dpi_)) * t.height / std::max(1, cardRect_.Height()));
    markPoints_ = engine::RegionMarkPoints(t, card.slots, clearance);
    markMap_ = t.regionMap.get();
  }
  const geometry::Point p = markPoints_[slot];
  if (p.x < 0) return Rect{};
  const int32_t x = cardRect_.left + int32_t(int64_t(p.x) * cardRect_.Width() / t.width);
  const int32_t y = cardRect_.top + int32_t(int64_t(p.y) * cardRect_.Height() / t.height);
  const int32_t w = dpi_ * 84 / 96, h = HintHeightFor(dpi_);
  return Rect{x - w / 2, y - h / 2, x - w / 2 + w, y - h / 2 + h};
}

void CardView::PaintSoftMarks(Canvas& canvas, const engine::Card& card, const Rect& area) {
  // Amber, with a dark rim and the resolution in words.
  const Colour amber{255, 196, 64}, rim{120, 72, 0};
  for (const document::SoftPhoto& soft : soft_) {
    const Rect r = SoftMarkRect(card, soft.slot);
    if (r.Empty() || !r.Intersects(area)) continue;
    canvas.FillRect(r, rim);
    const Rect inside{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
    canvas.FillRect(inside, amber);
    TextStyle style;
    style.centred = true;
    style.opaque = true;
    style.background = amber;
    canvas.DrawTextLine(std::to_string(soft.ppi) + " ppi", inside, style);
  }
}

void CardView::SetLoading(const engine::Card& card, const std::vector<LoadingMark>& marks) {
  if (marks == loading_) return;
  // Only the marks' rectangles: the card beneath them is drawn from what
  // was composed already.
  if (window_) {
    for (const LoadingMark& mark : loading_)
      if (std::find(marks.begin(), marks.end(), mark) == marks.end())
        window_->Invalidate(SoftMarkRect(card, mark.slot));
    for (const LoadingMark& mark : marks)
      if (std::find(loading_.begin(), loading_.end(), mark) == loading_.end())
        window_->Invalidate(SoftMarkRect(card, mark.slot));
  }
  loading_ = marks;
}

void CardView::PaintLoadingMarks(Canvas& canvas, const engine::Card& card, const Rect& area) {
  // A bar that fills as the photo decodes, where a soft photo's mark would
  // be (a region being filled has none).
  const Colour rim{60, 60, 60}, track{230, 230, 230}, done{70, 130, 200};
  for (const LoadingMark& mark : loading_) {
    const Rect r = SoftMarkRect(card, mark.slot);
    if (r.Empty() || !r.Intersects(area)) continue;
    const int32_t h = std::max(4, r.Height() / 3);
    const Rect bar{r.left, r.top + (r.Height() - h) / 2, r.right, r.top + (r.Height() - h) / 2 + h};
    canvas.FillRect(bar, rim);
    const Rect inside{bar.left + 1, bar.top + 1, bar.right - 1, bar.bottom - 1};
    canvas.FillRect(inside, track);
    const uint32_t part = std::min(mark.part, engine::DecodeControl::kWhole);
    const int32_t filled =
        int32_t(int64_t(inside.Width()) * part / engine::DecodeControl::kWhole);
    if (filled > 0)
      canvas.FillRect(Rect{inside.left, inside.top, inside.left + filled, inside.bottom}, done);
  }
}

void CardView::RepaintCard() {
  if (window_) window_->Invalidate(cardRect_);
}

void CardView::RepaintAll() {
  if (!window_) return;
  const Size client = window_->ClientSize();
  window_->Invalidate(Rect{0, 0, client.width, client.height});
}

void CardView::Paint(Canvas& canvas, const Rect& area, const engine::Card& card, int32_t ringSlot,
                     int32_t dropSlot) {
  // Around the card, never over it: the card covers its rectangle fully, so
  // it does not flicker. Black is what lets glass show through.
  const Colour background = glass_ ? Colour{0, 0, 0} : platform_.FaceColour();
  const Size size = window_->ClientSize();
  const Rect c{0, 0, size.width, size.height};
  const Rect& r = cardRect_;
  const Rect bands[] = {
      {c.left, c.top, c.right, r.top},
      {c.left, r.top, r.left, r.bottom},
      {r.right, r.top, c.right, r.bottom},
      {c.left, r.bottom, c.right, c.bottom},
  };
  for (const Rect& band : bands)
    if (!band.Empty() && band.Intersects(area)) canvas.FillRect(band, background);

  if (r.Intersects(area)) {
    PaintCard(canvas, card);
    PaintSoftMarks(canvas, card, area);
    PaintLoadingMarks(canvas, card, area);
    PaintSelection(canvas);
  }
  // The keyboard's place on the card, and where a drop would go: on the
  // screen only, never in a save. The ring is two device pixels wide; the
  // drop's edge is wider, to be seen from afar while the hand moves.
  const int32_t ratio =
      std::max(1, int32_t(std::lround(window_ ? window_->DevicePixelRatio() : 1.0)));
  if (ringSlot != -1 && interaction::RegionFocus::OutlineOnScreen(card, r, ringSlot).Intersects(area))
    PaintOutline(canvas, card, ringSlot, 2);
  if (dropSlot != -1 && interaction::RegionFocus::OutlineOnScreen(card, r, dropSlot).Intersects(area))
    PaintOutline(canvas, card, dropSlot, 4 * ratio);
  if (hintRect_.Intersects(area)) PaintHintLine(canvas);
}

void CardView::PaintOutline(Canvas& canvas, const engine::Card& card, int32_t slot,
                            int32_t thickness) {
  const Size device = DeviceCardSize();
  if (slot < 0 || size_t(slot) >= card.slots.size() || device.width <= 0 || device.height <= 0)
    return;
  const engine::PhotoSlot& box = card.slots[size_t(slot)];
  Outline& made = outlines_[thickness == 2 ? 0 : 1];
  const engine::RegionMap& map = card.cardTemplate.regionMap;
  const bool sameMap = !made.regionMap.expired() && !made.regionMap.owner_before(map) &&
                       !map.owner_before(made.regionMap);
  const bool same = made.slot == slot && made.thickness == thickness && made.device == device &&
                    sameMap &&
                    made.box.left == box.left && made.box.top == box.top &&
                    made.box.right == box.right && made.box.bottom == box.bottom &&
                    made.box.keyColour == box.keyColour;
  if (!same) {
    made.pieces = engine::RegionOutline(card, size_t(slot), device.width, device.height, thickness);
    made.regionMap = map;
    made.box = engine::PhotoSlot{};
    made.box.left = box.left, made.box.top = box.top, made.box.right = box.right;
    made.box.bottom = box.bottom, made.box.keyColour = box.keyColour;
    made.slot = slot, made.thickness = thickness, made.device = device;
  }
  canvas.DrawFocusOutline(cardRect_, device, made.pieces);
}

bool CardView::SetTexts(const std::vector<text::TextBox>& texts, double designInches,
                        int32_t selected, int32_t grip) {
  // Without words the card paints as it always did, whatever the design's size.
  const bool none = texts.empty() && texts_.empty() && selected == -1 && selectedText_ == -1;
  if (none || (texts == texts_ && designInches == designInches_ && selected == selectedText_ &&
               grip == grip_)) {
    designInches_ = designInches;
    grip_ = grip;
    return false;
  }
  texts_ = texts;
  designInches_ = designInches;
  selectedText_ = selected;
  grip_ = grip;
  if (texts_.empty()) {
    // Nothing of the words stays behind: the card paints as it always did.
    std::vector<uint8_t>().swap(worded_);
    setWords_ = text::SetWords{};
    setFrom_.clear();
    notes_ = text::TextNotes{};
  }
  return true;
}

CardView::Rect CardView::SelectionArea() const {
  if (selectedText_ < 0 || size_t(selectedText_) >= texts_.size()) return Rect{};
  const Rect box = interaction::TextBoxOnScreen(texts_[size_t(selectedText_)], cardRect_);
  return Rect{box.left - grip_, box.top - grip_, box.right + grip_, box.bottom + grip_};
}

void CardView::PaintSelection(Canvas& canvas) {
  if (selectedText_ < 0 || size_t(selectedText_) >= texts_.size()) return;
  const Size device = DeviceCardSize();
  if (device.width <= 0 || device.height <= 0 || cardRect_.Empty()) return;
  // On the screen only: a thin frame and square handles in the selection
  // colour, white inside, cut at the card's edge like the focus ring.
  const double ratio = double(device.width) / cardRect_.Width();
  const auto toDevice = [&](const Rect& r) {
    const auto at = [&](int32_t v, int32_t origin) {
      return int32_t(std::lround((v - origin) * ratio));
    };
    return Rect{at(r.left, cardRect_.left), at(r.top, cardRect_.top), at(r.right, cardRect_.left),
                at(r.bottom, cardRect_.top)};
  };
  const auto clip = [&](Rect r) {
    r.left = std::max(r.left, 0), r.top = std::max(r.top, 0);
    r.right = std::min(r.right, device.width), r.bottom = std::min(r.bottom, device.height);
    return r;
  };
  const Rect box = interaction::TextBoxOnScreen(texts_[size_t(selectedText_)], cardRect_);
  const Rect d = toDevice(box);
  const int32_t line = std::max(1, int32_t(std::lround(ratio)));
  std::vector<Rect> pieces = {
      {d.left, d.top, d.right, d.top + line},
      {d.left, d.bottom - line, d.right, d.bottom},
      {d.left, d.top, d.left + line, d.bottom},
      {d.right - line, d.top, d.right, d.bottom},
  };
  const std::vector<Rect> handles = interaction::TextHandles(box, grip_);
  for (const Rect& h : handles) pieces.push_back(toDevice(h));
  std::vector<Rect> shown;
  for (const Rect& p : pieces)
    if (!clip(p).Empty()) shown.push_back(clip(p));
  canvas.DrawFocusOutline(cardRect_, device, shown);
  for (const Rect& h : handles) {
    Rect inside{std::max(h.left + 1, cardRect_.left), std::max(h.top + 1, cardRect_.top),
                std::min(h.right - 1, cardRect_.right), std::min(h.bottom - 1, cardRect_.bottom)};
    if (!inside.Empty()) canvas.FillRect(inside, Colour{255, 255, 255});
  }
}

CardView::Size CardView::DeviceCardSize() const {
  const double ratio = window_ ? window_->DevicePixelRatio() : 1.0;
  return Size{int32_t(std::lround(cardRect_.Width() * ratio)),
              int32_t(std::lround(cardRect_.Height() * ratio))};
}

bool CardView::FullQualityShown(const engine::Card& card) const {
  const Size device = DeviceCardSize();
  return preview_.FullQualityReady(card, device.width, device.height);
}

void CardView::PaintCard(Canvas& canvas, const engine::Card& card) {
  const Size device = DeviceCardSize();
  if (device.width <= 0 || device.height <= 0) return;
  if (!card.cardTemplate.Installed()) {
    canvas.FillRect(cardRect_, Colour{0, 0, 0});
    return;
  }
  // The whole card, whatever part of it is invalid: one copy of what the
  // preview has ready.
  const engine::RasterView frame = preview_.Frame(card, device.width, device.height);
  if (texts_.empty()) {
    canvas.DrawRgb(cardRect_, frame.pixels, frame.width, frame.height, frame.stride);
  } else {
    // The words go on a copy: the preview's picture is its cache.
    const size_t bytes = size_t(frame.stride) * size_t(frame.height);
    worded_.assign(frame.pixels, frame.pixels + bytes);
    // Points are of the printed card, so on screen they scale with it.
    const double ppi = designInches_ > 0
                           ? frame.width / designInches_
                           : frame.width * 150.0 / std::max<uint32_t>(1, card.cardTemplate.width);
    if (setFrom_ != texts_ || setPpi_ != ppi || setWords_.width != uint32_t(frame.width) ||
        setWords_.height != uint32_t(frame.height)) {
      notes_ = text::TextNotes{};
      setWords_ =
          text::SetTexts(uint32_t(frame.width), uint32_t(frame.height), ppi, texts_, &notes_);
      setFrom_ = texts_;
      setPpi_ = ppi;
    }
    text::ComposeTexts(worded_.data(), size_t(frame.stride), setWords_);
    canvas.DrawRgb(cardRect_, worded_.data(), frame.width, frame.height, frame.stride);
  }
  if (!preview_.FullQualityReady(card, device.width, device.height)) window_->RequestIdle();
}

bool CardView::Idle(const engine::Card& card, bool moving) {
  // A photo on the move is drawn in draft; full quality waits until it rests.
  if (!window_ || moving) return false;
  const Size device = DeviceCardSize();
  if (device.width <= 0 || device.height <= 0 || !card.cardTemplate.Installed()) return false;
  if (preview_.StepFullQuality(card, device.width, device.height)) return true;
  // Ready: show it (a repaint that asks for nothing more).
  RepaintCard();
  return false;
}

void CardView::PaintHintLine(Canvas& canvas) {
  if (!hintText_) return;
  std::string line = hintText_;
  const size_t mark = line.find("%s");
  if (mark != std::string::npos) line.replace(mark, 2, hintDetail_);
  const int32_t inset = TextInsetFor(dpi_);
  TextStyle style;
  if (glass_) {
    // Glow keeps the line readable on glass; it rests on the bottom edge.
    style.font = TextFont::StatusLine;
    style.glow = true;
    canvas.DrawTextLine(line,
                        Rect{hintRect_.left + inset, hintRect_.top + inset,
                             hintRect_.right - inset, hintRect_.bottom},
                        style);
  } else {
    style.opaque = true;
    style.background = platform_.FaceColour();
    canvas.DrawTextLine(line,
                        Rect{hintRect_.left + inset, hintRect_.top + inset,
                             hintRect_.right - inset, hintRect_.bottom - inset},
                        style);
  }
}

}  // namespace app
