#include <gtest/gtest.h>

#include <algorithm>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/Startup.h"
#include "interaction/CardFiles.h"
#include "interaction/HintTexts.h"
#include "tests/app/AppHarness.h"
#include "imagefiles/TestImages.h"

using namespace apptest;
namespace fs = std::filesystem;

namespace {

// The real decoders, with a gate the test opens: a photo's decode waits at
// it (or stops when its load is cancelled), so the test sees the window
// while photos are on their way.
class GatedReader : public imagefiles::ImageFiles {
 public:
  engine::ImageStatus DecodePhotoWatched(const uint8_t* data, uint32_t size, engine::Raster* out,
                                         engine::DecodeControl* control) const override {
    {
      std::unique_lock<std::mutex> lock(mutex_);
      ++waiting_;
      changed_.notify_all();
      while (!open_ && !control->Cancelled()) changed_.wait_for(lock, std::chrono::milliseconds(2));
      --waiting_;
      if (!open_) return engine::ImageStatus::Failed(engine::ImageFailure::Cancelled);
    }
    return ImageFiles::DecodePhotoWatched(data, size, out, control);
  }
  void Open() {
    std::lock_guard<std::mutex> lock(mutex_);
    open_ = true;
    changed_.notify_all();
  }
  // Until `count` decodes wait at the gate.
  void AwaitWaiting(int count) const {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait_for(lock, std::chrono::seconds(20), [&] { return waiting_ >= count; });
  }

 private:
  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  mutable int waiting_ = 0;
  bool open_ = false;
};

ScriptedConfig Threaded(unsigned threads) {
  ScriptedConfig c = Config();
  c.backgroundThreads = threads;
  return c;
}

// A window like AppHarness's over the gated reader.
struct LoadingWindow {
  explicit LoadingWindow(unsigned threads = 2)
      : platform(Threaded(threads)),
        wnd(std::make_unique<app::MainWindow>(platform, 96, reader)) {
    const FrameMetrics& m = platform.config.frame;
    EXPECT_TRUE(wnd->Create(Rect{0, 0, 968 + 2 * m.frameX, 620 + m.captionHeight + 2 * m.frameY},
                            "Tessary"));
    window = platform.window;
    wnd->Actions().SetPreferredUse(document::SizeUse::Screen);
  }
  const engine::Card& Card() const { return wnd->Document().Card(); }
  bool AllIn() {
    return platform.WaitUntil([&] { return !wnd->Loads() || !wnd->Loads()->Busy(); }, 20000);
  }

  ScriptedPlatform platform;
  GatedReader reader;
  std::unique_ptr<app::MainWindow> wnd;
  ScriptedWindow* window = nullptr;
};

struct Photos {
  Photos() {
    // Large enough for a JPEG's quick copy at 1/8.
    const std::vector<uint8_t> big = testimages::SyntheticPhoto(1600, 1200, 3);
    testimages::WriteBytes((dir.path / "big.jpg").string(),
                          testimages::EncodeJpeg(big.data(), 1600, 1200, 3));
    const std::vector<uint8_t> small = testimages::SyntheticPhoto(120, 90, 3);
    testimages::WriteBytes((dir.path / "small.png").string(),
                          testimages::EncodeRgbPng(small.data(), 120, 90, false));
    testimages::WriteBytes((dir.path / "other.jpg").string(),
                          testimages::EncodeJpeg(small.data(), 120, 90, 3));
    testimages::WriteBytes((dir.path / "broken.jpg").string(), {0xFF, 0xD8, 0xFF, 0xE0, 1, 2});
  }
  std::string operator[](const char* name) const { return (dir.path / name).string(); }
  TempDir dir;
};

std::vector<uint8_t> SavedPng(ScriptedPlatform& platform, ScriptedWindow* window,
                              app::MainWindow& wnd, const fs::path& path) {
  (void)platform;
  window->saveAnswers.push_back(FileChoice{path.string(), 3, {}});  // the screen size's PNG
  EXPECT_TRUE(wnd.Actions().SaveCard());
  return testimages::ReadBytes(path.string());
}

}  // namespace

TEST(PhotoLoading, PhotosReadInTheBackgroundMakeTheSameCardAndStepAsReadAtOnce) {
  Photos photos;
  const std::vector<std::string> files{photos["big.jpg"], photos["small.png"], photos["other.jpg"]};

  AppHarness atOnce;
  atOnce.wnd->Actions().PlacePhotos(1, files);

  LoadingWindow loading;
  loading.reader.Open();
  loading.wnd->Actions().PlacePhotos(1, files);
  ASSERT_TRUE(loading.AllIn());

  for (size_t i = 0; i < atOnce.Card().slots.size(); ++i) {
    SCOPED_TRACE(i);
    const engine::PhotoSlot& a = atOnce.Card().slots[i];
    const engine::PhotoSlot& b = loading.Card().slots[i];
    EXPECT_EQ(a.photoWidth, b.photoWidth);
    EXPECT_EQ(a.photoHeight, b.photoHeight);
    EXPECT_EQ(atOnce.wnd->Document().State().photos[i].path,
              loading.wnd->Document().State().photos[i].path);
  }
  EXPECT_EQ(loading.wnd->Document().History().UndoSteps(), 1u);
  EXPECT_TRUE(loading.wnd->View().Loading().empty());

  const std::vector<uint8_t> a =
      SavedPng(atOnce.platform, atOnce.window, *atOnce.wnd, photos.dir.path / "a.png");
  const std::vector<uint8_t> b =
      SavedPng(loading.platform, loading.window, *loading.wnd, photos.dir.path / "b.png");
  ASSERT_FALSE(a.empty());
  EXPECT_EQ(a, b);
  // One undo takes every photo of the action back.
  ASSERT_TRUE(loading.wnd->Document().Undo());
  for (const engine::PhotoSlot& slot : loading.Card().slots) EXPECT_FALSE(slot.HasPhoto());
}

