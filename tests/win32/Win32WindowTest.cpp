#include <windows.h>
#include <commctrl.h>

#include <algorithm>

#include "Win32Harness.h"
#include "platform/win32/Composition.h"
#include "platform/win32/Win32Canvas.h"

namespace {

using namespace platform;
using win32test::Pump;
using win32test::WindowTest;

using Strings = std::vector<std::string>;

TEST_F(WindowTest, TheFrameGivesExactlyTheClientSizeAndNothingArrivesWhileTheWindowIsMade) {
  EXPECT_TRUE(recorder.log.empty());
  EXPECT_TRUE(recorder.paints.empty());
  EXPECT_EQ(window->ClientSize(), (Size{320, 240}));
  const Rect frame = win32test::FrameFor(platform, {320, 240});
  EXPECT_EQ(window->FrameRect().Width(), frame.Width());
  EXPECT_EQ(window->FrameRect().Height(), frame.Height());
  wchar_t title[64] = L"";
  GetWindowTextW(hwnd, title, 64);
  EXPECT_STREQ(title, L"Tessary \u00FC");
  EXPECT_FALSE(IsWindowVisible(hwnd));  // until the program shows it
  wchar_t name[64] = L"";
  GetClassNameW(hwnd, name, 64);
  EXPECT_TRUE(GetClassLongW(hwnd, GCL_STYLE) & CS_DBLCLKS) << "double clicks edit photos";
}

TEST_F(WindowTest, PointerWheelAndButtonsReachTheHandlerInClientPixels) {
  Send(WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, MAKELPARAM(10, 20));
  Send(WM_LBUTTONUP, 0, MAKELPARAM(11, 21));
  Send(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(12, 22));
  Send(WM_RBUTTONDOWN, MK_RBUTTON | MK_CONTROL, MAKELPARAM(5, 6));
  Send(WM_MBUTTONUP, 0, MAKELPARAM(7, 8));
  // Captured moves beyond the left and top edges are negative.
  Send(WM_MOUSEMOVE, 0, MAKELPARAM(-5, -7));
  POINT screen{30, 40};
  ClientToScreen(hwnd, &screen);
  Send(WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(-120)), MAKELPARAM(screen.x, screen.y));
  // A press brings the keyboard focus back to the window first.
  EXPECT_EQ(recorder.log, (Strings{"focus in", "press L 10,20 shift", "release L 11,21",
                                   "double L 12,22",
                                   "press R 5,6 ctrl", "release M 7,8", "move L -5,-7",
                                   "wheel 30,40 -120"}));
  // The right button's release goes on to the system, which asks for the
  // context menu where the pointer is.
  recorder.log.clear();
  POINT menu{15, 16};
  ClientToScreen(hwnd, &menu);
  SetCursorPos(menu.x, menu.y);
  Send(WM_RBUTTONUP, 0, MAKELPARAM(15, 16));
  ASSERT_EQ(recorder.log.size(), 2u);
  EXPECT_EQ(recorder.log[0], "release R 15,16");
  EXPECT_EQ(recorder.log[1].rfind("menu ", 0), 0u) << recorder.log[1];
}

TEST_F(WindowTest, TheCursorRowTakesOnlyTheClientAreaAndDeclinesTheRest) {
  window->SetCursor(CursorShape::Hand);
  EXPECT_EQ(Send(WM_SETCURSOR, WPARAM(hwnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)), TRUE);
  EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_HAND));
  window->SetBusy(true);
  Send(WM_SETCURSOR, WPARAM(hwnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_WAIT));
  window->SetBusy(true);  // nests
  window->SetBusy(false);
  EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_WAIT));
  window->SetBusy(false);
  Send(WM_SETCURSOR, WPARAM(hwnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_HAND));
  // Over the frame the row declines and the system's procedure chooses.
  window->SetCursor(CursorShape::Move);
  Send(WM_SETCURSOR, WPARAM(hwnd), MAKELPARAM(HTLEFT, WM_MOUSEMOVE));
  EXPECT_NE(GetCursor(), LoadCursorW(nullptr, IDC_SIZEALL));
}

TEST_F(WindowTest, KeysTheProgramLeavesGoToTheSystemOrMoveFocusToTheToolbar) {
  window->SetToolbar(win32test::FourButtons(), 64);
  recorder.usedKey = Key('S');
  Send(WM_KEYDOWN, 'S');
  Send(WM_KEYDOWN, VK_F1);
  EXPECT_EQ(recorder.log, (Strings{"key 83", "key " + std::to_string(uint32_t(Key::F1))}));
  recorder.log.clear();
  // Alt+F4 is not the program's: the system turns it into a close request.
  Send(WM_SYSKEYDOWN, VK_F4, LPARAM(1) << 29);
  Pump();
  EXPECT_EQ(recorder.log, (Strings{"close?"}));
  EXPECT_TRUE(IsWindow(hwnd));
  recorder.log.clear();
  SetFocus(hwnd);
  Send(WM_KEYDOWN, VK_TAB);
  EXPECT_EQ(GetFocus(), window->ToolbarHandle());
  EXPECT_EQ(SendMessageW(window->ToolbarHandle(), TB_GETHOTITEM, 0, 0), 0);
}

