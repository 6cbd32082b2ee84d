#include "document/CardDocument.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "document/BuiltInDesigns.h"
#include "engine/card/PhotoTurn.h"
#include "imagefiles/ContentHash.h"
#include "imagefiles/ImageFiles.h"
#include "interaction/CardFiles.h"

namespace {

using cardfiles::Rgb;
using cardfiles::Rgba;
using document::CardDocument;

struct Box {
  uint32_t key;
  int l, t, r, b;
};

void ExpectBoxes(const engine::Card& card, const std::vector<Box>& boxes) {
  size_t visible = 0;
  for (const auto& s : card.slots) visible += s.Hidden() ? 0 : 1;
  ASSERT_EQ(visible, boxes.size());
  for (size_t i = 0; i < boxes.size(); ++i) {
    const engine::PhotoSlot& s = card.slots[i];
    EXPECT_EQ(s.keyColour, boxes[i].key) << "slot " << i;
    EXPECT_EQ((std::vector<int>{s.left, s.top, s.right, s.bottom}),
              (std::vector<int>{boxes[i].l, boxes[i].t, boxes[i].r, boxes[i].b}))
        << "slot " << i;
  }
}

// The built-in designs' regions, in slot order.
const std::vector<Box> kDesign[] = {
    {{0x0000F8, 458, 12, 888, 292},
     {0x00F800, 12, 12, 442, 292},
     {0xF80000, 12, 308, 442, 588},
     {0xF800F8, 458, 308, 888, 588},
     {0xF8F800, 322, 172, 578, 428}},
    {{0x0000F8, 11, 10, 494, 290},
     {0x00F800, 498, 9, 890, 299},
     {0xF80000, 10, 295, 421, 593},
     {0xF800F8, 426, 299, 891, 593}},
    // The right region's two shades make one slot.
    {{0x20C0D8, 241, 301, 647, 595}, {0x5000C0, 67, 38, 459, 564}, {0xD8C020, 429, 44, 810, 555}},
    // Birthday, Thank You, Wedding and New Baby (5 x 7 in), Holidays, Postcard.
    {{0x0000F8, 40, 56, 520, 560}, {0x00F800, 580, 60, 840, 320}, {0xF80000, 560, 352, 860, 560}},
    {{0x0000F8, 44, 44, 444, 500}, {0x00F800, 456, 44, 856, 500}},
    {{0x0000F8, 95, 95, 655, 715}, {0x00F800, 125, 765, 345, 985}, {0xF80000, 405, 765, 625, 985}},
    {{0x0000F8, 60, 70, 690, 630}, {0x00F800, 70, 670, 350, 950}, {0xF80000, 400, 670, 680, 950}},
    {{0x0000F8, 250, 50, 650, 550},
     {0x00F800, 40, 90, 220, 270},
     {0xF80000, 40, 330, 220, 510},
     {0xF800F8, 680, 90, 860, 270},
     {0xF8F800, 680, 330, 860, 510}},
    {{0x0000F8, 36, 36, 864, 564}},
};

// Counts what the document told.
struct Listener : document::DocumentObserver {
  std::vector<uint32_t> told;
  void DocumentChanged(uint32_t what) override { told.push_back(what); }
};

struct DocumentTest : ::testing::Test {
  imagefiles::ImageFiles reader;
  CardDocument doc{reader};
  Listener listener;
  cardfiles::Files files;
  void SetUp() override {
    ASSERT_TRUE(doc.Start(0));
    doc.AddObserver(&listener);
  }
  const engine::Card& Card() const { return doc.Card(); }
};

TEST_F(DocumentTest, DesignsCycleWithPhotosStayingBySlotAndLayoutsKeepTheCyclesPlace) {
  ExpectBoxes(Card(), kDesign[0]);
  EXPECT_FALSE(doc.ChangedSinceSave());
  for (size_t i = 0; i < 5; ++i)
    ASSERT_TRUE(doc.LoadPhoto(i, files.Photo("p" + std::to_string(i) + ".png", 8 + i, 6,
                                             Rgb{uint8_t(i), 0, 0})));
  const int count = document::BuiltInDesignCount();
  ASSERT_EQ(count, int(std::size(kDesign)));
  for (int step = 1; step <= count; ++step) {
    listener.told.clear();
    ASSERT_TRUE(doc.NextBuiltInDesign());
    const int index = step % count;
    ExpectBoxes(Card(), kDesign[index]);
    EXPECT_EQ(doc.State().design.builtInIndex, index);
    ASSERT_EQ(listener.told.size(), 1u);
    EXPECT_TRUE(listener.told[0] & document::kDesignChanged);
  }
  // Back at the first design every photo is in its slot, hidden ones too.
  ASSERT_EQ(Card().slots.size(), 5u);
  for (size_t i = 0; i < 5; ++i) EXPECT_EQ(Card().slots[i].photoWidth, 8 + i);

  // A layout keeps the place in the cycle: the Template command goes on
  // after the last built-in design.
  ASSERT_TRUE(doc.UseBuiltInDesign(1));
  Rgba map(60, 40), overlay(60, 40);
  map.Fill(5, 5, 30, 35, 255, 0, 0);
  const std::string layout = files.Layout("mine.jli", map, overlay);
  ASSERT_EQ(doc.OpenLayout(layout), imagefiles::LayoutStatus::Ok);
  const std::vector<uint8_t> bytes = testimages::ReadBytes(layout);
  EXPECT_EQ(doc.State().design.layoutPath, layout);
  EXPECT_EQ(doc.State().design.layoutHash, imagefiles::ContentHash(bytes.data(), bytes.size()));
  EXPECT_FALSE(doc.State().design.IsBuiltIn());
  ASSERT_TRUE(doc.NextBuiltInDesign());
  EXPECT_EQ(doc.State().design.builtInIndex, 2);

  // Undo gives back the layout with where it came from.
  ASSERT_TRUE(doc.Undo());
  EXPECT_EQ(doc.State().design.layoutPath, layout);
  EXPECT_EQ(Card().cardTemplate.width, 60u);

  // What cannot be used changes nothing and tells no one.
  listener.told.clear();
  const document::CardState before = doc.State();
  EXPECT_FALSE(doc.UseBuiltInDesign(-1));
  EXPECT_FALSE(doc.UseBuiltInDesign(count));
  EXPECT_NE(doc.OpenLayout(files.Garbage("bad.jli")), imagefiles::LayoutStatus::Ok);
  EXPECT_TRUE(document::SameState(before, doc.State()));
  EXPECT_TRUE(listener.told.empty());
}

TEST_F(DocumentTest, PhotosRecordTheirFilesAndUndoGivesBackPhotoAndSource) {
  const std::string path = files.Photo("beach.jpg", 40, 30, Rgb{10, 200, 30}, true);
  ASSERT_TRUE(doc.EditSlots(
      [](engine::SlotList& slots) {
        slots[1].panX = 0.125f, slots[1].zoom = 2.5f;  // an earlier photo's framing
        return true;
      },
      document::Commit::Step));
  listener.told.clear();
  ASSERT_TRUE(doc.LoadPhoto(1, path));
  const engine::PhotoSlot& slot = Card().slots[1];
  EXPECT_EQ(slot.photoWidth, 40u);
  EXPECT_EQ((std::vector<float>{slot.panX, slot.panY, slot.zoom}),
            (std::vector<float>{0.5f, 0.5f, 1.0f}));
  const document::PhotoSource source = doc.State().photos[1];
  EXPECT_EQ(source.path, path);
  EXPECT_EQ(source.fileSize, std::filesystem::file_size(path));
  // Written a moment ago.
  const int64_t now = std::chrono::duration_cast<std::chrono::nanoseconds>(
                          std::chrono::system_clock::now().time_since_epoch())
                          .count();
  EXPECT_LT(std::llabs(source.modifiedNs - now), int64_t(60) * 1000000000);
  ASSERT_EQ(listener.told.size(), 1u);
  EXPECT_EQ(listener.told[0], uint32_t(document::kCardChanged | document::kHistoryChanged));

  // A file that does not make a photo says why and changes nothing.
  struct Case {
    std::string path;
    engine::ImageFailure failure;
  };
  const Case cases[] = {{files.Garbage("notes.txt"), engine::ImageFailure::NotAPicture},
                        {files.Folder() + "/gone.jpg", engine::ImageFailure::Unreadable},
                        {files.Folder(), engine::ImageFailure::NotAFile}};
  listener.told.clear();
  const document::CardState before = doc.State();
  for (const Case& c : cases) {
    EXPECT_EQ(doc.LoadPhoto(1, c.path).failure, c.failure) << c.path;
    EXPECT_TRUE(document::SameState(before, doc.State())) << c.path;
  }
  EXPECT_EQ(doc.LoadPhoto(9, path).failure, engine::ImageFailure::Unreadable);  // no slot 9
  EXPECT_TRUE(listener.told.empty());

  ASSERT_TRUE(doc.RemovePhoto(1));
  EXPECT_TRUE(doc.State().photos[1].Empty());
  EXPECT_FALSE(doc.RemovePhoto(1));  // already empty
  ASSERT_TRUE(doc.Undo());
  EXPECT_EQ(doc.State().photos[1], source);
  EXPECT_TRUE(Card().slots[1].HasPhoto());
  ASSERT_TRUE(doc.Undo());
  EXPECT_TRUE(doc.State().photos[1].Empty());
  EXPECT_EQ(Card().slots[1].zoom, 2.5f);
}

TEST_F(DocumentTest, ADragIsOneStepAtItsEndAndTheSavedMarkFollowsTheHistory) {
  ASSERT_TRUE(doc.LoadPhoto(0, files.Photo("wide.png", 90, 20, Rgb{1, 2, 3})));
  const size_t steps = doc.History().UndoSteps();
  for (float pan : {0.4f, 0.3f, 0.2f})
    doc.EditSlots(
        [&](engine::SlotList& slots) {
          slots[0].panX = pan;
          return true;
        },
        document::Commit::Later);
  EXPECT_EQ(doc.History().UndoSteps(), steps);
  listener.told.clear();
  doc.CommitPending();
  EXPECT_EQ(doc.History().UndoSteps(), steps + 1);
  EXPECT_EQ(listener.told, std::vector<uint32_t>{document::kHistoryChanged});

  doc.MarkSaved();
  EXPECT_FALSE(doc.ChangedSinceSave());
  ASSERT_TRUE(doc.Undo());
  EXPECT_TRUE(doc.ChangedSinceSave());
  ASSERT_TRUE(doc.Redo());
  EXPECT_FALSE(doc.ChangedSinceSave());
  EXPECT_EQ(Card().slots[0].panX, 0.2f);

  // Start gives a new card whose every region is empty, saved as it is.
  doc.Start(2);
  ExpectBoxes(Card(), kDesign[2]);
  EXPECT_FALSE(doc.CanUndo());
  EXPECT_FALSE(doc.ChangedSinceSave());
  EXPECT_EQ(doc.State().photos.size(), Card().slots.size());
  EXPECT_NE(Card().placeholderTile, nullptr);
}

}  // namespace