TEST(PhotoLoading, WhileAPhotoDecodesItsRegionIsMarkedShowsAQuickCopyAndCountsAsTaken) {
  Photos photos;
  LoadingWindow h;
  h.wnd->Actions().PlacePhotos(0, {photos["big.jpg"]});
  h.reader.AwaitWaiting(1);
  // The quick copy arrives while the photo itself waits at the gate.
  ASSERT_TRUE(h.platform.WaitUntil(
      [&] { return h.wnd->Loads()->PreviewOf(0).pixels != nullptr; }, 20000));
  EXPECT_FALSE(h.Card().slots[0].HasPhoto());  // never in the document
  ASSERT_EQ(h.wnd->View().Loading().size(), 1u);
  EXPECT_EQ(h.wnd->View().Loading()[0].slot, 0u);
  const app::PhotoLoads::Preview quick = h.wnd->Loads()->PreviewOf(0);
  EXPECT_LT(quick.width, 1600u);
  EXPECT_GE(std::max(quick.width, quick.height) * 8, 1600u);

  // More photos pass the region being filled by.
  h.wnd->Actions().PlacePhotos(2, {photos["other.jpg"], photos["small.png"]});
  h.reader.Open();
  ASSERT_TRUE(h.AllIn());
  EXPECT_EQ(h.Card().slots[0].photoWidth, 1600u);
  EXPECT_EQ(h.Card().slots[2].photoWidth, 120u);
  EXPECT_EQ(h.wnd->Document().State().photos[1].path, photos["small.png"]);
  EXPECT_TRUE(h.wnd->View().Loading().empty());
  EXPECT_TRUE(h.window->messages.empty());
}

TEST(PhotoLoading, ALoadOvertakenByAnotherPhotoAnotherCardOrTheWindowClosingIsDropped) {
  Photos photos;
  enum class Overtaken { AnotherPhoto, AnotherCard, WindowGone };
  for (const Overtaken what :
       {Overtaken::AnotherPhoto, Overtaken::AnotherCard, Overtaken::WindowGone}) {
    SCOPED_TRACE(int(what));
    LoadingWindow h(1);
    h.wnd->Actions().PlacePhotos(0, {photos["big.jpg"]});
    h.reader.AwaitWaiting(1);
    switch (what) {
      case Overtaken::AnotherPhoto:
        h.wnd->Actions().PlacePhotos(0, {photos["other.jpg"]});
        break;
      case Overtaken::AnotherCard:
        h.wnd->Document().Start(1);
        break;
      case Overtaken::WindowGone:
        h.wnd.reset();  // cancels and waits for the worker, which is at the gate
        h.platform.RunPosted();  // what was on its way finds no window to go to
        continue;
    }
    h.reader.Open();
    ASSERT_TRUE(h.AllIn());
    h.platform.RunPosted();
    const engine::PhotoSlot& slot = h.Card().slots[0];
    if (what == Overtaken::AnotherPhoto) {
      EXPECT_EQ(slot.photoWidth, 120u);
      EXPECT_EQ(h.wnd->Document().History().UndoSteps(), 1u);
    } else {
      EXPECT_FALSE(slot.HasPhoto());
    }
    EXPECT_TRUE(h.window->messages.empty());
  }
}

TEST(PhotoLoading, APhotoReadyDuringADragGoesInWhenTheDragEndsAsAStepOfItsOwn) {
  Photos photos;
  LoadingWindow h;
  engine::Raster grey = engine::Raster::Allocate(300, 200, engine::PixelFormat::Rgb24);
  std::fill_n(grey.pixels.get(), grey.ByteSize(), uint8_t(90));
  document::PhotoSource source;
  source.path = "grey";
  ASSERT_TRUE(h.wnd->Document().PutPhoto(1, std::move(grey), source));
  h.wnd->Actions().PlacePhotos(0, {photos["other.jpg"]});
  h.reader.AwaitWaiting(1);

  const cardfiles::ClientPoint at =
      cardfiles::PointInSlot(h.Card(), h.wnd->View().CardRect(), 1);
  h.window->Press(Point{at.x, at.y});
  h.window->Move(Point{at.x + 30, at.y + 10});
  h.reader.Open();
  ASSERT_TRUE(h.AllIn());
  h.window->RunIdle();
  EXPECT_FALSE(h.Card().slots[0].HasPhoto());  // held while the photo moves
  h.window->Release(Point{at.x + 30, at.y + 10});
  ASSERT_TRUE(h.Card().slots[0].HasPhoto());
  // The grey photo, its drag, the photo that came: three steps.
  EXPECT_EQ(h.wnd->Document().History().UndoSteps(), 3u);
  ASSERT_TRUE(h.wnd->Document().Undo());
  EXPECT_FALSE(h.Card().slots[0].HasPhoto());
  EXPECT_TRUE(h.Card().slots[1].panX != 0.5f || h.Card().slots[1].panY != 0.5f);
}