TEST_F(WindowTest, CloseAsksTheProgramAndEndsTheWindowOnlyOnItsYes) {
  Send(WM_CLOSE);
  EXPECT_TRUE(IsWindow(hwnd));
  recorder.allowClose = true;
  Send(WM_CLOSE);
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_EQ(window->Handle(), nullptr);
  EXPECT_EQ(recorder.log, (Strings{"close?", "close?"}));
  // A gone window answers harmlessly.
  window->Invalidate(Rect{0, 0, 10, 10});
  window->SetTitle("x");
  EXPECT_EQ(window->ClientSize(), (Size{}));
  EXPECT_FALSE(window->HasPointerCapture());
}

TEST_F(WindowTest, PaintsThePicturesColoursAndOnlyAsksForTheInvalidArea) {
  // Three pixels in a row of four bytes' padding: red, green, blue.
  const uint8_t rgb[] = {255, 0, 0, 0, 255, 0, 0, 0, 255, 7, 7, 7,  //
                         10, 20, 30, 40, 50, 60, 70, 80, 90, 7, 7, 7};
  recorder.paint = [&](Canvas& canvas, const Rect&) {
    canvas.FillRect(Rect{0, 0, 320, 240}, Colour{200, 100, 50});
    canvas.DrawRgb(Rect{10, 10, 13, 12}, rgb, 3, 2, 12);
    TextStyle style;
    style.opaque = true;
    style.background = Colour{255, 255, 255};
    canvas.DrawTextLine("Hint \xC3\xA9", Rect{0, 200, 320, 240}, style);
  };
  SetWindowPos(hwnd, HWND_TOP, 40, 40, 0, 0, SWP_NOSIZE);
  window->Show(ShowState::Normal);
  Pump();
  ASSERT_FALSE(recorder.paints.empty());
  EXPECT_EQ(recorder.paints.back(), (Rect{0, 0, 320, 240}));
  HDC dc = GetDC(hwnd);
  EXPECT_EQ(GetPixel(dc, 10, 10), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(dc, 11, 10), RGB(0, 255, 0));
  EXPECT_EQ(GetPixel(dc, 12, 10), RGB(0, 0, 255));
  EXPECT_EQ(GetPixel(dc, 12, 11), RGB(70, 80, 90));
  EXPECT_EQ(GetPixel(dc, 13, 10), RGB(200, 100, 50));
  EXPECT_EQ(GetPixel(dc, 100, 100), RGB(200, 100, 50));
  ReleaseDC(hwnd, dc);

  recorder.paints.clear();
  window->Invalidate(Rect{5, 6, 25, 16});
  UpdateWindow(hwnd);
  ASSERT_EQ(recorder.paints.size(), 1u);
  EXPECT_EQ(recorder.paints[0], (Rect{5, 6, 25, 16}));
}

TEST_F(WindowTest, ResizingReportsTheNewClientSizeAndMinimisingReportsNothingToShow) {
  window->Show(ShowState::Normal);
  Pump();
  recorder.log.clear();
  const Rect frame = window->FrameRect();
  SetWindowPos(hwnd, nullptr, 0, 0, frame.Width() + 30, frame.Height() + 20,
               SWP_NOMOVE | SWP_NOZORDER);
  ASSERT_FALSE(recorder.log.empty());
  EXPECT_EQ(recorder.log.back(), "resized 350x260");
  EXPECT_EQ(window->ClientSize(), (Size{350, 260}));
  ShowWindow(hwnd, SW_MINIMIZE);
  Pump();
  EXPECT_EQ(window->ClientSize(), (Size{}));
  EXPECT_EQ(recorder.log.back(), "resized 0x0");
}

