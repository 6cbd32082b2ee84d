#include "document/DesignSizes.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <iterator>
#include <string>
#include <vector>

#include "document/BuiltInDesigns.h"
#include "document/CardDocument.h"
#include "document/CardExport.h"
#include "engine/card/PhotoPlacement.h"
#include "imagefiles/ImageFiles.h"
#include "imagefiles/PngDensity.h"
#include "interaction/CardFiles.h"

namespace {

using document::DesignSize;
using document::SizeUse;

engine::Raster Photo(uint32_t w, uint32_t h) {
  engine::Raster photo = engine::Raster::Allocate(w, h, engine::PixelFormat::Rgb24);
  for (size_t i = 0; i < photo.ByteSize(); ++i) photo.pixels[i] = uint8_t(i * 7 + i / 997);
  return photo;
}

// The card state a built-in design starts as, through the document.
struct BuiltIn {
  imagefiles::ImageFiles reader;
  document::CardDocument doc{reader};
  explicit BuiltIn(int index) { EXPECT_TRUE(doc.Start(index)); }
};

TEST(DesignSizes, EveryPrintVersionHasTheScreenRegionsInOrderAtTwiceThePixels) {
  imagefiles::ImageFiles reader;
  ASSERT_GE(document::BuiltInDesignCount(), 9);
  for (int i = 0; i < document::BuiltInDesignCount(); ++i) {
    SCOPED_TRACE(document::BuiltInDesignAt(i)->name);
    engine::Raster map, overlay, printMap, printOverlay;
    ASSERT_TRUE(document::LoadBuiltInDesign(i, reader, &map, &overlay));
    ASSERT_TRUE(document::LoadBuiltInPrintDesign(i, reader, &printMap, &printOverlay));
    EXPECT_EQ(printMap.width, 2 * map.width);
    EXPECT_EQ(printMap.height, 2 * map.height);
    engine::Card screen, print;
    ASSERT_TRUE(engine::SetTemplate(screen, std::move(map), std::move(overlay)));
    ASSERT_TRUE(engine::SetTemplate(print, std::move(printMap), std::move(printOverlay)));
    ASSERT_EQ(print.slots.size(), screen.slots.size());
    for (size_t s = 0; s < screen.slots.size(); ++s) {
      const engine::PhotoSlot& a = screen.slots[s];
      const engine::PhotoSlot& b = print.slots[s];
      EXPECT_EQ(b.keyColour, a.keyColour) << "slot " << s;
      for (const auto& [got, want] : {std::pair{b.left, a.left}, std::pair{b.top, a.top},
                                      std::pair{b.right, a.right}, std::pair{b.bottom, a.bottom}})
        EXPECT_LE(std::abs(got - 2 * want), 1) << "slot " << s;
    }
  }
}

TEST(DesignSizes, APrintFramesEveryPhotoExactlyAsTheScreenCardDoes) {
  const std::pair<uint32_t, uint32_t> photoSizes[] = {{1234, 777}, {640, 960}, {3001, 1999},
                                                      {97, 1500}, {800, 600}};
  for (int i = 0; i < document::BuiltInDesignCount(); ++i) {
    SCOPED_TRACE(document::BuiltInDesignAt(i)->name);
    BuiltIn design(i);
    document::CardDocument& doc = design.doc;
    const size_t slots = doc.Card().slots.size();
    for (size_t s = 0; s < slots; ++s) {
      const auto [w, h] = photoSizes[s % std::size(photoSizes)];
      ASSERT_TRUE(doc.PutPhoto(s, Photo(w, h), document::PhotoSource{"p"}));
    }
    doc.EditSlots(
        [](engine::SlotList& list) {
          for (size_t s = 0; s < list.size(); ++s) {
            list[s].zoom = 1.0f + 0.37f * float(s);
            list[s].panX = 0.2f + 0.15f * float(s);
            list[s].panY = 0.9f - 0.2f * float(s);
          }
          return true;
        },
        document::Commit::Step);
    const document::DesignInfo info = document::DescribeDesign(doc.State());
    ASSERT_NE(info.PrintSize(), nullptr);
    engine::Card print;
    ASSERT_TRUE(document::CardAtSize(doc.State(), *info.PrintSize(), design.reader, &print));
    EXPECT_EQ(print.cardTemplate.width, info.PrintSize()->width);
    ASSERT_EQ(print.slots.size(), slots);
    for (size_t s = 0; s < slots; ++s) {
      const engine::PhotoSlot& a = doc.Card().slots[s];
      const engine::PhotoSlot& b = print.slots[s];
      EXPECT_EQ(b.photoPixels, a.photoPixels);  // the same photo, not a copy
      EXPECT_EQ((std::vector<int>{b.left, b.top, b.right, b.bottom}),
                (std::vector<int>{2 * a.left, 2 * a.top, 2 * a.right, 2 * a.bottom}));
      const engine::Crop ca = engine::ComputeCrop(a), cb = engine::ComputeCrop(b);
      EXPECT_EQ((std::vector<int64_t>{ca.cropX, ca.cropY, ca.cropWidth, ca.cropHeight}),
                (std::vector<int64_t>{cb.cropX, cb.cropY, cb.cropWidth, cb.cropHeight}))
          << "slot " << s;
    }
    // Its own size is the card itself.
    engine::Card same;
    ASSERT_TRUE(document::CardAtSize(doc.State(), info.SizeFor(SizeUse::Screen), design.reader,
                                     &same));
    EXPECT_EQ(same.cardTemplate.regionMap, doc.Card().cardTemplate.regionMap);
  }
}

TEST(DesignSizes, BuiltInAndLayoutDesignsNameTheirSizesInPixelsAndInches) {
  const document::DesignInfo frost = document::DescribeBuiltInDesign(0);
  EXPECT_EQ(frost.name, "Frost");
  ASSERT_EQ(frost.sizes.size(), 2u);
  EXPECT_EQ(document::SizeLabel(frost.sizes[0]), "Print: 6 x 4 in, 1800 x 1200 at 300 ppi");
  EXPECT_EQ(document::SizeLabel(frost.sizes[1]), "Screen: 900 x 600");
  EXPECT_EQ(document::InchesText(frost.sizes[1]), "6 x 4 in");  // 900 x 600 at 150 ppi
  EXPECT_EQ(frost.sizes[0].encoding, imagefiles::CardEncoding::Print(300));
  EXPECT_EQ(frost.sizes[1].encoding, imagefiles::CardEncoding());  // the 100 dpi tag stays
  EXPECT_EQ(document::SizeLabel(document::DescribeBuiltInDesign(5).sizes[0]),
            "Print: 5 x 7 in, 1500 x 2100 at 300 ppi");

  struct Layout {
    uint32_t width, height, ppi;
    SizeUse use;
    uint32_t shownPpi;
    const char* inches;
    imagefiles::CardEncoding encoding;
  };
  const Layout layouts[] = {
      {900, 600, 0, SizeUse::Screen, 100, "9 x 6 in", imagefiles::CardEncoding()},
      {1800, 1200, 300, SizeUse::Print, 300, "6 x 4 in", imagefiles::CardEncoding::Print(300)},
      {1000, 700, 300, SizeUse::Print, 300, "3.33 x 2.33 in", imagefiles::CardEncoding::Print(300)},
      {960, 480, 96, SizeUse::Screen, 96, "10 x 5 in", imagefiles::CardEncoding{96, true, 80, false}},
      {400, 400, 200, SizeUse::Print, 200, "2 x 2 in", imagefiles::CardEncoding::Print(200)},
  };
  for (const Layout& l : layouts) {
    SCOPED_TRACE(l.inches);
    const document::DesignInfo info =
        document::DescribeLayoutDesign("/cards/Summer Party.JLI", l.width, l.height, l.ppi);
    EXPECT_EQ(info.name, "Summer Party");
    ASSERT_EQ(info.sizes.size(), 1u);
    EXPECT_EQ(info.sizes[0].use, l.use);
    EXPECT_EQ(info.sizes[0].ppi, l.shownPpi);
    EXPECT_EQ(document::InchesText(info.sizes[0]), l.inches);
    EXPECT_EQ(info.sizes[0].encoding, l.encoding);
    EXPECT_EQ(info.PrintSize() != nullptr, l.use == SizeUse::Print);
  }
}

// A 6 x 4 in card at 300 ppi whose one region is the whole card.
engine::Card WholeCardRegion() {
  engine::Card card;
  engine::Raster map = engine::Raster::Allocate(1800, 1200, engine::PixelFormat::Rgba32);
  engine::Raster overlay = engine::Raster::Allocate(1800, 1200, engine::PixelFormat::Rgba32);
  for (size_t i = 0; i < map.ByteSize(); i += 4) {
    map.pixels[i] = 255, map.pixels[i + 1] = 0, map.pixels[i + 2] = 0, map.pixels[i + 3] = 255;
    overlay.pixels[i] = overlay.pixels[i + 1] = overlay.pixels[i + 2] = overlay.pixels[i + 3] = 0;
  }
  EXPECT_TRUE(engine::SetTemplate(card, std::move(map), std::move(overlay)));
  return card;
}

TEST(DesignSizes, APhotoBelow200PpiInPrintIsSoftAndSaysItsResolution) {
  const DesignSize print{SizeUse::Print, 1800, 1200, 300, imagefiles::CardEncoding::Print(300)};
  const DesignSize screen{SizeUse::Screen, 1800, 1200, 100, imagefiles::CardEncoding()};
  struct Case {
    uint32_t w, h;
    float zoom;
    uint32_t ppi;  // rounded down
    bool soft;
  };
  const Case cases[] = {
      {800, 600, 1.0f, 133, true},      // 800 x 533 of it on 6 x 4 in
      {6000, 4000, 1.0f, 1000, false},  // 24 MP
      {6000, 4000, 8.0f, 125, true},    // zoomed into an eighth of it
      {1200, 800, 1.0f, 200, false},    // exactly the least a print shop takes
      {1199, 800, 1.0f, 199, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h) + " zoom " +
                 std::to_string(c.zoom));
    engine::Card card = WholeCardRegion();
    ASSERT_TRUE(engine::PutPhoto(card.slots, 0, Photo(c.w, c.h)));
    card.slots[0].zoom = c.zoom;
    EXPECT_EQ(uint32_t(document::PhotoPpi(card, 0, print)), c.ppi);
    const std::vector<document::SoftPhoto> soft = document::SoftPhotos(card, print);
    ASSERT_EQ(soft.size(), c.soft ? 1u : 0u);
    if (c.soft) {
      EXPECT_EQ(soft[0].slot, 0u);
      EXPECT_EQ(soft[0].ppi, c.ppi);
    }
    // Only a print is soft: the same card for the screen has no warning.
    EXPECT_TRUE(document::SoftPhotos(card, screen).empty());
  }
  EXPECT_EQ(document::SoftPhotoSentence(140),
            "This photo will print at 140 ppi and may look soft. Zoom out or use a larger photo.");
  // A region without a photo has no resolution.
  EXPECT_EQ(document::PhotoPpi(WholeCardRegion(), 0, print), 0.0);
}

