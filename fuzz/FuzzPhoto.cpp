// A photo file loaded into a slot and the card rendered at several sizes and
// pans. The input is a 12-byte header (pan x and y as raw floats, so NaN and
// the infinities come up, then a card width and height) and the photo file.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <utility>
#include <vector>

#include "FuzzSupport.h"
#include "document/PhotoFile.h"
#include "engine/compose/CardCompositor.h"
#include "engine/card/CardTemplate.h"
#include "engine/card/PhotoPlacement.h"

namespace {

constexpr size_t kHeader = 12;
constexpr uint32_t kCardWidth = 96;
constexpr uint32_t kCardHeight = 64;

// Two regions side by side and a frame of transparent pixels, with an
// overlay that is half transparent in its top half.
engine::Card MakeCard() {
  std::vector<uint8_t> map(size_t(kCardWidth) * kCardHeight * 4, 0);
  std::vector<uint8_t> overlay(map.size(), 0);
  for (uint32_t y = 0; y < kCardHeight; ++y) {
    for (uint32_t x = 0; x < kCardWidth; ++x) {
      uint8_t* m = &map[(size_t(y) * kCardWidth + x) * 4];
      if (x > 2 && y > 2 && x + 3 < kCardWidth && y + 3 < kCardHeight) {
        m[x < kCardWidth / 2 ? 0 : 1] = 255;
        m[3] = 255;
      }
      if (y < kCardHeight / 2) overlay[(size_t(y) * kCardWidth + x) * 4 + 3] = 128;
    }
  }
  engine::Card card;
  engine::SetTemplate(card, kCardWidth, kCardHeight, map.data(), overlay.data());
  card.placeholderTile = std::make_shared<const engine::Raster>(fuzzing::FlatPicture(5, 3, 200));
  return card;
}

float FloatAt(const uint8_t* p) {
  float value = 0;
  std::memcpy(&value, p, sizeof value);
  return value;
}

void Render(const engine::Card& card, int32_t width, int32_t height, bool draft) {
  const int32_t stride = int32_t(engine::CardImageStride(uint32_t(width)));
  std::vector<uint8_t> pixels(size_t(stride) * size_t(height));
  engine::RenderCard(card, width, height, pixels.data(), stride, draft);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < kHeader) return -1;
  engine::Card card = MakeCard();
  const fuzzing::InputReader reader(data + kHeader, size - kHeader);
  engine::Raster photo;
  document::PhotoSource source;
  if (!document::ReadPhotoFile("photo", reader, &photo, &source) ||
      !engine::PutPhoto(card.slots, 1, std::move(photo)))
    return 0;
  const engine::PhotoSlot& slot = card.slots[1];
  if (uint64_t(slot.photoWidth) * slot.photoHeight > fuzzing::kMaxPhotoPixels) return 0;

  const float inf = std::numeric_limits<float>::infinity();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float pans[][2] = {{FloatAt(data), FloatAt(data + 4)}, {nan, -inf}, {inf, -1e30f}};
  const int32_t width = 1 + data[8] % 128 + (data[9] % 2) * 128;
  const int32_t height = 1 + data[10] % 128 + (data[11] % 2) * 128;
  for (const auto& pan : pans) {
    card.slots[1].panX = pan[0];
    card.slots[1].panY = pan[1];
    Render(card, int32_t(kCardWidth), int32_t(kCardHeight), true);
    Render(card, int32_t(kCardWidth), int32_t(kCardHeight), false);
  }
  // The header's pan at the header's size.
  card.slots[1].panX = pans[0][0];
  card.slots[1].panY = pans[0][1];
  Render(card, width, height, false);
  return 0;
}