TEST_F(WindowTest, ToolbarHoldsTheButtonsInOrderAndReportsClicksAndHovers) {
  const Size needed = window->SetToolbar(win32test::FourButtons(), 64);
  EXPECT_EQ(needed.width, 64);
  EXPECT_GT(needed.height, 4 * 48) << "four buttons, one above the other";
  const HWND toolbar = window->ToolbarHandle();
  ASSERT_NE(toolbar, nullptr);
  ASSERT_EQ(SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0), 5);  // and a separator
  const int expectedIds[] = {100, 101, 0, 102, 103};
  for (int i = 0; i < 5; ++i) {
    TBBUTTON button{};
    SendMessageW(toolbar, TB_GETBUTTON, i, LPARAM(&button));
    EXPECT_EQ(button.idCommand, expectedIds[i]);
    EXPECT_EQ(bool(button.fsStyle & BTNS_SEP), i == 2);
    EXPECT_TRUE(button.fsState & TBSTATE_WRAP) << "one button a row";
  }
  wchar_t label[32] = L"";
  SendMessageW(toolbar, TB_GETBUTTONTEXTW, 101, LPARAM(label));
  EXPECT_STREQ(label, L"Template");
  EXPECT_EQ(LOWORD(SendMessageW(toolbar, TB_GETBUTTONSIZE, 0, 0)), 64);
  const HIMAGELIST images = HIMAGELIST(SendMessageW(toolbar, TB_GETIMAGELIST, 0, 0));
  int w = 0, h = 0;
  ImageList_GetIconSize(images, &w, &h);
  EXPECT_EQ(ImageList_GetImageCount(images), 4);
  EXPECT_EQ(w, 48);
  EXPECT_EQ(h, 48);

  Send(WM_COMMAND, MAKEWPARAM(101, BN_CLICKED), LPARAM(toolbar));
  Send(WM_COMMAND, MAKEWPARAM(999, BN_CLICKED), LPARAM(toolbar));  // no such button
  window->EnableCommand(102, false);
  EXPECT_FALSE(SendMessageW(toolbar, TB_ISBUTTONENABLED, 102, 0));
  Send(WM_COMMAND, MAKEWPARAM(102, BN_CLICKED), LPARAM(toolbar));
  NMTBHOTITEM hot{};
  hot.hdr.hwndFrom = toolbar;
  hot.hdr.code = UINT(TBN_HOTITEMCHANGE);
  hot.idNew = 103;
  hot.dwFlags = HICF_MOUSE;
  Send(WM_NOTIFY, 0, LPARAM(&hot));
  hot.dwFlags = HICF_LEAVING;
  Send(WM_NOTIFY, 0, LPARAM(&hot));
  // A shortcut, taken by the loop before the window sees it.
  window->SetShortcuts({Shortcut{KeyEvent{Key::F1, 0}, 103}});
  MSG key{hwnd, WM_KEYDOWN, VK_F1, 0, 0, {0, 0}};
  EXPECT_TRUE(platform::win32::ThreadLoop().PreTranslate(key));
  EXPECT_EQ(recorder.log, (Strings{"command 101", "hover 103", "hover 0", "command 103"}));
}

TEST_F(WindowTest, TabWalksTheToolbarAndPastItsEndsReturnsToTheWindow) {
  window->SetToolbar(win32test::FourButtons(), 64);
  const HWND toolbar = window->ToolbarHandle();
  window->FocusToolbar(false);
  EXPECT_EQ(GetFocus(), toolbar);
  EXPECT_EQ(SendMessageW(toolbar, TB_GETHOTITEM, 0, 0), 4);
  recorder.log.clear();
  MSG tab{toolbar, WM_KEYDOWN, VK_TAB, 0, 0, {0, 0}};
  EXPECT_TRUE(platform::win32::ThreadLoop().PreTranslate(tab));
  EXPECT_EQ(GetFocus(), hwnd);
  // Leaving the toolbar's buttons puts the hint back, as the pointer would.
  EXPECT_EQ(recorder.log, (Strings{"hover 0", "focus in forward"}));
  window->FocusToolbar(true);
  EXPECT_EQ(SendMessageW(toolbar, TB_GETHOTITEM, 0, 0), 0);
  EXPECT_TRUE(platform::win32::ThreadLoop().PreTranslate(tab));
  EXPECT_EQ(SendMessageW(toolbar, TB_GETHOTITEM, 0, 0), 1);
  EXPECT_TRUE(platform::win32::ThreadLoop().PreTranslate(tab));
  EXPECT_EQ(SendMessageW(toolbar, TB_GETHOTITEM, 0, 0), 3) << "the separator is skipped";
}

