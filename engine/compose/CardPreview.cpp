#include "engine/compose/CardPreview.h"

#include <cstring>
#include <utility>

#include "engine/compose/CardCompositor.h"
#include "engine/compose/OverlayBlend.h"
#include "engine/compose/RegionMask.h"
#include "engine/resample/ResampleLimits.h"

namespace engine {

void CardPreview::Picture::Resize(int32_t w, int32_t h) {
  const int32_t s = int32_t(CardImageStride(uint32_t(w)));
  if (w == width && h == height && s == stride) return;
  pixels.assign(CheckedResampleCount(int64_t(s) * h, 1), 0xFF);
  width = w;
  height = h;
  stride = s;
}

RasterView CardPreview::Frame(const Card& card, int32_t width, int32_t height) {
  if (width <= 0 || height <= 0) return RasterView{};
  const CardKey key = CardKey::Of(card, width, height);
  if (fullValid_ && fullKey_ == key) return full_.View();
  // A frame is made from the kept full-quality picture whenever that shows
  // the same layout, and from the draft alone otherwise.
  const bool fromFull = fullValid_ && fullKey_.SameLayout(key);
  const uint64_t base = fromFull ? fullGeneration_ : 0;
  if (frameValid_ && frameKey_ == key && frameBase_ == base) return frame_.View();

  frame_.Resize(width, height);
  const RasterView out = frame_.View();
  draft_.Prepare(card, key);
  if (fromFull) {
    // The kept picture with the changed slots in draft. A frame already made
    // from the same picture needs only the slots that changed since.
    const bool reuse = frameValid_ && frameBase_ == fullGeneration_ && frameKey_.SameLayout(key);
    if (!reuse) {
      std::memcpy(frame_.pixels.data(), full_.pixels.data(), frame_.pixels.size());
    }
    for (size_t i = 0; i < key.slots.size(); ++i) {
      const bool stale = !key.slots[i].SameContent(fullKey_.slots[i]);
      const bool wasStale = reuse && !frameKey_.slots[i].SameContent(fullKey_.slots[i]);
      if (stale) {
        if (!reuse || !frameKey_.slots[i].SameContent(key.slots[i])) {
          draft_.ComposeSlot(card, key, i, out);
        }
      } else if (wasStale) {
        draft_.CopySlot(i, full_.View(), out);
      }
    }
    frameBase_ = fullGeneration_;
  } else if (frameValid_ && frameBase_ == 0 && frameKey_.SameLayout(key)) {
    for (size_t i = 0; i < key.slots.size(); ++i) {
      if (!key.slots[i].SameContent(frameKey_.slots[i])) draft_.ComposeSlot(card, key, i, out);
    }
  } else {
    draft_.ComposeAll(card, key, out);
    frameBase_ = 0;
  }
  frameKey_ = key;
  frameValid_ = true;
  return out;
}

bool CardPreview::FullQualityReady(const Card& card, int32_t width, int32_t height) const {
  return fullValid_ && fullKey_ == CardKey::Of(card, width, height);
}

bool CardPreview::StepFullQuality(const Card& card, int32_t width, int32_t height) {
  if (width <= 0 || height <= 0) return false;
  const CardKey key = CardKey::Of(card, width, height);
  if (fullValid_ && fullKey_ == key) return false;
  if (!targetValid_ || targetKey_ != key) {
    targetKey_ = key;
    targetValid_ = true;
    stage_ = Stage::Slots;
    scaleTask_.reset();
  }
  const int32_t w0 = int32_t(key.templateWidth), h0 = int32_t(key.templateHeight);
  const bool atTemplateSize = width == w0 && height == h0;

  if (stage_ == Stage::Slots) {
    slotPictures_.resize(key.slots.size());
    if (!key.Blank()) {
      for (size_t i = 0; i < key.slots.size(); ++i) {
        const SlotKey& s = key.slots[i];
        SlotPicture& picture = slotPictures_[i];
        if (!s.drawn || (picture.valid && picture.of.SameContent(s))) continue;
        const RasterView box{picture.pixels.data(), s.BoxWidth(), s.BoxHeight(), s.BoxWidth() * 3};
        if (task_ && (taskSlot_ != i || !picture.of.SameContent(s))) task_.reset();
        if (!task_) {
          picture.valid = false;
          picture.pixels.resize(CheckedResampleCount(int64_t(s.BoxWidth()) * s.BoxHeight(), 3) * 3);
          const RasterView fresh{picture.pixels.data(), s.BoxWidth(), s.BoxHeight(),
                                 s.BoxWidth() * 3};
          picture.of = s;
          if (!s.photo) {
            DrawSlotPicture(card, card.slots[i], fresh, false);
            picture.valid = true;
            return true;
          }
          task_ = SlotPictureTask(card.slots[i], fresh);
          taskSlot_ = i;
        }
        // Bands of about the budget's photo pixels.
        const int64_t cropPixels = int64_t(s.crop.cropWidth) * int64_t(s.crop.cropHeight);
        const int64_t rows = stepSourcePixels_ * box.height / (cropPixels > 0 ? cropPixels : 1);
        if (!task_->Step(int32_t(rows < 1 ? 1 : rows > box.height ? box.height : rows))) {
          task_.reset();
          picture.valid = true;
        }
        return true;
      }
    }
    stage_ = Stage::Compose;
  }

  if (stage_ == Stage::Compose) {
    Picture& target = atTemplateSize ? pending_ : work_;
    if (key.Blank()) {
      // No template: plain white paper at the requested size.
      pending_.Resize(width, height);
      std::memset(pending_.pixels.data(), 0xFF, pending_.pixels.size());
    } else {
      target.Resize(w0, h0);
      const RasterView view = target.View();
      std::memset(view.pixels, 0xFF, target.pixels.size());
      for (size_t i = 0; i < key.slots.size(); ++i) {
        if (!key.slots[i].drawn) continue;
        MaskSlotIntoCard(card.cardTemplate, card.slots[i], slotPictures_[i].pixels.data(), view);
      }
      BlendOverlay(card.cardTemplate, view);
      if (!atTemplateSize) {
        stage_ = Stage::Scale;
        pending_.Resize(width, height);
        scaleTask_ = CardScaleTask(pending_.View(), work_.pixels.data(), w0, h0, work_.stride);
        return true;
      }
    }
  } else {
    // Enlarging costs several times more per destination pixel than reducing
    // costs per photo pixel: a sixth of the budget in destination pixels.
    const int64_t rows = stepSourcePixels_ / 6 / width;
    if (scaleTask_->Step(int32_t(rows < 1 ? 1 : rows > height ? height : rows))) return true;
    scaleTask_.reset();
  }

  std::swap(full_, pending_);
  fullKey_ = targetKey_;
  fullValid_ = true;
  ++fullGeneration_;
  targetValid_ = false;
  stage_ = Stage::Slots;
  return false;
}

void CardPreview::Clear() { *this = CardPreview(); }

}  // namespace engine