namespace {

// The test's own turns of an Rgb24 picture held as rows of pixels.
using Pixels = std::vector<std::vector<uint32_t>>;

Pixels PixelsOf(const engine::RasterView& v) {
  Pixels p(size_t(v.height), std::vector<uint32_t>(size_t(v.width)));
  for (int32_t y = 0; y < v.height; ++y)
    for (int32_t x = 0; x < v.width; ++x) {
      const uint8_t* q = v.Row(y) + x * 3;
      p[size_t(y)][size_t(x)] = uint32_t(q[0]) << 16 | uint32_t(q[1]) << 8 | q[2];
    }
  return p;
}

Pixels Turned(const Pixels& p, engine::PhotoTurn turn) {
  const size_t h = p.size(), w = p[0].size();
  const bool quarter = turn != engine::PhotoTurn::Mirror;
  Pixels out(quarter ? w : h, std::vector<uint32_t>(quarter ? h : w));
  for (size_t y = 0; y < h; ++y)
    for (size_t x = 0; x < w; ++x) {
      if (turn == engine::PhotoTurn::Right) out[x][h - 1 - y] = p[y][x];
      if (turn == engine::PhotoTurn::Left) out[w - 1 - x][y] = p[y][x];
      if (turn == engine::PhotoTurn::Mirror) out[y][w - 1 - x] = p[y][x];
    }
  return out;
}

}  // namespace

