#include "document/StreamedExport.h"

#include <atomic>
#include <cerrno>
#include <exception>
#include <limits>
#include <memory>
#include <new>
#include <thread>

#include "engine/compose/StreamedCard.h"
#include "imagefiles/ReadPictureFile.h"
#include "imagefiles/StreamedPhoto.h"

namespace document {

namespace {

using engine::ImageFailure;
using engine::ImageStatus;

// Reads, decodes and (when it is the one its slot shows) draws one photo.
ImageStatus DrawPhoto(const engine::Card& card, const SlotPhotoFile& file, bool shown,
                      std::vector<uint8_t>* picture) {
  std::vector<uint8_t> bytes;
  // Looked at before it is read, and read no further than it declares.
  ImageStatus status = imagefiles::ReadPictureFile(file.path, &bytes);
  if (status && bytes.size() > std::numeric_limits<uint32_t>::max()) {
    status = ImageStatus::Unreadable(EFBIG);
  }
  if (!status) return status;
  imagefiles::StreamedPhoto photo;
  status = photo.Open(std::move(bytes));
  if (!status) return status;
  engine::PhotoSlot slot = card.slots[file.slot];
  slot.photoPixels.reset();
  slot.photoWidth = photo.Width();
  slot.photoHeight = photo.Height();
  const int32_t w = slot.BoxWidth(), h = slot.BoxHeight();
  const bool drawn = w > 0 && h > 0 && slot.left >= 0 && slot.top >= 0 &&
                     int64_t(slot.right) <= int64_t(card.cardTemplate.width) &&
                     int64_t(slot.bottom) <= int64_t(card.cardTemplate.height);
  if (shown && drawn) {
    picture->resize(size_t(w) * size_t(h) * 3);
    engine::DrawStreamedSlotPicture(slot, photo, engine::RasterView{picture->data(), w, h, w * 3});
  }
  return photo.Finish();
}

}  // namespace

StreamedRenderResult ExportStreamedCard(const engine::Card& card,
                                        const std::vector<SlotPhotoFile>& photos, uint32_t width,
                                        uint32_t height, const imagefiles::OutputTarget& target,
                                        imagefiles::CardFormat format,
                                        const imagefiles::CardEncoding& encoding) {
  StreamedRenderResult result;
  // The photo each slot shows: the last one named for it.
  std::vector<int> shown(card.slots.size(), -1);
  for (size_t i = 0; i < photos.size(); ++i) {
    if (photos[i].slot < shown.size()) shown[photos[i].slot] = int(i);
  }
  std::vector<std::vector<uint8_t>> pictures(card.slots.size());
  std::vector<ImageStatus> statuses(photos.size());
  std::atomic<size_t> next{0};
  auto work = [&] {
    for (size_t i = next++; i < photos.size(); i = next++) {
      const SlotPhotoFile& file = photos[i];
      if (file.slot >= card.slots.size()) {
        statuses[i] = ImageStatus::Unreadable(EINVAL);
        continue;
      }
      try {
        statuses[i] = DrawPhoto(card, file, shown[file.slot] == int(i), &pictures[file.slot]);
      } catch (const std::bad_alloc&) {
        statuses[i] = ImageStatus::Failed(ImageFailure::OutOfMemory);
      }
    }
  };
  // Decoding dominates; two photos at a time, as many as there are photos
  // to share the work.
  if (photos.size() > 1) {
    std::thread helper(work);
    work();
    helper.join();
  } else {
    work();
  }
  for (size_t i = 0; i < photos.size(); ++i) {
    if (!statuses[i]) {
      result.failedPhoto = int(i);
      result.photoStatus = statuses[i];
      return result;
    }
  }

  size_t bytes = 0;
  if (!engine::CheckedRasterSize(width, height, engine::PixelFormat::Rgb24, &bytes)) {
    result.saved = imagefiles::SaveResult::Failed(imagefiles::SaveStep::Card,
                                                  imagefiles::SaveError::BadCard);
    return result;
  }
  const uint32_t stride = engine::CardImageStride(width);
  std::unique_ptr<uint8_t[]> pixels;
  try {
    std::vector<const uint8_t*> drawn(card.slots.size(), nullptr);
    for (size_t s = 0; s < card.slots.size(); ++s) {
      if (!pictures[s].empty()) drawn[s] = pictures[s].data();
    }
    pixels.reset(new uint8_t[size_t(stride) * height]);
    engine::ComposeCardFromPictures(card, drawn, int32_t(width), int32_t(height), pixels.get(),
                                    int32_t(stride));
  } catch (const std::bad_alloc&) {
    result.saved = imagefiles::SaveResult::Failed(
        imagefiles::SaveStep::Render, std::make_error_code(std::errc::not_enough_memory));
    return result;
  }
  pictures.clear();
  result.saved = imagefiles::WriteCard(target, format, pixels.get(), width, height, stride,
                                       encoding);
  return result;
}

}  // namespace document
