#include <gtest/gtest.h>

#include <algorithm>

#include "app/AppModule.h"
#include "app/Startup.h"
#include "tests/app/AppHarness.h"

using namespace apptest;
using app::ComputeStartupPlacement;

TEST(StartupPlacement, WindowSizeFollowsTheResolution) {
  // frame 4 x 3, caption 23, a screen with room to spare
  struct Case {
    int32_t dpi, width, height;
  } cases[] = {{96, 968 + 8, 620 + 23 + 6}, {144, 996 + 8, 630 + 23 + 6},
               {72, 900 + 64 + 3 + 8, 600 + 15 + 23 + 6}};
  for (const Case& c : cases) {
    const auto p = ComputeStartupPlacement(c.dpi, 4, 3, 23, 1920, 1057, SW_SHOWMINIMIZED);
    EXPECT_EQ(p.rect.Width(), c.width) << c.dpi;
    EXPECT_EQ(p.rect.Height(), c.height) << c.dpi;
    EXPECT_EQ(p.rect.left, (1920 - c.width) >> 1);
    EXPECT_EQ(p.rect.top, (1057 - c.height) >> 1);
    EXPECT_EQ(p.showCommand, SW_SHOWMINIMIZED);  // kept when the window fits
  }
}

TEST(StartupPlacement, TooSmallScreensShrinkAndMaximise) {
  // Narrow: 968 + 8 = 976 > 980 - 20.
  auto p = ComputeStartupPlacement(96, 4, 3, 23, 980, 1000, SW_SHOWNORMAL);
  EXPECT_EQ(p.rect.Width(), 960);
  EXPECT_EQ(p.rect.Height(), 649);
  EXPECT_EQ(p.rect.left, 10);
  EXPECT_EQ(p.showCommand, SW_SHOWMAXIMIZED);
  // Low: 649 > 660 - 20.
  p = ComputeStartupPlacement(96, 4, 3, 23, 1280, 660, SW_SHOWNORMAL);
  EXPECT_EQ(p.rect.Width(), 976);
  EXPECT_EQ(p.rect.Height(), 640);
  EXPECT_EQ(p.rect.top, 10);
  EXPECT_EQ(p.showCommand, SW_SHOWMAXIMIZED);
  // Exactly 20 to spare is still enough.
  p = ComputeStartupPlacement(96, 4, 3, 23, 996, 669, SW_SHOWNORMAL);
  EXPECT_EQ(p.showCommand, SW_SHOWNORMAL);
  // Odd differences halve by an arithmetic shift, also below zero.
  p = ComputeStartupPlacement(96, 4, 3, 23, 15, 15, SW_SHOWNORMAL);
  EXPECT_EQ(p.rect.left, (15 - (15 - 20)) >> 1);
}

TEST(TessaryMain, RunsUntilClosedAndCleansUpInOrder) {
  ScriptedConfig config;
  config.showCommand = SW_SHOWMINNOACTIVE;
  ScriptedPlatform platform(config);
  size_t filtersDuringRun = 0, idleDuringRun = 0;
  platform.QueueAction([&] {
    app::CMessageLoop* loop = app::AppModule().GetMessageLoop();
    ASSERT_NE(loop, nullptr);
    filtersDuringRun = loop->FilterCount();
    idleDuringRun = loop->IdleHandlerCount();
  });
  platform.QueueAction([&] { platform.MainWindow()->Close(); });
  EXPECT_EQ(app::TessaryMain(platform), 0);

  EXPECT_EQ(filtersDuringRun, 1u);
  EXPECT_EQ(idleDuringRun, 1u);
  EXPECT_EQ(app::AppModule().GetMessageLoop(), nullptr);
  ScriptedWindow* w = platform.MainWindow();
  ASSERT_NE(w, nullptr);
  EXPECT_FALSE(w->IsWindow());
  EXPECT_EQ(w->title, "Tessary 1.0");
  EXPECT_EQ(w->style, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  EXPECT_EQ(w->showCommands, std::vector<int>{SW_SHOWMINNOACTIVE});
  EXPECT_EQ(w->revocations, 1);
  EXPECT_TRUE(platform.liveImageLists.empty());  // the window object is gone

  const std::vector<std::string> expected = {
      "OleInitialize", "InitCommonControls", "ScreenDpi", "GetSystemMetrics(32)",
      "GetSystemMetrics(33)", "GetSystemMetrics(4)", "GetSystemMetrics(16)",
      "GetSystemMetrics(17)", "CreateWindowEx", "ShowWindow(7)", "RunMessageLoop",
      "PostQuitMessage(0)", "OleUninitialize"};
  std::vector<std::string> seen;
  for (const std::string& call : platform.calls)
    if (std::find(expected.begin(), expected.end(), call) != expected.end() &&
        std::find(seen.begin(), seen.end(), call) == seen.end())
      seen.push_back(call);
  EXPECT_EQ(seen, expected);
  EXPECT_EQ(platform.calls.back(), "OleUninitialize");
}

TEST(TessaryMain, FailedCreationEndsWithOne) {
  ScriptedConfig config;
  config.failCreateWindow = true;
  ScriptedPlatform platform(config);
  EXPECT_EQ(app::TessaryMain(platform), 1);
  EXPECT_EQ(std::count(platform.calls.begin(), platform.calls.end(), "RunMessageLoop"), 0);
  EXPECT_EQ(app::AppModule().GetMessageLoop(), nullptr);
}
