#include <gtest/gtest.h>

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
  h.platform.QueueOpenFile(photo);
  h.window->ClearLogs();
  h.platform.cursorLog.clear();

  h.window->LButtonDown(p.x, p.y);
  EXPECT_TRUE(h.platform.openDialogs.empty());  // a click acts on release
  EXPECT_TRUE(h.window->captureLog.empty());    // and an empty slot takes no capture
  h.window->LButtonUp(p.x, p.y);

  ASSERT_EQ(h.platform.openDialogs.size(), 1u);
  const OPENFILENAME& ofn = h.platform.openDialogs[0];
  EXPECT_EQ(ofn.owner, h.window);
  ASSERT_EQ(ofn.filters.size(), 3u);
  EXPECT_EQ(ofn.filters[0].description, "Supported picture files");
  EXPECT_EQ(ofn.filters[0].pattern, "*.jpg;*.png");
  EXPECT_EQ(ofn.filters[1].description, "JPEG picture files");
  EXPECT_EQ(ofn.filters[1].pattern, "*.jpg");
  EXPECT_EQ(ofn.filters[2].description, "PNG picture files");
  EXPECT_EQ(ofn.filters[2].pattern, "*.png");
  EXPECT_EQ(ofn.filterIndex, 0u);
  EXPECT_EQ(ofn.file, "");
  EXPECT_EQ(ofn.maxFile, 260u);
  EXPECT_EQ(ofn.title, "Open picture");
  EXPECT_EQ(ofn.flags, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_EXPLORER | OFN_ENABLESIZING);
  EXPECT_EQ(ofn.defaultExtension, "");

  ASSERT_TRUE(h.Slot(2).HasPhoto());
  EXPECT_EQ(h.Slot(2).photoWidth, 120u);
  for (size_t i : {0, 1, 3, 4}) EXPECT_FALSE(h.Slot(i).HasPhoto());
  ASSERT_EQ(h.window->invalidations.size(), 1u);
  EXPECT_FALSE(h.window->invalidations[0].rect.has_value());
  EXPECT_FALSE(h.window->invalidations[0].erase);
  // The file was read under the wait cursor, and the hand came back.
  const Cursor wait = h.platform.CursorHandle(CursorId::Wait);
  EXPECT_EQ(h.platform.TimesSet(wait), 1);
  EXPECT_EQ(h.platform.currentCursor, h.platform.CursorHandle(CursorId::Hand));
  EXPECT_EQ(h.wnd->GetDragState().dragSlot, -1);
  // The hint waits for the next move.
  EXPECT_EQ(h.wnd->GetHintText(), app::kHintClickToAdd);
  h.Move(ClientPoint{p.x + 1, p.y});
  EXPECT_EQ(h.wnd->GetHintText(), app::kHintDragPicture);
}

TEST(MouseEditing, OnlyPressAndReleaseOnTheSameEmptySlotOpenTheDialog) {
  Harness h;
  const ClientPoint a = h.In(0), b = h.In(1);
  h.window->LButtonDown(a.x, a.y);
  h.window->LButtonUp(b.x, b.y);
  h.window->LButtonDown(a.x, a.y);
  h.window->LButtonUp(kFrame.x, kFrame.y);
  h.window->LButtonDown(a.x, a.y);
  h.window->LButtonUp(-40, 700);  // outside the window
  h.window->LButtonDown(kFrame.x, kFrame.y);
  h.window->LButtonUp(a.x, a.y);
  EXPECT_TRUE(h.platform.openDialogs.empty());
  EXPECT_EQ(h.wnd->GetDragState().dragSlot, -1);

  // Cancelled: nothing changes and nothing is repainted.
  h.window->Validate();
  h.window->ClearLogs();
  h.platform.QueueOpenCancel();
  h.Click(b);
  EXPECT_EQ(h.platform.openDialogs.size(), 1u);
  EXPECT_FALSE(h.Slot(1).HasPhoto());
  EXPECT_TRUE(h.window->invalidations.empty());
  EXPECT_FALSE(h.window->HasInvalidArea());

  // A file that does not decode: no photo, no repaint either.
  h.platform.QueueOpenFile(h.files.Garbage("broken.png"));
  h.platform.QueueOpenFile(h.files.Folder() + "/missing.png");
  h.Click(b);
  h.Click(b);
  EXPECT_EQ(h.platform.openDialogs.size(), 3u);
  EXPECT_FALSE(h.Slot(1).HasPhoto());
  EXPECT_TRUE(h.window->invalidations.empty());
}

