#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "engine/compose/CardKey.h"
#include "engine/card/CardTemplate.h"
#include "engine/compose/DraftComposer.h"
#include "engine/raster/RasterView.h"
#include "engine/resample/ResampleTask.h"

namespace engine {

// The card as the window shows it, at the window's device pixels.
//
// While nothing changes, the picture is the full-quality render, exactly
// RenderCard(card, width, height, pixels, stride, false), computed in small
// steps on idle moments and kept. When the card changes, Frame shows at once
// what is ready: the kept full-quality picture with every slot whose photo or
// crop changed since drawn in draft (its region's pixels, overlay included,
// exactly as RenderCard(..., true) has them; a drag therefore redraws only the
// dragged slot), or, when the template, the size or the slot layout changed,
// the whole card in draft. Each StepFullQuality then does a bounded share of
// the full-quality work for the card as it is at that moment.
//
// Every call takes the card itself and compares a key of everything the
// render depends on (template arrays, tile, size, slot boxes and keys,
// photos, crops), so nothing needs invalidating by hand. Not thread-safe: one
// thread (the window's) owns the preview.
class CardPreview {
 public:
  // The picture to show for `card` at width x height: Rgb24 rows in R, G, B
  // order, `stride` CardImageStride(width) bytes apart. Valid until the next
  // call on this preview. Never does full-quality work: at 900 x 600 a frame
  // costs a comparison when nothing changed, well under a millisecond when
  // one slot moved. Width or height of 0 or less gives an empty view.
  RasterView Frame(const Card& card, int32_t width, int32_t height);

  // True when the full-quality picture of exactly this card at this size is
  // ready, so Frame returns it.
  bool FullQualityReady(const Card& card, int32_t width, int32_t height) const;

  // Does one step of the full-quality work for this card at this size: a
  // band of one slot's photo resampled (about kStepSourcePixels photo pixels
  // read, see SetStepBudget), then the composition, then the final scaling
  // in bands. True while steps
  // remain; false once the picture is ready (repaint then), also when it
  // already was. A change to the card between steps keeps the work that
  // still applies (slots whose photo and crop are unchanged).
  bool StepFullQuality(const Card& card, int32_t width, int32_t height);

  // Frees every kept picture; the next Frame starts from the draft.
  void Clear();

  // Draft slots from reduced copies of large photos (DraftComposer::SetSmooth)
  // rather than exactly RenderCard's draft: what the window shows.
  void SetSmoothDraft(bool smooth) { draft_.SetSmooth(smooth); }

  // The photo pixels one step reads, about a millisecond each here; tests
  // make it small to see many steps.
  static constexpr int64_t kStepSourcePixels = 3'000'000;
  void SetStepBudget(int64_t sourcePixels) { stepSourcePixels_ = sourcePixels; }

 private:
  struct Picture {
    std::vector<uint8_t> pixels;
    int32_t width = 0, height = 0, stride = 0;
    void Resize(int32_t w, int32_t h);
    RasterView View() { return RasterView{pixels.data(), width, height, stride}; }
  };
  struct SlotPicture {  // a slot's full-quality box, and what it shows
    SlotKey of;
    bool valid = false;
    std::vector<uint8_t> pixels;
  };
  enum class Stage { Slots, Compose, Scale };

  DraftComposer draft_;

  // The full-quality picture and the card it shows.
  Picture full_;
  CardKey fullKey_;
  bool fullValid_ = false;
  uint64_t fullGeneration_ = 0;

  // The last picture Frame made, when it was not the full one.
  Picture frame_;
  CardKey frameKey_;
  bool frameValid_ = false;
  uint64_t frameBase_ = 0;  // generation of the full picture it started from; 0: pure draft

  // Full-quality work in progress.
  CardKey targetKey_;
  bool targetValid_ = false;
  Stage stage_ = Stage::Slots;
  std::vector<SlotPicture> slotPictures_;
  std::unique_ptr<ResampleTask> task_;  // the slot picture being resampled
  size_t taskSlot_ = 0;
  std::unique_ptr<ResampleTask> scaleTask_;  // the final scaling in progress
  int64_t stepSourcePixels_ = kStepSourcePixels;
  Picture work_;     // the template-sized card
  Picture pending_;  // the finished picture before it replaces full_
};

}  // namespace engine