TEST(Win32Glass, ToolbarLabelsGlowOnGlassAndTheToolbarDrawsNone) {
  platform::win32::composition::ForceForTesting(true);
  platform::win32::Win32Platform platform;
  win32test::Recorder recorder;
  auto made = platform.MakeWindow(recorder, win32test::FrameFor(platform, {320, 240}), "Glass");
  auto* window = static_cast<platform::win32::Win32Window*>(made.get());
  EXPECT_TRUE(window->CompositionEnabled());
  window->SetToolbar(win32test::FourButtons(), 64);
  const HWND hwnd = window->Handle();
  NMTBCUSTOMDRAW draw{};
  draw.nmcd.hdr.hwndFrom = window->ToolbarHandle();
  draw.nmcd.hdr.code = UINT(NM_CUSTOMDRAW);
  draw.nmcd.dwDrawStage = CDDS_PREPAINT;
  EXPECT_EQ(SendMessageW(hwnd, WM_NOTIFY, 0, LPARAM(&draw)), CDRF_NOTIFYITEMDRAW);
  HDC dc = GetDC(hwnd);
  draw.nmcd.dwDrawStage = CDDS_ITEMPREPAINT;
  draw.nmcd.hdc = dc;
  draw.nmcd.dwItemSpec = 100;
  draw.nmcd.rc = RECT{0, 0, 64, 70};
  draw.rcText = RECT{2, 50, 62, 66};
  EXPECT_EQ(SendMessageW(hwnd, WM_NOTIFY, 0, LPARAM(&draw)), CDRF_DODEFAULT);
  EXPECT_EQ(draw.rcText.right, draw.rcText.left) << "the toolbar draws no label itself";
  EXPECT_EQ(draw.rcText.bottom, draw.rcText.top);
  ReleaseDC(hwnd, dc);

  // Composition going off: the window hears of it and the toolbar draws.
  platform::win32::composition::ForceForTesting(false);
  SendMessageW(hwnd, WM_DWMCOMPOSITIONCHANGED, 0, 0);
  EXPECT_FALSE(window->CompositionEnabled());
  EXPECT_EQ(recorder.log, (std::vector<std::string>{"composition"}));
  draw.nmcd.dwDrawStage = CDDS_PREPAINT;
  EXPECT_EQ(SendMessageW(hwnd, WM_NOTIFY, 0, LPARAM(&draw)), CDRF_DODEFAULT);
  platform::win32::composition::ForceForTesting(std::nullopt);
}

TEST_F(WindowTest, IdleWorkRunsOnceTheQueueIsEmptyAndAsksForMoreRounds) {
  recorder.idleRounds = 3;
  window->RequestIdle();
  window->RequestIdle();  // one request while one is pending
  auto& loop = platform::win32::ThreadLoop();
  const int ender = loop.AddIdleHandler([&] {
    if (recorder.idles >= 3) PostQuitMessage(7);
    return false;
  });
  EXPECT_EQ(platform.Run(), 7);
  loop.RemoveIdleHandler(ender);
  EXPECT_EQ(recorder.idles, 3);
}

TEST_F(WindowTest, TimersComeDueUntilStoppedAndSettingsAndTheStateFolderAreTheUsers) {
  window->StartTimer(3, 10);
  window->StartTimer(4, 5);
  window->StopTimer(4);
  const DWORD start = GetTickCount();
  while (std::count(recorder.log.begin(), recorder.log.end(), "timer 3") < 2 &&
         GetTickCount() - start < 5000) {
    Pump();
    Sleep(5);
  }
  window->StopTimer(3);
  EXPECT_GE(std::count(recorder.log.begin(), recorder.log.end(), "timer 3"), 2);
  EXPECT_EQ(std::count(recorder.log.begin(), recorder.log.end(), "timer 4"), 0);

  // Lists of Unicode strings in the registry, read back as written.
  const std::vector<std::string> recent{"C:\\Users\\ann\\Anna's birthday.tessary",
                                        "Z:\\tmp\\caf\xC3\xA9 & co.tessary"};
  platform.WriteSetting("recentProjects", recent);
  EXPECT_EQ(platform.ReadSetting("recentProjects"), recent);
  platform.WriteSetting("recentProjects", {});
  EXPECT_TRUE(platform.ReadSetting("recentProjects").empty());
  EXPECT_TRUE(platform.ReadSetting("never written").empty());
  // %LOCALAPPDATA%\Tessary, here the tests' own.
  EXPECT_EQ(platform.StateFolder(),
            std::filesystem::path(kOwnStateFolder + L"\\Tessary").u8string());
}

TEST(Win32Canvas, RowsBecomeTheDevicesBlueGreenRedOrderAndPaddingIsUntouched) {
  const uint8_t rgb[] = {1, 2, 3, 4, 5, 6, 99, 99, 10, 11, 12, 13, 14, 15, 99, 99};
  std::vector<uint8_t> bgr(16, 0xEE);
  platform::win32::SwapToDeviceOrder(rgb, 2, 2, 8, 8, bgr.data());
  EXPECT_EQ(bgr, (std::vector<uint8_t>{3, 2, 1, 6, 5, 4, 0xEE, 0xEE, 12, 11, 10, 15, 14, 13,
                                       0xEE, 0xEE}));
}

}  // namespace