TEST_F(DocumentTest, TurnsShowWhatTheyRecordKeepThePannedPartAndUndoOneByOne) {
  // Every pixel its own colour, so that any pixel out of place shows.
  ASSERT_TRUE(doc.LoadPhoto(0, files.Photo("p.png", 5, 3, Rgb{9, 9, 9})));
  engine::Raster noisy = engine::Raster::Allocate(5, 3, engine::PixelFormat::Rgb24);
  for (size_t i = 0; i < noisy.ByteSize(); ++i) noisy.pixels[i] = uint8_t(i * 37 % 251);
  const document::PhotoSource source = doc.State().photos[0];
  ASSERT_TRUE(doc.PutPhoto(0, std::move(noisy), source));
  const engine::PhotoSlot original = Card().slots[0];
  const Pixels start = PixelsOf(original.PhotoView());
  const engine::PhotoTurn kinds[] = {engine::PhotoTurn::Right, engine::PhotoTurn::Left,
                                     engine::PhotoTurn::Mirror};
  // Every sequence of up to three turns.
  for (int length = 1; length <= 3; ++length) {
    for (int code = 0; code < 27; ++code) {
      if (length < 3 && code >= (length == 1 ? 3 : 9)) continue;
      // Pan on the centre of pixel (1, 0), which must stay under the pan.
      doc.EditSlots([](engine::SlotList& s) {
        s[0].panX = 0.3f;
        s[0].panY = 1.0f / 6;
        return true;
      }, document::Commit::Step);
      Pixels expected = start;
      std::string steps;
      for (int i = 0, c = code; i < length; ++i, c /= 3) {
        const engine::PhotoTurn turn = kinds[c % 3];
        steps += "RLM"[c % 3];
        ASSERT_TRUE(doc.TurnPhoto(0, turn));
        expected = Turned(expected, turn);
      }
      const engine::PhotoSlot& slot = Card().slots[0];
      EXPECT_EQ(PixelsOf(slot.PhotoView()), expected) << steps;
      const size_t px = size_t(double(slot.panX) * slot.photoWidth);
      const size_t py = size_t(double(slot.panY) * slot.photoHeight);
      EXPECT_EQ(expected.at(py).at(px), start[0][1]) << steps;
      // What is recorded gives the same photo from the file's own.
      engine::Raster again = engine::Raster::Allocate(5, 3, engine::PixelFormat::Rgb24);
      std::memcpy(again.pixels.get(), original.photoPixels.get(), again.ByteSize());
      engine::ApplyTurnState(again, doc.State().photos[0].turn);
      EXPECT_EQ(PixelsOf({again.pixels.get(), int32_t(again.width), int32_t(again.height),
                          int32_t(again.Stride())}),
                expected)
          << steps;
      for (int i = 0; i < length; ++i) ASSERT_TRUE(doc.Undo());
      EXPECT_EQ(Card().slots[0].photoPixels, original.photoPixels) << steps;
      EXPECT_TRUE(doc.State().photos[0].turn.Identity()) << steps;
    }
  }
  EXPECT_FALSE(doc.TurnPhoto(1, engine::PhotoTurn::Right));  // no photo there
}
