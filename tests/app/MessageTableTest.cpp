#include <gtest/gtest.h>

#include "app/MessageMap.h"
#include "tests/app/AppHarness.h"

using namespace apptest;
using app::CTessaryWnd;

TEST(MessageTable, RowsInTheirOrder) {
  struct Expected {
    uint32_t message;
    int32_t condition;
    decltype(CTessaryWnd::Row::handler) handler;
  } expected[] = {
      {WM_NOTIFY, NM_CUSTOMDRAW, &CTessaryWnd::OnCustomDraw},
      {WM_SETCURSOR, 0, &CTessaryWnd::OnSetCursor},
      {WM_ERASEBKGND, 0, &CTessaryWnd::OnEraseBackground},
      {WM_PAINT, 0, &CTessaryWnd::OnPaint},
      {WM_SIZE, 0, &CTessaryWnd::OnSize},
      {WM_MOUSEMOVE, 0, &CTessaryWnd::OnMouseMove},
      {WM_LBUTTONUP, 0, &CTessaryWnd::OnLButtonUp},
      {WM_LBUTTONDOWN, 0, &CTessaryWnd::OnLButtonDown},
      {WM_LBUTTONDBLCLK, 0, &CTessaryWnd::OnLButtonDblClk},
      {WM_COMMAND, 100, &CTessaryWnd::SaveCard},
      {WM_COMMAND, 101, &CTessaryWnd::NextBuiltInTemplate},
      {WM_COMMAND, 102, &CTessaryWnd::OnDonate},
      {WM_COMMAND, 103, &CTessaryWnd::OnHelp},
      {WM_CREATE, 0, &CTessaryWnd::OnCreate},
      {WM_DESTROY, 0, &CTessaryWnd::OnDestroy},
      {WM_CLOSE, 0, &CTessaryWnd::OnClose},
      {WM_DWMCOMPOSITIONCHANGED, 0, &CTessaryWnd::OnCompositionChanged},
      {WM_NOTIFY, TBN_HOTITEMCHANGE, &CTessaryWnd::OnToolbarHotItemChange},
  };
  ASSERT_EQ(CTessaryWnd::kMessageTable.size(), std::size(expected));
  for (size_t i = 0; i < std::size(expected); ++i) {
    const CTessaryWnd::Row& row = CTessaryWnd::kMessageTable[i];
    EXPECT_EQ(row.message, expected[i].message) << "row " << i + 1;
    if (row.message == WM_COMMAND || row.message == WM_NOTIFY) {
      EXPECT_EQ(row.condition, expected[i].condition) << "row " << i + 1;
    }
    EXPECT_TRUE(row.handler == expected[i].handler) << "row " << i + 1;
  }
}

namespace {

struct Probe {
  std::vector<int> calls;
  bool firstKeeps = true;
  LRESULT First(uint32_t, WPARAM, LPARAM, bool& handled) {
    calls.push_back(1);
    handled = firstKeeps;
    return 11;
  }
  LRESULT Second(uint32_t, WPARAM, LPARAM, bool&) {
    calls.push_back(2);
    return 22;
  }
};

}  // namespace

TEST(MessageTable, HandledFlagDecidesWhetherTheSearchGoesOn) {
  const app::MessageRow<Probe> rows[] = {
      {WM_COMMAND, 7, &Probe::First},
      {WM_SETCURSOR, 0, &Probe::First},
      {WM_SETCURSOR, 0, &Probe::Second},
      {WM_COMMAND, 8, &Probe::Second},
  };
  Probe probe;
  LRESULT result = 0;
  EXPECT_TRUE(app::RouteMessage(probe, rows, 4, WM_SETCURSOR, 0, 0, &result));
  EXPECT_EQ(result, 11);
  EXPECT_EQ(probe.calls, std::vector<int>{1});

  probe.calls.clear();
  probe.firstKeeps = false;
  EXPECT_TRUE(app::RouteMessage(probe, rows, 4, WM_SETCURSOR, 0, 0, &result));
  EXPECT_EQ(result, 22);
  EXPECT_EQ(probe.calls, (std::vector<int>{1, 2}));

  // Commands match on the low word only; a declined command is nobody's.
  probe.calls.clear();
  EXPECT_TRUE(app::RouteMessage(probe, rows, 4, WM_COMMAND, MAKEWPARAM(8, 1), 0, &result));
  EXPECT_EQ(probe.calls, std::vector<int>{2});
  probe.calls.clear();
  EXPECT_FALSE(app::RouteMessage(probe, rows, 4, WM_COMMAND, MAKEWPARAM(7, 0), 0, &result));
  EXPECT_FALSE(app::RouteMessage(probe, rows, 4, WM_PAINT, 0, 0, &result));
}

TEST(MessageTable, WindowSendsTheRestToTheDefault) {
  AppHarness h;
  h.window->ClearLogs();
  // The cursor handler declines a cursor message outside the client area, so
  // the system shows its own cursor.
  constexpr uint16_t kCaption = 2;
  h.window->Send(WM_SETCURSOR, WPARAM(h.window->Handle()), MAKELPARAM(kCaption, WM_MOUSEMOVE));
  EXPECT_EQ(h.window->defaultMessages, std::vector<uint32_t>{WM_SETCURSOR});
  EXPECT_EQ(h.platform.currentCursor, h.platform.CursorHandle(CursorId::Arrow));

  h.window->ClearLogs();
  h.window->Command(0);  // the separator has no command
  NMHDR other;
  other.code = -2;  // NM_CLICK
  h.window->Send(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&other));
  h.window->Send(WM_NCPAINT, 0, 0);
  EXPECT_EQ(h.window->defaultMessages, (std::vector<uint32_t>{WM_COMMAND, WM_NOTIFY, WM_NCPAINT}));

  h.window->ClearLogs();
  h.window->InvalidateRect(nullptr, true);
  h.window->UpdateWindow();
  EXPECT_TRUE(h.window->defaultMessages.empty());  // erase and paint are the window's
}

TEST(MessageTable, ThemeFollowsCreationChangesAndDestruction) {
  AppHarness h;
  EXPECT_EQ(h.wnd->GetTheme(), h.platform.ThemeToken());
  h.window->Send(WM_THEMECHANGED, 0, 0);
  EXPECT_EQ(h.platform.themeOpens.size(), 2u);
  EXPECT_EQ(h.platform.themeCloses, 1);
  h.window->Close();
  EXPECT_EQ(h.platform.themeCloses, 2);
  EXPECT_EQ(h.wnd->GetTheme(), nullptr);
  EXPECT_EQ(h.platform.quitCode, 0);
  EXPECT_EQ(h.window->revocations, 1);
  EXPECT_FALSE(h.window->IsWindow());
}
