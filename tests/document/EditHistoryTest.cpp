#include "document/EditHistory.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <random>
#include <vector>

#include "engine/FakeImageReader.h"
#include "engine/compose/CardCompositor.h"
#include "engine/card/PhotoPlacement.h"
#include "engine/card/SlotEditing.h"

namespace {

using document::CardState;
using document::EditHistory;
using document::Gesture;
using engine::Card;
using enginetest::RegionMapBuilder;

using Photo = std::shared_ptr<const uint8_t[]>;

Photo Put(Card& card, size_t slot, uint32_t w, uint32_t h, uint8_t seed) {
  engine::Raster photo = engine::Raster::Allocate(w, h, engine::PixelFormat::Rgb24);
  for (size_t i = 0; i < photo.ByteSize(); ++i) photo.pixels[i] = uint8_t(i * 7 + seed * 31);
  card.slots[slot].TakePhoto(std::move(photo));
  return card.slots[slot].photoPixels;
}

// Templates of 40 x 30 with 2, 3 and 5 regions; the overlay is half
// transparent over the regions so that photos show through it.
void InstallTemplate(Card& card, int regions) {
  RegionMapBuilder map(40, 30);
  std::vector<uint8_t> overlay(map.pixels.size());
  for (size_t i = 0; i < overlay.size(); ++i) overlay[i] = uint8_t(i % 4 == 3 ? i % 200 : i);
  for (int i = 0; i < regions; ++i) {
    map.Fill(i * 8, i % 2 * 5, i * 8 + 7 + i, 20 + i * 2, uint8_t(8 * (i + 1)), 0, 0);
  }
  engine::SetTemplate(card, map.width, map.height, map.pixels.data(), overlay.data());
}

// What undo must give back: the saved card's bytes and the state behind them.
struct Snapshot {
  std::vector<uint8_t> pixels;
  engine::CardTemplate cardTemplate;
  engine::SlotList slots;
  document::DesignSource design;
};

std::vector<uint8_t> Render(const Card& card, bool draft) {
  std::vector<uint8_t> pixels(size_t(engine::CardImageStride(40)) * 30);
  engine::RenderCard(card, 40, 30, pixels.data(), int32_t(engine::CardImageStride(40)), draft);
  return pixels;
}

// Draft rendering keeps the many snapshots quick; the saved quality is
// compared once a whole sequence has been undone.
Snapshot Snap(const CardState& state) {
  return {Render(state.card, true), state.card.cardTemplate, state.card.slots, state.design};
}

void ExpectSame(const Snapshot& want, const CardState& state) {
  const Snapshot got = Snap(state);
  EXPECT_EQ(got.pixels, want.pixels);
  EXPECT_EQ(got.cardTemplate.regionMap, want.cardTemplate.regionMap);
  EXPECT_EQ(got.cardTemplate.overlay, want.cardTemplate.overlay);
  EXPECT_EQ(got.design, want.design);
  ASSERT_EQ(got.slots.size(), want.slots.size());
  // Byte for byte up to the photo's size (floats by their bits), and the
  // very same photo arrays.
  for (size_t i = 0; i < got.slots.size(); ++i) {
    const engine::PhotoSlot& a = got.slots[i];
    const engine::PhotoSlot& b = want.slots[i];
    EXPECT_EQ(std::memcmp(&a, &b, offsetof(engine::PhotoSlot, photoHeight) + 4), 0) << i;
    EXPECT_EQ(a.photoPixels, b.photoPixels);
  }
}

TEST(EditHistory, UndoAndRedoRestoreEveryKindOfEditExactly) {
  for (unsigned seed = 1; seed <= 4; ++seed) {
    std::mt19937 random(seed);
    auto pick = [&](int n) { return int(random() % unsigned(n)); };
    CardState state;
    Card& card = state.card;
    engine::Raster tile = engine::Raster::Allocate(3, 3, engine::PixelFormat::Rgb24);
    std::memset(tile.pixels.get(), 90, 27);
    card.placeholderTile = std::make_shared<const engine::Raster>(std::move(tile));
    InstallTemplate(card, 3);
    EditHistory history;
    history.Start(state);
    std::vector<Snapshot> expected{Snap(state)};
    const std::vector<uint8_t> saved = Render(card, false);
    const geometry::Rect shown{0, 0, 80, 60};
    for (int step = 0; step < 90; ++step) {
      const size_t slot = size_t(pick(int(card.slots.size())));  // hidden slots too
      switch (pick(9)) {
        case 0:
        case 8:  // put or replace
          Put(card, slot, 5 + uint32_t(pick(40)), 5 + uint32_t(pick(40)), uint8_t(step));
          history.Commit(state);
          break;
        case 1:
          engine::RemovePhoto(card.slots, slot);
          history.Commit(state);
          break;
        case 2: {  // one press, several moves, one release
          engine::DragState drag{int32_t(slot), 30, 30, card.slots[slot].panX,
                                 card.slots[slot].panY};
          for (int move = 0; move < 4; ++move) {
            engine::DragPan(card.slots, drag, shown, 40, 30, pick(80), pick(60));
          }
          history.Commit(state);
          break;
        }
        case 3:  // one wheel gesture
          for (int notch = 0; notch < 1 + pick(5); ++notch) {
            engine::WheelZoomSlot(card.slots, slot, pick(2) ? 120 : -45, shown, 40, 30, pick(80),
                                  pick(60));
            history.CommitGesture(state, Gesture::WheelZoom, slot);
          }
          history.CloseGesture();
          break;
        case 4:
          engine::ResetPanAndZoom(card.slots, slot);
          history.Commit(state);
          break;
        case 5:  // a template change, growing the slot list or hiding slots
          InstallTemplate(card, 2 + pick(4));
          state.design.builtInIndex = pick(3);
          history.Commit(state);
          break;
        case 6:
          engine::StepZoomSlot(card.slots, slot, pick(2) ? 1 : -1);
          history.CommitGesture(state, Gesture::KeyZoom, slot);
          break;
        default:
          engine::NudgePan(card.slots, slot, shown, 40, 30, pick(21) - 10, pick(21) - 10);
          history.Commit(state);
          break;
      }
      ASSERT_LE(history.UndoSteps(), expected.size());  // one step at most per edit
      expected.resize(history.UndoSteps() + 1);
      expected.back() = Snap(state);
    }
    ASSERT_GT(expected.size(), 30u);
    for (size_t k = expected.size() - 1; k > 0; --k) {
      ASSERT_TRUE(history.Undo(state));
      ExpectSame(expected[k - 1], state);
    }
    EXPECT_FALSE(history.Undo(state));
    EXPECT_EQ(Render(card, false), saved);
    for (size_t k = 1; k < expected.size(); ++k) {
      ASSERT_TRUE(history.Redo(state));
      ExpectSame(expected[k], state);
    }
    EXPECT_FALSE(history.Redo(state));
  }
}

struct HistoryFixture : ::testing::Test {
  CardState state;
  Card& card = state.card;
  EditHistory history;
  void SetUp() override {
    InstallTemplate(card, 3);
    history.Start(state);
  }
};

TEST_F(HistoryFixture, TheNotchesOfOneWheelGestureOnOneSlotAreOneStep) {
  Put(card, 0, 30, 20, 1);
  Put(card, 1, 30, 20, 2);
  history.Commit(state);
  const geometry::Rect shown{0, 0, 40, 30};
  auto wheel = [&](size_t slot, int delta) {
    engine::WheelZoomSlot(card.slots, slot, delta, shown, 40, 30, 3, 10);
    return history.CommitGesture(state, Gesture::WheelZoom, slot);
  };
  for (int i = 0; i < 5; ++i) EXPECT_TRUE(wheel(0, 120));
  EXPECT_EQ(history.UndoSteps(), 2u);
  EXPECT_TRUE(wheel(0, 1200));
  EXPECT_FALSE(wheel(0, 120));  // at the limit: nothing changes
  EXPECT_EQ(history.UndoSteps(), 2u);
  EXPECT_TRUE(wheel(1, 120));  // another slot: a step of its own
  EXPECT_TRUE(wheel(1, 120));
  EXPECT_EQ(history.UndoSteps(), 3u);
  history.CloseGesture();
  EXPECT_TRUE(wheel(1, 120));  // the gesture ended: a new step
  EXPECT_EQ(history.UndoSteps(), 4u);
  // In and straight back out leaves no step behind.
  EXPECT_TRUE(wheel(1, -120));
  EXPECT_EQ(history.UndoSteps(), 3u);
  EXPECT_EQ(card.slots[1].zoom, 1.5625f);

  ASSERT_TRUE(history.Undo(state));
  EXPECT_EQ(card.slots[1].zoom, 1.0f);
  EXPECT_EQ(card.slots[0].zoom, 8.0f);
  ASSERT_TRUE(history.Undo(state));
  EXPECT_EQ(card.slots[0].zoom, 1.0f);
  EXPECT_EQ(card.slots[0].panX, 0.5f);
  // A gesture after an undo never joins the step that was undone.
  EXPECT_TRUE(wheel(0, 120));
  EXPECT_EQ(history.UndoSteps(), 2u);
  EXPECT_FALSE(history.CanRedo());
}

TEST_F(HistoryFixture, ChangesJoinANamedStepOnlyWhileItIsTheLastOneAndTheCardIsAtIt) {
  Put(card, 0, 30, 20, 1);
  ASSERT_TRUE(history.Commit(state));
  const uint64_t first = history.CurrentStep();
  history.MarkSaved(state);
  Put(card, 1, 30, 20, 2);
  ASSERT_TRUE(history.Join(state, first));
  EXPECT_EQ(history.UndoSteps(), 1u);
  // The saved card had one photo: with the joined one it changed.
  EXPECT_TRUE(history.ChangedSinceSave(state));
  EXPECT_FALSE(history.Join(state, first));  // the step has a new name now
  const uint64_t joined = history.CurrentStep();
  ASSERT_TRUE(history.Undo(state));
  EXPECT_FALSE(card.slots[0].HasPhoto());
  EXPECT_FALSE(card.slots[1].HasPhoto());
  // Undone, or with a step after it, or at the start, nothing joins.
  Put(card, 2, 30, 20, 3);
  EXPECT_FALSE(history.Join(state, joined));
  EXPECT_FALSE(history.Join(state, history.CurrentStep()));
  ASSERT_TRUE(history.Commit(state));
  const uint64_t third = history.CurrentStep();
  card.slots[2].panX = 0.25f;
  ASSERT_TRUE(history.Commit(state));
  Put(card, 0, 30, 20, 4);
  EXPECT_FALSE(history.Join(state, third));
  EXPECT_EQ(history.UndoSteps(), 2u);
}

TEST_F(HistoryFixture, ADragInProgressIsWhatUndoTakesBack) {
  Put(card, 0, 30, 20, 1);
  history.Commit(state);
  card.slots[0].panX = 0.25f;  // moved, not yet released
  ASSERT_TRUE(history.Undo(state));
  EXPECT_EQ(card.slots[0].panX, 0.5f);
  EXPECT_TRUE(card.slots[0].HasPhoto());
  ASSERT_TRUE(history.Redo(state));
  EXPECT_EQ(card.slots[0].panX, 0.25f);
  // A change after an undo ends the redo.
  ASSERT_TRUE(history.Undo(state));
  engine::RemovePhoto(card.slots, 0);
  EXPECT_FALSE(history.Redo(state));
  EXPECT_FALSE(card.slots[0].HasPhoto());
  EXPECT_FALSE(history.CanRedo());
  EXPECT_FALSE(history.Commit(state));  // nothing new: no step
}

TEST_F(HistoryFixture, DesignChangesComeBackWithHiddenPhotosAndTheirSources) {
  for (size_t i = 0; i < 3; ++i) Put(card, i, 10, 10, uint8_t(i));
  card.slots[2].zoom = 2.0f;
  history.Commit(state);
  const engine::RegionMap threeMap = card.cardTemplate.regionMap;
  InstallTemplate(card, 5);  // two slots appended
  history.Commit(state);
  InstallTemplate(card, 2);  // slots 2 to 4 hidden, slot 2 with its photo
  history.Commit(state);
  // Where the design came from is part of the card, as where a photo came from.
  const engine::RegionMap twoMap = card.cardTemplate.regionMap;
  state.design.layoutPath = "two.jli";
  state.photos.resize(card.slots.size());
  state.photos[0].path = "a.jpg";
  EXPECT_TRUE(history.Commit(state));

  ASSERT_TRUE(history.Undo(state));
  EXPECT_TRUE(state.design.layoutPath.empty());
  EXPECT_TRUE(state.photos.empty());
  EXPECT_EQ(card.cardTemplate.regionMap, twoMap);  // the same pictures
  ASSERT_TRUE(history.Undo(state));
  EXPECT_EQ(card.slots.size(), 5u);
  EXPECT_FALSE(card.slots[2].Hidden());
  ASSERT_TRUE(history.Undo(state));
  EXPECT_EQ(card.slots.size(), 3u);
  EXPECT_EQ(card.cardTemplate.regionMap, threeMap);
  EXPECT_EQ(card.slots[2].zoom, 2.0f);
}

TEST_F(HistoryFixture, SavedStateSurvivesUndoAndRedo) {
  EXPECT_FALSE(history.ChangedSinceSave(state));  // never changed since start
  Put(card, 0, 10, 10, 1);
  EXPECT_TRUE(history.ChangedSinceSave(state));  // even before the commit
  history.Commit(state);
  EXPECT_TRUE(history.ChangedSinceSave(state));
  history.Undo(state);
  EXPECT_FALSE(history.ChangedSinceSave(state));
  history.Redo(state);
  history.MarkSaved(state);
  EXPECT_FALSE(history.ChangedSinceSave(state));
  card.slots[0].panX = 0.3f;
  history.Commit(state);
  EXPECT_TRUE(history.ChangedSinceSave(state));
  history.Undo(state);
  EXPECT_FALSE(history.ChangedSinceSave(state));
  history.Undo(state);
  EXPECT_TRUE(history.ChangedSinceSave(state));
  // Going another way from before the save makes the saved state unreachable.
  Put(card, 1, 10, 10, 2);
  history.Commit(state);
  history.Undo(state);
  EXPECT_TRUE(history.ChangedSinceSave(state));
  // Saving in the middle of a wheel gesture: later notches are a new step.
  history.Redo(state);
  card.slots[1].zoom = 1.25f;
  history.CommitGesture(state, Gesture::WheelZoom, 1);
  history.MarkSaved(state);
  card.slots[1].zoom = 1.5625f;
  history.CommitGesture(state, Gesture::WheelZoom, 1);
  EXPECT_TRUE(history.ChangedSinceSave(state));
  history.Undo(state);
  EXPECT_FALSE(history.ChangedSinceSave(state));

  EditHistory unstarted;
  EXPECT_TRUE(unstarted.ChangedSinceSave(state));
}

TEST(EditHistoryBounds, KeepsAHundredStepsAndReleasesPhotosOnlyTheOldOnesHeld) {
  CardState state;
  Card& card = state.card;
  InstallTemplate(card, 2);
  EditHistory history;
  history.Start(state);
  std::vector<std::weak_ptr<const uint8_t[]>> photos;
  for (int i = 0; i < 150; ++i) {
    photos.push_back(Put(card, 0, 4, 4, uint8_t(i)));
    ASSERT_TRUE(history.Commit(state));
  }
  EXPECT_EQ(history.UndoSteps(), EditHistory::kMaxSteps);
  EXPECT_TRUE(photos[48].expired());
  EXPECT_EQ(photos[49].use_count(), 1);   // the oldest state left
  EXPECT_EQ(photos[149].use_count(), 2);  // the card and its own state
  while (history.Undo(state)) {
  }
  EXPECT_EQ(card.slots[0].photoPixels, photos[49].lock());
  EXPECT_TRUE(history.ChangedSinceSave(state));  // the start is gone

  // Big pictures go sooner: here only two photos' worth may be held.
  EditHistory small(EditHistory::kMaxSteps, 2 * 300);
  small.Start(state);
  photos.clear();
  for (int i = 0; i < 5; ++i) {
    photos.push_back(Put(card, 0, 10, 10, uint8_t(i)));  // 300 bytes each
    small.Commit(state);
    EXPECT_LE(small.HeldBytes(state), 600u);
  }
  EXPECT_EQ(small.UndoSteps(), 2u);
  EXPECT_TRUE(photos[1].expired());
  EXPECT_FALSE(photos[2].expired());
  // Shared arrays count once, and what the card shows counts not at all.
  card.slots[1].photoPixels = photos[2].lock();
  card.slots[1].photoWidth = card.slots[1].photoHeight = 10;
  small.Commit(state);
  EXPECT_EQ(small.HeldBytes(state), 300u);
}

}  // namespace
