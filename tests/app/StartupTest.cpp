#include <gtest/gtest.h>

#include "app/Startup.h"
#include "tests/app/AppHarness.h"

using namespace apptest;
using app::ComputeStartupPlacement;

namespace {

const FrameMetrics kFrame{4, 3, 23};

}  // namespace

TEST(StartupPlacement, WindowSizeFollowsTheResolution) {
  struct Case {
    int32_t dpi, width, height;
  } cases[] = {{96, 968 + 8, 620 + 23 + 6}, {144, 996 + 8, 630 + 23 + 6},
               {72, 900 + 64 + 3 + 8, 600 + 15 + 23 + 6}};
  for (const Case& c : cases) {
    const auto p = ComputeStartupPlacement(c.dpi, kFrame, Size{1920, 1057}, ShowState::Minimized);
    EXPECT_EQ(p.rect.Width(), c.width) << c.dpi;
    EXPECT_EQ(p.rect.Height(), c.height) << c.dpi;
    EXPECT_EQ(p.rect.left, (1920 - c.width) >> 1);
    EXPECT_EQ(p.rect.top, (1057 - c.height) >> 1);
    EXPECT_EQ(p.show, ShowState::Minimized);  // kept when the window fits
  }
}

TEST(StartupPlacement, TooSmallScreensShrinkAndMaximise) {
  // Narrow: 968 + 8 = 976 > 980 - 20.
  auto p = ComputeStartupPlacement(96, kFrame, Size{980, 1000}, ShowState::Normal);
  EXPECT_EQ(p.rect.Width(), 960);
  EXPECT_EQ(p.rect.Height(), 649);
  EXPECT_EQ(p.rect.left, 10);
  EXPECT_EQ(p.show, ShowState::Maximized);
  // Low: 649 > 660 - 20.
  p = ComputeStartupPlacement(96, kFrame, Size{1280, 660}, ShowState::Normal);
  EXPECT_EQ(p.rect.Width(), 976);
  EXPECT_EQ(p.rect.Height(), 640);
  EXPECT_EQ(p.rect.top, 10);
  EXPECT_EQ(p.show, ShowState::Maximized);
  // Exactly 20 to spare is still enough.
  p = ComputeStartupPlacement(96, kFrame, Size{996, 669}, ShowState::Normal);
  EXPECT_EQ(p.show, ShowState::Normal);
  // Odd differences halve by an arithmetic shift, also below zero.
  p = ComputeStartupPlacement(96, kFrame, Size{15, 15}, ShowState::Normal);
  EXPECT_EQ(p.rect.left, (15 - (15 - 20)) >> 1);
}

TEST(TessaryMain, ShowsTheWindowAndRunsUntilItIsClosed) {
  ScriptedConfig config;
  config.startupShow = ShowState::Minimized;
  ScriptedPlatform platform(config);
  ScriptedWindow* during = nullptr;
  platform.duringRun.push_back([&] {
    during = platform.window;
    ASSERT_NE(during, nullptr);
    EXPECT_EQ(during->title, "Frost \xE2\x80\x94 Tessary");  // the first design's name
    EXPECT_EQ(during->shows, std::vector<ShowState>{ShowState::Minimized});
    EXPECT_EQ(during->ClientSize(), (Size{968, 620}));
    EXPECT_TRUE(during->RequestClose());
  });
  EXPECT_EQ(app::TessaryMain(platform), 0);
  EXPECT_EQ(platform.runs, 1);
  EXPECT_EQ(platform.window, nullptr);  // the window object is gone with the program
  ASSERT_EQ(platform.windowFrames.size(), 1u);
  EXPECT_EQ(platform.windowFrames[0].Width(), 968 + 8);
}

TEST(TessaryMain, AWindowThatCannotBeMadeEndsWithOne) {
  ScriptedConfig config;
  config.refuseWindows = true;
  ScriptedPlatform platform(config);
  EXPECT_EQ(app::TessaryMain(platform), 1);
  EXPECT_EQ(platform.runs, 0);
}