TEST(DesignSizes, ALayoutTakesItsResolutionFromItsLayers) {
  cardfiles::Files files;
  cardfiles::Rgba map(1800, 1200), overlay(1800, 1200);
  map.Fill(100, 100, 1700, 1100, 255, 0, 0);
  const std::vector<uint8_t> mapPng =
      testimages::EncodeRgbPng(map.pixels.data(), map.width, map.height, true);
  const std::vector<uint8_t> overlayPng =
      testimages::EncodeRgbPng(overlay.pixels.data(), overlay.width, overlay.height, true);
  std::vector<uint8_t> stamped, file;
  ASSERT_TRUE(imagefiles::SetPngPpi(mapPng.data(), uint32_t(mapPng.size()), 300, &stamped));
  ASSERT_TRUE(imagefiles::PackLayoutFile(stamped.data(), stamped.size(), overlayPng.data(),
                                         overlayPng.size(), &file));
  const std::string printLayout = files.Write("print.jli", file);
  const std::string plainLayout = files.Layout("plain.jli", map, overlay);

  imagefiles::ImageFiles reader;
  document::CardDocument doc(reader);
  ASSERT_TRUE(doc.Start(0));
  ASSERT_EQ(doc.OpenLayout(printLayout), imagefiles::LayoutStatus::Ok);
  EXPECT_EQ(doc.State().design.layoutPpi, 300u);
  document::DesignInfo info = document::DescribeDesign(doc.State());
  EXPECT_EQ(info.name, "print");
  ASSERT_NE(info.PrintSize(), nullptr);
  EXPECT_EQ(document::InchesText(*info.PrintSize()), "6 x 4 in");
  ASSERT_EQ(doc.OpenLayout(plainLayout), imagefiles::LayoutStatus::Ok);
  EXPECT_EQ(doc.State().design.layoutPpi, 0u);
  info = document::DescribeDesign(doc.State());
  EXPECT_EQ(info.PrintSize(), nullptr);
  EXPECT_EQ(info.sizes[0].ppi, document::kUnstatedLayoutPpi);
  // Undo brings back the layout with its resolution.
  ASSERT_TRUE(doc.Undo());
  EXPECT_EQ(doc.State().design.layoutPpi, 300u);
}