TEST(MouseEditing, PressOnAPhotoWithoutMovingLeavesItInPlace) {
  Harness h;
  h.Fill(0, kWideW, kWideH);
  h.Slot(0).panX = 0.3f;
  h.Slot(0).panY = 0.5f;
  const ClientPoint p = h.In(0);
  h.window->ClearLogs();

  h.Click(p);
  EXPECT_EQ(h.Slot(0).panX, 0.3f);
  EXPECT_EQ(h.Slot(0).panY, 0.5f);
  EXPECT_TRUE(h.platform.openDialogs.empty());
  EXPECT_EQ(h.window->captureLog, (std::vector<std::string>{"set", "release"}));
  EXPECT_EQ(h.platform.captured, nullptr);

  // A move without offset recomputes the pan from the values at the press,
  // which can only bring it back inside its range.
  h.Slot(0).panX = 0.02f;
  h.window->LButtonDown(p.x, p.y);
  h.Move(p);
  EXPECT_FLOAT_EQ(h.Slot(0).panX, 0.125f);
  h.window->LButtonUp(p.x, p.y);
  EXPECT_TRUE(h.platform.openDialogs.empty());
}

TEST(MouseEditing, DragStopsAtTheClampAndComesBackOnlyWithThePointer) {
  Harness h;
  h.Fill(0, kWideW, kWideH);
  const ClientPoint p = h.In(0);
  h.Move(p);
  const char* hint = h.wnd->GetHintText();
  h.window->ClearLogs();
  h.window->LButtonDown(p.x, p.y);
  ASSERT_TRUE(h.window->HasCapture());
  EXPECT_EQ(h.wnd->GetDragState().dragSlot, 0);

  // dx for each move; far past the right and left window edges and back.
  const int32_t moves[] = {100, 2000, 5000, 700, 645, 300, 0, -3000, -645, -200};
  int n = 0;
  for (int32_t dx : moves) {
    ASSERT_TRUE(h.window->MouseMove(p.x + dx, p.y + (n % 2 ? 900 : -900)));
    ++n;
    EXPECT_FLOAT_EQ(h.Slot(0).panX, ExpectedPanX(dx)) << "dx " << dx;
    EXPECT_FLOAT_EQ(h.Slot(0).panY, 0.5f);
    EXPECT_EQ(h.CardRepaints(), n) << "dx " << dx;  // every move, changed or not
  }
  EXPECT_EQ(h.window->invalidations.size(), size_t(n));
  EXPECT_EQ(h.wnd->GetHintText(), hint);

  h.window->LButtonUp(p.x + 5000, p.y);
  EXPECT_FLOAT_EQ(h.Slot(0).panX, ExpectedPanX(-200));
  EXPECT_FALSE(h.window->HasCapture());
  EXPECT_EQ(h.window->captureLog, (std::vector<std::string>{"set", "release"}));
  EXPECT_TRUE(h.platform.openDialogs.empty());
  EXPECT_EQ(h.wnd->GetDragState().dragSlot, -1);

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
  h.window->LButtonDown(p.x, p.y);
  h.window->ClearLogs();
  h.platform.captured = nullptr;  // the system took it
  h.Move(ClientPoint{p.x + 100, p.y});
  h.Move(kFrame);
  EXPECT_EQ(h.Slot(0).panX, 0.5f);
  EXPECT_TRUE(h.window->invalidations.empty());
  EXPECT_EQ(h.wnd->GetHintText(), app::kHintDragPicture);
  h.window->LButtonUp(kFrame.x, kFrame.y);
  EXPECT_EQ(h.wnd->GetDragState().dragSlot, -1);
  EXPECT_TRUE(h.window->captureLog.empty());  // not held, so not released
}

