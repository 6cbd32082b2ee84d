#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "TestImages.h"
#include "engine/card/CardTemplate.h"
#include "engine/compose/CardCompositor.h"
#include "engine/compose/StreamedCard.h"
#include "imagefiles/DecodeImage.h"
#include "imagefiles/StreamedPhoto.h"

namespace {

using engine::Crop;
using engine::ImageStatus;
using engine::Raster;
using imagefiles::StreamedPhoto;
using Bytes = std::vector<uint8_t>;

struct Kind {
  const char* name;
  int components;
  testimages::JpegOptions options;
};

std::vector<Kind> Kinds() {
  std::vector<Kind> kinds;
  auto add = [&](const char* name, int components, auto change) {
    testimages::JpegOptions o;
    change(o);
    kinds.push_back({name, components, o});
  };
  add("4:2:0", 3, [](auto&) {});
  add("4:2:2", 3, [](auto& o) { o.lumaHeight = 1; });
  add("4:4:4", 3, [](auto& o) { o.lumaWidth = o.lumaHeight = 1; });
  add("4:4:0", 3, [](auto& o) { o.lumaWidth = 1; });
  add("4:1:1", 3, [](auto& o) {
    o.lumaWidth = 4;
    o.lumaHeight = 1;
  });
  add("grey", 1, [](auto&) {});
  add("cmyk", 4, [](auto& o) { o.cmyk = true; });
  add("ycck", 4, [](auto& o) { o.cmyk = o.ycck = true; });
  add("progressive", 3, [](auto& o) { o.progressive = true; });
  add("restarts", 3, [](auto& o) { o.restartRows = 1; });
  return kinds;
}

// The crops a slot may take: corners, edges, the middle, whole rows and
// columns, single pixels.
std::vector<Crop> Crops(uint32_t w, uint32_t h) {
  std::vector<Crop> crops = {{0, 0, w, h},
                             {0, 0, 1, 1},
                             {int32_t(w - 1), int32_t(h - 1), 1, 1},
                             {0, 0, w / 2, h / 3},
                             {int32_t(w / 3), int32_t(h / 4), w / 3, h / 2},
                             {int32_t(w - w / 5), 1, w / 5, h - 1},
                             {17, 9, 33, 41},
                             {int32_t(w / 2) + 1, int32_t(h / 2) + 3, w / 2 - 1, h / 2 - 3},
                             {31, 0, 2, h},
                             {0, 15, w, 2}};
  return crops;
}

// Every row of every crop of every kind of JPEG, read as it is decoded, is
// the whole decode's row; the file then finishes as the whole decode does.
TEST(StreamedPhoto, RowsAreTheWholeDecodesForEveryKindAndCrop) {
  const uint32_t w = 157, h = 93;
  for (const Kind& kind : Kinds()) {
    const Bytes pixels = testimages::SyntheticPhoto(w, h, kind.components);
    const Bytes jpeg = testimages::EncodeJpeg(pixels.data(), w, h, kind.components, kind.options);
    Raster whole;
    ASSERT_TRUE(imagefiles::DecodeImage(jpeg.data(), uint32_t(jpeg.size()),
                                        imagefiles::DecodeMode::Photo, &whole))
        << kind.name;
    for (const Crop& crop : Crops(w, h)) {
      SCOPED_TRACE(testing::Message() << kind.name << " crop " << crop.cropX << "," << crop.cropY
                                      << " " << crop.cropWidth << "x" << crop.cropHeight);
      StreamedPhoto photo;
      ASSERT_TRUE(photo.Open(jpeg));
      EXPECT_TRUE(photo.Streams());
      ASSERT_EQ(photo.Width(), w);
      ASSERT_EQ(photo.Height(), h);
      photo.Begin(crop);
      for (uint32_t y = 0; y < crop.cropHeight; ++y) {
        const uint8_t* expected = whole.Row(uint32_t(crop.cropY) + y) + size_t(crop.cropX) * 3;
        ASSERT_EQ(0, std::memcmp(photo.NextRow(), expected, size_t(crop.cropWidth) * 3))
            << "row " << y;
      }
      EXPECT_TRUE(photo.Finish());
    }
  }
}

// Photos that cannot be streamed are decoded whole and read the same way.
TEST(StreamedPhoto, PngsAndTurnedJpegsAreReadFromTheWholeDecode) {
  const uint32_t w = 40, h = 30;
  const Bytes pixels = testimages::SyntheticPhoto(w, h, 3);
  testimages::JpegOptions turned;
  turned.exif = testimages::ExifBlock(6, false);
  for (const Bytes& file : {testimages::EncodeRgbPng(pixels.data(), w, h, false),
                            testimages::EncodeJpeg(pixels.data(), w, h, 3, turned)}) {
    Raster whole;
    ASSERT_TRUE(imagefiles::DecodeImage(file.data(), uint32_t(file.size()),
                                        imagefiles::DecodeMode::Photo, &whole));
    StreamedPhoto photo;
    ASSERT_TRUE(photo.Open(file));
    EXPECT_FALSE(photo.Streams());
    ASSERT_EQ(photo.Width(), whole.width);
    ASSERT_EQ(photo.Height(), whole.height);
    const Crop crop{3, 5, photo.Width() - 7, photo.Height() - 9};
    photo.Begin(crop);
    for (uint32_t y = 0; y < crop.cropHeight; ++y) {
      ASSERT_EQ(0, std::memcmp(photo.NextRow(), whole.Row(5 + y) + 9, size_t(crop.cropWidth) * 3));
    }
    EXPECT_TRUE(photo.Finish());
  }
}

// A file the whole decode refuses is refused with the same status, from
// its header on or only once the rows start (a progressive file's scans are
// all read then), whether rows are read or the file is only checked; a file
// cut short still decodes as far as it goes.
TEST(StreamedPhoto, RefusesWhatTheWholeDecodeRefusesForTheSameReason) {
  const uint32_t w = 64, h = 48;
  const Bytes pixels = testimages::SyntheticPhoto(w, h, 3);
  const Bytes good = testimages::EncodeJpeg(pixels.data(), w, h, 3);
  const Bytes cut(good.begin(), good.begin() + long(good.size() * 2 / 3));
  testimages::JpegOptions manyScans;
  manyScans.progressive = true;
  manyScans.scanCount = 150;
  const Bytes tooManyScans = testimages::EncodeJpeg(pixels.data(), w, h, 3, manyScans);
  Bytes twelveBits = good, twoComponents = good;
  for (size_t i = 0; i + 9 < good.size(); ++i) {
    if (good[i] == 0xFF && good[i + 1] == 0xC0) {  // SOF0: length, precision, h, w, components
      twelveBits[i + 4] = 12;
      twoComponents[i + 9] = 2;
      break;
    }
  }
  const Bytes notJpeg = {0xFF, 0xD8, 0xFF, 0xE0, 0, 0, 0, 0, 0, 0, 0};
  const std::pair<const Bytes*, bool> cases[] = {{&good, true},          {&cut, true},
                                                 {&tooManyScans, false}, {&twelveBits, false},
                                                 {&twoComponents, false}, {&notJpeg, false}};
  for (auto [file, decodes] : cases) {
    Raster whole;
    const ImageStatus expected = imagefiles::DecodeImage(
        file->data(), uint32_t(file->size()), imagefiles::DecodeMode::Photo, &whole);
    ASSERT_EQ(expected.Ok(), decodes) << file->size();
    for (bool begin : {false, true}) {
      StreamedPhoto photo;
      ImageStatus got = photo.Open(*file);
      if (got && begin) {
        photo.Begin(Crop{0, 0, 8, 8});  // the top corner only
        for (int y = 0; y < 8; ++y) ASSERT_NE(photo.NextRow(), nullptr);
      }
      got = photo.Finish();
      EXPECT_EQ(got.failure, expected.failure) << file->size() << " begin " << begin;
      EXPECT_EQ(got.detail, expected.detail) << file->size() << " begin " << begin;
    }
  }
}

// A slot drawn from a streamed photo is the slot RenderCard draws from the
// whole one, reducing, enlarging, copying and at one pixel.
TEST(StreamedCard, SlotPicturesAndCardsAreRenderCardsBytes) {
  const uint32_t w = 211, h = 143;
  const Bytes pixels = testimages::SyntheticPhoto(w, h, 3);
  const Bytes jpeg = testimages::EncodeJpeg(pixels.data(), w, h, 3);
  Raster whole;
  ASSERT_TRUE(imagefiles::DecodeImage(jpeg.data(), uint32_t(jpeg.size()),
                                      imagefiles::DecodeMode::Photo, &whole));
  std::vector<uint8_t> map(size_t(300) * 200 * 4, 0), overlay(map.size(), 0);
  for (size_t i = 0; i < map.size(); i += 4) {
    map[i] = 255;
    map[i + 3] = i % 7 == 0 ? 128 : 255;
    overlay[i + 3] = i % 11 == 0 ? 100 : 0;
  }
  for (auto [left, top, right, bottom] : {std::tuple{0, 0, 300, 200},
                                          {10, 10, 60, 40},
                                          {0, 0, 211, 143},
                                          {5, 5, 6, 6},
                                          {0, 0, 211, 7}}) {
    for (float pan : {0.0f, 0.37f, 1.0f}) {
      // The same card twice: one slot without pixels, one holding the photo.
      engine::Card streamed, held;
      for (engine::Card* card : {&streamed, &held}) {
        engine::SetTemplate(*card, 300, 200, map.data(), overlay.data());
        ASSERT_EQ(card->slots.size(), 1u);
        engine::PhotoSlot& slot = card->slots[0];
        slot.left = left;
        slot.top = top;
        slot.right = right;
        slot.bottom = bottom;
        slot.panX = pan;
        slot.panY = 1 - pan;
        slot.photoWidth = w;
        slot.photoHeight = h;
      }
      const engine::PhotoSlot& slot = streamed.slots[0];
      {
        Raster copy = engine::Raster::Allocate(w, h, engine::PixelFormat::Rgb24);
        std::memcpy(copy.pixels.get(), whole.pixels.get(), whole.ByteSize());
        held.slots[0].TakePhoto(std::move(copy));
      }
      const int32_t bw = right - left, bh = bottom - top;
      std::vector<uint8_t> box(size_t(bw) * bh * 3), expectedBox(box.size());
      StreamedPhoto photo;
      ASSERT_TRUE(photo.Open(jpeg));
      engine::DrawStreamedSlotPicture(slot, photo, engine::RasterView{box.data(), bw, bh, bw * 3});
      ASSERT_TRUE(photo.Finish());
      engine::DrawSlotPicture(held, held.slots[0],
                              engine::RasterView{expectedBox.data(), bw, bh, bw * 3}, false);
      ASSERT_EQ(box, expectedBox) << left << "," << top << " " << bw << "x" << bh << " " << pan;
      for (auto [cw, ch] : {std::pair{300, 200}, {450, 301}, {97, 61}}) {
        const int32_t stride = int32_t(engine::CardImageStride(uint32_t(cw)));
        std::vector<uint8_t> got(size_t(stride) * ch, 1), expected(got);
        engine::ComposeCardFromPictures(streamed, {box.data()}, cw, ch, got.data(), stride);
        engine::RenderCard(held, cw, ch, expected.data(), stride, false);
        ASSERT_EQ(got, expected) << cw << "x" << ch;
      }
    }
  }
}

}  // namespace
