#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "tests/interaction/InteractionHarness.h"

using namespace itest;

namespace {

constexpr ClientPoint kFrame{4, 4};

// Slot 0 of template 0 is 430 x 280; a 860 x 140 photo covers it at
// 1720 x 280, so it pans horizontally between 0.125 and 0.875 and not at all
// vertically; at natural size one client pixel moves the pan by 1/1720.
constexpr uint32_t kWideW = 860, kWideH = 140;
float ExpectedPanX(int32_t dx) {
  const float pan = 0.5f - float(dx) / 1720.0f;
  return pan < 0.125f ? 0.125f : pan > 0.875f ? 0.875f : pan;
}

}  // namespace

TEST(MouseEditing, ClickOnAnEmptySlotOpensTheDialogOnceAndLoadsThePhoto) {
  Harness h;
  const std::string photo = h.files.Photo("beach.jpg", 120, 90, Rgb{200, 40, 40}, true);
  const ClientPoint p = h.In(2);
  h.Move(p);
  h.QueueOpen(photo);
  h.window->ClearLogs();

  h.Press(p);
  EXPECT_TRUE(h.window->openDialogs.empty());  // a click acts on release
  EXPECT_TRUE(h.window->captureLog.empty());   // and an empty slot takes no capture
  h.Release(p);

  ASSERT_EQ(h.window->openDialogs.size(), 1u);
  const FileDialog& d = h.window->openDialogs[0];
  EXPECT_EQ(d.title, "Open picture");
  // One filter for every picture, named once, and one that lets anything in.
  ASSERT_EQ(d.filters.size(), 2u);
  EXPECT_EQ(d.filters[0].description, "Pictures (JPEG, PNG, \xE2\x80\xA6)");
  EXPECT_EQ(d.filters[0].patterns,
            (std::vector<std::string>{"*.jpg", "*.jpeg", "*.jpe", "*.jfif", "*.png", "*.heic",
                                      "*.heif", "*.hif", "*.webp", "*.tif", "*.tiff"}));
  EXPECT_EQ(d.filters[1].description, "All files");
  EXPECT_EQ(d.filters[1].patterns, (std::vector<std::string>{"*"}));
  EXPECT_EQ(d.initialFilter, 0u);

  ASSERT_TRUE(h.Slot(2).HasPhoto());
  EXPECT_EQ(h.Slot(2).photoWidth, 120u);
  for (size_t i : {0, 1, 3, 4}) EXPECT_FALSE(h.Slot(i).HasPhoto());
  // The card and, since the region under the pointer now holds a photo,
  // the hint line.
  EXPECT_EQ(h.window->invalidations, (std::vector<Rect>{h.CardRect(), h.wnd->View().HintRect()}));
  EXPECT_EQ(h.wnd->View().HintText(), hints::kHintDragPicture);
  // The file was read under the wait cursor, and it is gone again.
  EXPECT_EQ(h.window->busyStarts, 1);
  EXPECT_EQ(h.window->busyDepth, 0);
  EXPECT_EQ(h.wnd->Gestures().Editor().Drag().dragSlot, -1);
  // The cursor waits for the next move.
  EXPECT_EQ(h.window->Cursor(), CursorShape::Hand);
  h.Move(ClientPoint{p.x + 1, p.y});
  EXPECT_EQ(h.window->Cursor(), CursorShape::Move);
  EXPECT_EQ(h.window->Cursor(), CursorShape::Move);
}

