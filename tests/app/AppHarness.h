#pragma once

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "app/MainWindow.h"
#include "imagefiles/ImageFiles.h"
#include "platform/scripted/ScriptedPlatform.h"

namespace apptest {

using namespace platform;
using namespace platform::scripted;

inline ScriptedConfig Config(int32_t dpi = 96, bool composition = false) {
  ScriptedConfig c;
  c.dpi = dpi;
  c.composition = composition;
  return c;
}

// An empty folder of the test's own, removed with the object.
struct TempDir {
  TempDir() {
    const ::testing::UnitTest* test = ::testing::UnitTest::GetInstance();
    path = std::filesystem::temp_directory_path() /
           ("tessary-app-" + std::to_string(test->random_seed()) + "-" +
            test->current_test_info()->name());
    std::filesystem::remove_all(path);
    std::filesystem::create_directories(path);
  }
  ~TempDir() {
    std::error_code e;
    std::filesystem::remove_all(path, e);
  }
  std::filesystem::path path;
};

// The main window on a scripted desktop with the real decoders, made with a
// client area of the given size.
struct AppHarness {
  explicit AppHarness(ScriptedConfig config = Config(), int32_t clientW = 968,
                      int32_t clientH = 620)
      : platform(config), wnd(std::make_unique<app::MainWindow>(platform, config.dpi, reader)) {
    const FrameMetrics& m = config.frame;
    created = wnd->Create(
        Rect{0, 0, clientW + 2 * m.frameX, clientH + m.captionHeight + 2 * m.frameY},
        "Tessary 1.0");
    window = platform.window;
    // The suites' photos are a few pixels wide: at print size every one
    // would be marked soft. Tests of print sizes choose print themselves.
    wnd->Actions().SetPreferredUse(document::SizeUse::Screen);
  }

  Rect CardRect() const { return wnd->View().CardRect(); }
  // A photo of w x h pixels of one grey into a slot, as a finished open would.
  void Put(size_t slot, uint32_t w, uint32_t h, uint8_t grey) {
    engine::Raster photo = engine::Raster::Allocate(w, h, engine::PixelFormat::Rgb24);
    std::fill_n(photo.pixels.get(), photo.ByteSize(), grey);
    ASSERT_TRUE(wnd->Document().PutPhoto(slot, std::move(photo),
                                         document::PhotoSource{"photo" + std::to_string(slot)}));
  }
  const engine::Card& Card() const { return wnd->Document().Card(); }
  // Invalidations of exactly this rectangle since the logs were cleared.
  int Invalidated(const Rect& r) const {
    int n = 0;
    for (const Rect& i : window->invalidations) n += i == r ? 1 : 0;
    return n;
  }
  Rect Client() const {
    const Size s = window->ClientSize();
    return Rect{0, 0, s.width, s.height};
  }

  ScriptedPlatform platform;  // outlives the window object
  imagefiles::ImageFiles reader;
  std::unique_ptr<app::MainWindow> wnd;
  ScriptedWindow* window = nullptr;
  bool created = false;
};

}  // namespace apptest
