#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "document/PhotoSource.h"
#include "engine/raster/DecodeControl.h"
#include "engine/raster/ImageReader.h"
#include "engine/raster/ImageStatus.h"
#include "engine/raster/Raster.h"
#include "platform/Platform.h"

namespace app {

// Photos read and decoded on worker threads, so that the window keeps
// answering while a large one decodes: one load per region. A quick
// reduced copy comes first when the format has one, then the photo itself.
// Both arrive on the user-interface thread; a result whose load was
// cancelled or replaced meanwhile never arrives.
class PhotoLoads {
 public:
  struct Preview {
    std::shared_ptr<const uint8_t[]> pixels;  // Rgb24, packed
    uint32_t width = 0, height = 0;
  };
  struct Finished {
    int32_t slot = -1;
    std::string path;
    uint64_t batch = 0;  // what the caller gave Start
    engine::ImageStatus status;
    engine::Raster photo;  // the whole photo, when status says it loaded
    document::PhotoSource source;
  };

  // `threads`: how many photos decode at once (at least one).
  PhotoLoads(platform::Platform& platform, const engine::ImageReader& reader, unsigned threads);
  ~PhotoLoads();
  PhotoLoads(const PhotoLoads&) = delete;
  PhotoLoads& operator=(const PhotoLoads&) = delete;

  // Heard on the user-interface thread.
  void OnPreview(std::function<void(int32_t slot)> heard) { onPreview_ = std::move(heard); }
  void OnFinished(std::function<void(Finished&&)> heard) { onFinished_ = std::move(heard); }

  // The longer side a quick copy should have at least (0: none wanted).
  void SetPreviewSide(uint32_t side) { previewSide_ = side; }
  // While held, loads wait to start (the program's start: the window is
  // drawn first).
  void Hold();
  void Release();

  // Reads `path` for region `slot`; a load going on for the region is
  // cancelled.
  void Start(int32_t slot, const std::string& path, uint64_t batch);
  void Cancel(int32_t slot);
  void CancelAll();

  bool Busy() const { return !loads_.empty(); }
  bool Loading(int32_t slot) const { return loads_.count(slot) != 0; }
  // The regions loading, in order.
  std::vector<int32_t> Slots() const;
  // The batch the region's load was started with (0: none loading).
  uint64_t BatchOf(int32_t slot) const;
  // The quick copy of the region's photo, when it came (pixels null before).
  Preview PreviewOf(int32_t slot) const;
  // How far the region's decode got, 0 to engine::DecodeControl::kWhole.
  uint32_t Progress(int32_t slot) const;

 private:
  struct Job {
    int32_t slot = -1;
    std::string path;
    uint64_t batch = 0;
    uint32_t previewSide = 0;
    engine::DecodeControl control;
    // Copied from self_ on the window's thread: a worker copying self_
    // itself would race the destructor's reset.
    std::weak_ptr<PhotoLoads*> owner;
  };
  struct Load {
    std::shared_ptr<Job> job;
    Preview preview;
  };
  // What the workers share with the user-interface thread.
  struct Queue {
    std::mutex mutex;
    std::condition_variable wake;
    std::deque<std::shared_ptr<Job>> jobs;
    bool held = false;
    bool stop = false;
  };

  void Work();
  void Delivered(const std::shared_ptr<Job>& job, Preview&& preview);
  void Delivered(const std::shared_ptr<Job>& job, Finished&& finished);

  platform::Platform& platform_;
  const engine::ImageReader& reader_;
  unsigned threads_;
  uint32_t previewSide_ = 0;
  std::map<int32_t, Load> loads_;  // the user-interface thread's own
  Queue queue_;
  std::vector<std::thread> workers_;  // started with the first load
  // Posted results find the loads through this; gone with them.
  std::shared_ptr<PhotoLoads*> self_;
  std::function<void(int32_t)> onPreview_;
  std::function<void(Finished&&)> onFinished_;
};

}  // namespace app