TEST(MouseEditing, OnlyPressAndReleaseOnTheSameEmptySlotOpenTheDialog) {
  Harness h;
  const ClientPoint a = h.In(0), b = h.In(1);
  h.Press(a);
  h.Release(b);
  h.Press(a);
  h.Release(kFrame);
  h.Press(a);
  h.Release(ClientPoint{-40, 700});  // outside the window
  h.Press(kFrame);
  h.Release(a);
  EXPECT_TRUE(h.window->openDialogs.empty());
  EXPECT_EQ(h.wnd->Gestures().Editor().Drag().dragSlot, -1);

  // Cancelled: nothing changes and nothing is repainted.
  h.window->ClearLogs();
  h.Click(b);
  EXPECT_EQ(h.window->openDialogs.size(), 1u);
  EXPECT_FALSE(h.Slot(1).HasPhoto());
  EXPECT_TRUE(h.window->invalidations.empty());

  // A file that does not decode, or is not there: no photo, no repaint either.
  h.QueueOpen(h.files.Garbage("broken.png"));
  h.QueueOpen(h.files.Folder() + "/missing.png");
  h.Click(b);
  h.Click(b);
  EXPECT_EQ(h.window->openDialogs.size(), 3u);
  EXPECT_FALSE(h.Slot(1).HasPhoto());
  EXPECT_TRUE(h.window->invalidations.empty());
}

TEST(MouseEditing, PressOnAPhotoWithoutMovingLeavesItInPlace) {
  Harness h;
  h.Fill(0, kWideW, kWideH);
  h.Edit(0, [](engine::PhotoSlot& s) { s.panX = 0.3f; });
  h.Edit(0, [](engine::PhotoSlot& s) { s.panY = 0.5f; });
  const ClientPoint p = h.In(0);
  h.window->ClearLogs();

  h.Click(p);
  EXPECT_EQ(h.Slot(0).panX, 0.3f);
  EXPECT_EQ(h.Slot(0).panY, 0.5f);
  EXPECT_TRUE(h.window->openDialogs.empty());
  EXPECT_EQ(h.window->captureLog, (std::vector<bool>{true, false}));
  EXPECT_FALSE(h.window->HasPointerCapture());

  // A move without offset recomputes the pan from the values at the press,
  // which can only bring it back inside its range.
  h.Edit(0, [](engine::PhotoSlot& s) { s.panX = 0.02f; });
  h.Press(p);
  h.Move(p);
  EXPECT_FLOAT_EQ(h.Slot(0).panX, 0.125f);
  h.Release(p);
  EXPECT_TRUE(h.window->openDialogs.empty());
}

TEST(MouseEditing, DragStopsAtTheClampAndComesBackOnlyWithThePointer) {
  Harness h;
  h.Fill(0, kWideW, kWideH);
  const ClientPoint p = h.In(0);
  h.Move(p);
  const char* hint = h.wnd->View().HintText();
  h.window->ClearLogs();
  h.Press(p);
  ASSERT_TRUE(h.window->HasPointerCapture());
  EXPECT_EQ(h.wnd->Gestures().Editor().Drag().dragSlot, 0);
  EXPECT_EQ(h.wnd->Gestures().Editor().CurrentGesture(),
            interaction::PointerEditor::Gesture::Dragging);

  // dx for each move; far past the right and left window edges and back.
  const int32_t moves[] = {100, 2000, 5000, 700, 645, 300, 0, -3000, -645, -200};
  int n = 0, changed = 0;
  float pan = h.Slot(0).panX;
  for (int32_t dx : moves) {
    h.Move(ClientPoint{p.x + dx, p.y + (n % 2 ? 900 : -900)});
    ++n;
    EXPECT_FLOAT_EQ(h.Slot(0).panX, ExpectedPanX(dx)) << "dx " << dx;
    EXPECT_FLOAT_EQ(h.Slot(0).panY, 0.5f);
    changed += h.Slot(0).panX != pan;
    pan = h.Slot(0).panX;
    EXPECT_EQ(h.CardRepaints(), changed) << "dx " << dx;  // the moves that moved the photo
  }
  EXPECT_EQ(changed, 6);  // past the clamp, a move changes nothing
  EXPECT_EQ(h.window->invalidations.size(), size_t(changed));
  EXPECT_EQ(h.wnd->View().HintText(), hint);
  EXPECT_TRUE(h.window->cursorLog.empty());  // the move cursor stays for the whole drag

  h.Release(ClientPoint{p.x + 5000, p.y});
  EXPECT_FLOAT_EQ(h.Slot(0).panX, ExpectedPanX(-200));
  EXPECT_FALSE(h.window->HasPointerCapture());
  EXPECT_EQ(h.window->captureLog, (std::vector<bool>{true, false}));
  EXPECT_TRUE(h.window->openDialogs.empty());
  EXPECT_EQ(h.wnd->Gestures().Editor().Drag().dragSlot, -1);

  // Idle again: moves only update the hint.
  h.window->ClearLogs();
  h.Move(ClientPoint{p.x + 50, p.y});
  EXPECT_FLOAT_EQ(h.Slot(0).panX, ExpectedPanX(-200));
  EXPECT_EQ(h.CardRepaints(), 0);
}