TEST(MouseEditing, DoubleClickOnAPhotoOpensTheDialogAndABadFileKeepsIt) {
  Harness h;
  h.Fill(3, 64, 48);
  const uint8_t* before = h.Slot(3).photoPixels.get();
  const ClientPoint p = h.In(3);
  h.window->ClearLogs();
  h.platform.QueueOpenFile(h.files.Garbage("not-a-photo.jpg"));
  h.window->DoubleClick(p.x, p.y);
  EXPECT_EQ(h.platform.openDialogs.size(), 1u);
  EXPECT_EQ(h.Slot(3).photoPixels.get(), before);
  EXPECT_EQ(h.Slot(3).photoWidth, 64u);
  EXPECT_EQ(h.WholeRepaints(false), 0);
  EXPECT_EQ(h.window->captureLog, (std::vector<std::string>{"set", "release"}));
  EXPECT_EQ(h.wnd->GetDragState().dragSlot, -1);

  h.platform.QueueOpenFile(h.files.Photo("other.png", 30, 20, Rgb{1, 2, 3}));
  h.window->DoubleClick(p.x, p.y);
  EXPECT_EQ(h.platform.openDialogs.size(), 2u);
  EXPECT_EQ(h.Slot(3).photoWidth, 30u);
  EXPECT_EQ(h.WholeRepaints(false), 1);

  // Over the frame a double-click does nothing.
  h.window->DoubleClick(kFrame.x, kFrame.y);
  EXPECT_EQ(h.platform.openDialogs.size(), 2u);
}

TEST(MouseEditing, CursorTellsWhatAClickWouldDo) {
  Harness h;
  h.Fill(1);
  const Cursor arrow = h.platform.CursorHandle(CursorId::Arrow);
  const Cursor hand = h.platform.CursorHandle(CursorId::Hand);
  const Cursor move = h.platform.CursorHandle(CursorId::SizeAll);
  h.window->ClearLogs();

  h.Move(h.In(0));
  EXPECT_EQ(h.platform.currentCursor, hand);
  h.Move(h.In(1));
  EXPECT_EQ(h.platform.currentCursor, move);
  h.Move(kFrame);
  EXPECT_EQ(h.platform.currentCursor, arrow);
  h.Move(h.In(0));
  h.window->MouseMove(940, 100);  // the toolbar column of the client area
  EXPECT_EQ(h.platform.currentCursor, arrow);
  EXPECT_TRUE(h.window->defaultMessages.empty());

  // The handler asks where the pointer is, whatever the message says.
  const ClientPoint empty = h.In(4);
  h.window->SetCursorPos(empty.x, empty.y);
  h.window->Send(WM_SETCURSOR, reinterpret_cast<WPARAM>(h.window->Handle()),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(h.platform.currentCursor, hand);

  // Not for the main window's client area: the system decides.
  h.window->Send(WM_SETCURSOR, reinterpret_cast<WPARAM>(h.Toolbar()->Handle()),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  ASSERT_EQ(h.window->defaultMessages.size(), 1u);
  EXPECT_EQ(h.platform.currentCursor, arrow);  // the class cursor
  h.platform.SetCursor(hand);
  constexpr uint16_t kHtCaption = 2;
  h.window->Send(WM_SETCURSOR, reinterpret_cast<WPARAM>(h.window->Handle()),
                 MAKELPARAM(kHtCaption, WM_MOUSEMOVE));
  EXPECT_EQ(h.window->defaultMessages.size(), 2u);
  EXPECT_EQ(h.platform.currentCursor, hand);  // untouched by the program
}
