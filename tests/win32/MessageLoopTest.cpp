#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32/MessageLoop.h"
#include "platform/win32/MessageTable.h"
#include "platform/win32/WideText.h"

namespace {

using platform::win32::MessageLoop;
using platform::win32::MessageRow;
using platform::win32::RouteMessage;

// An owner whose handlers write down that they ran.
struct Owner {
  intptr_t Declines(uintptr_t, intptr_t, bool& handled) {
    calls.push_back("declines");
    handled = false;
    return 1;
  }
  intptr_t Takes(uintptr_t wParam, intptr_t, bool&) {
    calls.push_back("takes " + std::to_string(wParam));
    return 42;
  }
  intptr_t Later(uintptr_t, intptr_t, bool&) {
    calls.push_back("later");
    return 9;
  }
  static bool IsSeven(const Owner&, uintptr_t wParam, intptr_t) { return wParam == 7; }

  std::vector<std::string> calls;
};

const MessageRow<Owner> kRows[] = {
    {1, nullptr, &Owner::Declines},
    {1, &Owner::IsSeven, &Owner::Takes},
    {1, nullptr, &Owner::Later},
    {2, nullptr, &Owner::Takes},
};

TEST(MessageTable, FirstMatchingRowThatKeepsItsHandledFlagWins) {
  Owner owner;
  intptr_t result = 0;
  // A row that clears the flag lets the search go on; a condition that does
  // not hold skips its row.
  EXPECT_TRUE(RouteMessage(owner, kRows, 1, 7, 0, &result));
  EXPECT_EQ(result, 42);
  EXPECT_TRUE(RouteMessage(owner, kRows, 1, 8, 0, &result));
  EXPECT_EQ(result, 9);
  EXPECT_TRUE(RouteMessage(owner, kRows, 2, 3, 0, &result));
  EXPECT_EQ(owner.calls, (std::vector<std::string>{"declines", "takes 7", "declines", "later",
                                                   "takes 3"}));
  // No row: the default window procedure's turn, the result untouched.
  result = -1;
  EXPECT_FALSE(RouteMessage(owner, kRows, 3, 0, 0, &result));
  EXPECT_EQ(result, -1);
}

TEST(MessageLoop, PointerMovesPaintsAndTheCaretTimerDoNotArmIdleWork) {
  EXPECT_FALSE(MessageLoop::ArmsIdle(WM_MOUSEMOVE));
  EXPECT_FALSE(MessageLoop::ArmsIdle(WM_NCMOUSEMOVE));
  EXPECT_FALSE(MessageLoop::ArmsIdle(WM_PAINT));
  EXPECT_FALSE(MessageLoop::ArmsIdle(0x0118));
  EXPECT_TRUE(MessageLoop::ArmsIdle(WM_LBUTTONDOWN));
  EXPECT_TRUE(MessageLoop::ArmsIdle(WM_KEYDOWN));
}

TEST(MessageLoop, FiltersSeeMessagesLastRegisteredFirstAndMayUseThemUp) {
  MessageLoop loop;
  std::vector<std::string> seen;
  const int first = loop.AddFilter([&](MSG& m) {
    seen.push_back("first " + std::to_string(m.message));
    return false;
  });
  loop.AddFilter([&](MSG& m) {
    seen.push_back("second " + std::to_string(m.message));
    return m.message == WM_USER + 1;  // used up: the first filter never sees it
  });
  // Each posted message is dispatched to no window; the quit ends the loop.
  PostThreadMessageW(GetCurrentThreadId(), WM_USER, 0, 0);
  PostThreadMessageW(GetCurrentThreadId(), WM_USER + 1, 0, 0);
  PostQuitMessage(3);
  EXPECT_EQ(loop.Run(), 3);
  const std::string user = std::to_string(WM_USER), next = std::to_string(WM_USER + 1);
  EXPECT_EQ(seen, (std::vector<std::string>{"second " + user, "first " + user, "second " + next}));
  loop.RemoveFilter(first);
  seen.clear();
  MSG message{};
  message.message = WM_USER;
  EXPECT_FALSE(loop.PreTranslate(message));
  EXPECT_EQ(seen, (std::vector<std::string>{"second " + user}));
}

TEST(WideText, RoundTripsEveryPlaneAndReplacesMalformedBytes) {
  const std::string text = "\xC3\x9C" "berraschung caf\xC3\xA9 \xF0\x9F\x8E\x89";  // 🎉
  const std::wstring wide = platform::win32::Widen(text);
  EXPECT_EQ(wide, L"\u00DCberraschung caf\u00E9 \U0001F389");
  EXPECT_EQ(platform::win32::Narrow(wide), text);
  EXPECT_EQ(platform::win32::Widen("a\xFF" "b"), L"a\uFFFDb");
  EXPECT_EQ(platform::win32::Narrow(static_cast<const wchar_t*>(nullptr)), "");
}

}  // namespace