TEST(PhotoLoading, FilesThatCannotBeUsedAreNamedInOneMessageOnceAllAreIn) {
  Photos photos;
  LoadingWindow h;
  h.reader.Open();
  const size_t regions = h.Card().slots.size();
  std::vector<std::string> files{photos["broken.jpg"], photos["missing.jpg"]};
  for (size_t i = 0; i <= regions; ++i) files.push_back(photos["other.jpg"]);
  h.wnd->Actions().PlacePhotos(0, files);
  ASSERT_TRUE(h.AllIn());
  ASSERT_EQ(h.window->messages.size(), 1u);
  const std::string& text = h.window->messages[0].message.text;
  EXPECT_NE(text.find("broken.jpg"), std::string::npos) << text;
  EXPECT_NE(text.find("missing.jpg"), std::string::npos) << text;
  // The regions of the two that failed went to two that had none at first,
  // as reading them one by one would have done; the last had none left.
  EXPECT_EQ(engine::CountEmptyRegions(h.Card().slots), 0u);
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 2) << text;
  EXPECT_NE(text.find("no empty region left"), std::string::npos) << text;
}

TEST(PhotoLoading, SavingWaitsForPhotosStillLoadingAndSaysWhy) {
  Photos photos;
  LoadingWindow h;
  h.wnd->Actions().PlacePhotos(0, {photos["big.jpg"]});
  h.reader.AwaitWaiting(1);
  std::string hintWhileWaiting;
  int busyWhileWaiting = 0;
  std::thread opener([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    h.platform.PostToMainThread([&] {
      hintWhileWaiting = h.wnd->View().HintText();
      busyWhileWaiting = h.window->busyDepth;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    h.reader.Open();
  });
  const std::vector<uint8_t> saved =
      SavedPng(h.platform, h.window, *h.wnd, photos.dir.path / "card.png");
  opener.join();
  EXPECT_TRUE(h.Card().slots[0].HasPhoto());
  EXPECT_EQ(hintWhileWaiting, interaction::kHintWaitingForPhotos);
  EXPECT_EQ(busyWhileWaiting, 1);
  // The card saved is the one with the photo.
  AppHarness atOnce;
  atOnce.wnd->Actions().PlacePhotos(0, {photos["big.jpg"]});
  EXPECT_EQ(saved, SavedPng(atOnce.platform, atOnce.window, *atOnce.wnd,
                            photos.dir.path / "at-once.png"));
}

TEST(PhotoLoading, PrintingWaitsForPhotosStillLoadingAndSaysWhy) {
  Photos photos;
  LoadingWindow h;
  PrinterDescription printer;
  printer.name = "Desk";
  printer.papers = {PrinterPaper{"A4", 595.28, 841.89, PrintMargins{}, "A4"}};
  h.window->printer = printer;
  h.wnd->Actions().PlacePhotos(0, {photos["big.jpg"]});
  h.reader.AwaitWaiting(1);
  std::string hintWhileWaiting;
  std::thread opener([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    h.platform.PostToMainThread([&] { hintWhileWaiting = h.wnd->View().HintText(); });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    h.reader.Open();
  });
  bool inWhenSetUp = false;
  h.window->pageSetupAnswers.push_back([&](PageSetupModel&, PageSetupHandler&) {
    inWhenSetUp = h.Card().slots[0].HasPhoto();  // the document has only whole photos
    return true;
  });
  h.window->Command(int(app::CommandId::Print));
  opener.join();
  EXPECT_EQ(hintWhileWaiting, interaction::kHintWaitingToPrint);
  EXPECT_TRUE(inWhenSetUp);
  EXPECT_EQ(h.window->printed.size(), 1u);
}

TEST(PhotoLoading, PhotosNamedAtStartLoadOnlyAfterTheFirstPaint) {
  Photos photos;
  LoadingWindow h;
  h.reader.Open();
  h.wnd->HoldLoadsUntilPainted();
  h.wnd->OpenFiles({photos["other.jpg"], photos["small.png"]});
  // However long the workers had, nothing was read.
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  h.platform.RunPosted();
  EXPECT_EQ(h.wnd->Loads()->Slots(), (std::vector<int32_t>{0, 1}));
  EXPECT_EQ(h.platform.PostedWaiting(), 0u);
  h.window->Paint();
  ASSERT_TRUE(h.AllIn());
  EXPECT_TRUE(h.Card().slots[0].HasPhoto());
  EXPECT_TRUE(h.Card().slots[1].HasPhoto());
  EXPECT_EQ(h.wnd->Document().History().UndoSteps(), 1u);
}