TEST(MouseEditing, ADragWhoseCaptureWasTakenAwayChangesNothing) {
  Harness h;
  h.Fill(0, kWideW, kWideH);
  const ClientPoint p = h.In(0);
  h.Move(p);
  h.Press(p);
  h.window->ClearLogs();
  h.window->TakeCaptureAway();
  h.Move(ClientPoint{p.x + 100, p.y});
  h.Move(kFrame);
  EXPECT_EQ(h.Slot(0).panX, 0.5f);
  EXPECT_TRUE(h.window->invalidations.empty());
  EXPECT_EQ(h.wnd->View().HintText(), hints::kHintDragPicture);
  h.Release(kFrame);
  EXPECT_EQ(h.wnd->Gestures().Editor().Drag().dragSlot, -1);
  EXPECT_TRUE(h.window->captureLog.empty());  // not held, so not released
}

TEST(MouseEditing, DoubleClickOnAPhotoOpensTheDialogAndABadFileKeepsIt) {
  Harness h;
  h.Fill(3, 64, 48);
  const uint8_t* before = h.Slot(3).photoPixels.get();
  const ClientPoint p = h.In(3);
  h.window->ClearLogs();
  h.QueueOpen(h.files.Garbage("not-a-photo.jpg"));
  // As the desktop delivers it: press, release, double-click, release.
  h.Press(p);
  h.Release(p);
  h.DoubleClick(p);
  h.Release(p);
  EXPECT_EQ(h.window->openDialogs.size(), 1u);
  EXPECT_EQ(h.Slot(3).photoPixels.get(), before);
  EXPECT_EQ(h.Slot(3).photoWidth, 64u);
  EXPECT_EQ(h.CardRepaints(), 0);
  EXPECT_EQ(h.window->captureLog, (std::vector<bool>{true, false}));
  EXPECT_EQ(h.wnd->Gestures().Editor().Drag().dragSlot, -1);

  h.QueueOpen(h.files.Photo("other.png", 30, 20, Rgb{1, 2, 3}));
  h.DoubleClick(p);
  EXPECT_EQ(h.window->openDialogs.size(), 2u);
  EXPECT_EQ(h.Slot(3).photoWidth, 30u);
  EXPECT_EQ(h.CardRepaints(), 1);

  // Over the frame a double-click does nothing; other buttons do nothing.
  h.DoubleClick(kFrame);
  h.window->DoubleClick(Harness::At(p), Button::Right);
  h.window->Press(Harness::At(h.In(0)), Button::Middle);
  h.window->Release(Harness::At(h.In(0)), Button::Middle);
  EXPECT_EQ(h.window->openDialogs.size(), 2u);
}

TEST(MouseEditing, CursorTellsWhatAClickWouldDo) {
  Harness h;
  h.Fill(1);
  h.window->ClearLogs();
  h.Move(h.In(0));
  EXPECT_EQ(h.window->Cursor(), CursorShape::Hand);
  h.Move(h.In(1));
  EXPECT_EQ(h.window->Cursor(), CursorShape::Move);
  h.Move(kFrame);
  EXPECT_EQ(h.window->Cursor(), CursorShape::Arrow);
  h.Move(h.In(0));
  h.Move(ClientPoint{940, 100});  // the toolbar column of the client area
  EXPECT_EQ(h.window->Cursor(), CursorShape::Arrow);
}