TEST(DesignSizes, TheScreenSizeExportsTheVeryBytesOfTheCardAtItsOwnSize) {
  BuiltIn design(1);
  ASSERT_TRUE(design.doc.PutPhoto(0, Photo(640, 480), document::PhotoSource{"p"}));
  cardfiles::Files files;
  const document::DesignInfo info = document::DescribeDesign(design.doc.State());
  for (const imagefiles::CardFormat format :
       {imagefiles::CardFormat::Jpeg, imagefiles::CardFormat::Png}) {
    const std::string a = files.Folder() + "/a", b = files.Folder() + "/b";
    ASSERT_TRUE(document::ExportCard(design.doc.State(), info.SizeFor(SizeUse::Screen),
                                     design.reader, a, format));
    ASSERT_TRUE(document::ExportCard(design.doc.Card(), 900, 600, false, b, format));
    EXPECT_EQ(testimages::ReadBytes(a), testimages::ReadBytes(b));
  }
  // A size the design does not have writes nothing.
  DesignSize odd = *info.PrintSize();
  odd.width = 1000;
  const std::string none = files.Folder() + "/none.jpg";
  EXPECT_FALSE(document::ExportCard(design.doc.State(), odd, design.reader, none,
                                    imagefiles::CardFormat::Jpeg));
  EXPECT_TRUE(testimages::ReadBytes(none).empty());
}

}  // namespace
