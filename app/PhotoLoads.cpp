#include "app/PhotoLoads.h"

#include <algorithm>
#include <new>
#include <utility>

#include "document/PhotoFile.h"

namespace app {

PhotoLoads::PhotoLoads(platform::Platform& platform, const engine::ImageReader& reader,
                       unsigned threads)
    : platform_(platform),
      reader_(reader),
      threads_(std::max(1u, threads)),
      self_(std::make_shared<PhotoLoads*>(this)) {}

PhotoLoads::~PhotoLoads() {
  self_.reset();
  CancelAll();
  {
    std::lock_guard<std::mutex> lock(queue_.mutex);
    queue_.stop = true;
  }
  queue_.wake.notify_all();
  for (std::thread& worker : workers_) worker.join();
}

void PhotoLoads::Hold() {
  std::lock_guard<std::mutex> lock(queue_.mutex);
  queue_.held = true;
}

void PhotoLoads::Release() {
  {
    std::lock_guard<std::mutex> lock(queue_.mutex);
    queue_.held = false;
  }
  queue_.wake.notify_all();
}

void PhotoLoads::Start(int32_t slot, const std::string& path, uint64_t batch) {
  Cancel(slot);
  auto job = std::make_shared<Job>();
  job->slot = slot;
  job->path = path;
  job->batch = batch;
  job->previewSide = previewSide_;
  job->owner = self_;
  loads_[slot].job = job;
  {
    std::lock_guard<std::mutex> lock(queue_.mutex);
    queue_.jobs.push_back(std::move(job));
  }
  queue_.wake.notify_one();
  while (workers_.size() < threads_) workers_.emplace_back([this] { Work(); });
}

void PhotoLoads::Cancel(int32_t slot) {
  const auto found = loads_.find(slot);
  if (found == loads_.end()) return;
  found->second.job->control.Cancel();
  loads_.erase(found);
}

void PhotoLoads::CancelAll() {
  for (auto& entry : loads_) entry.second.job->control.Cancel();
  loads_.clear();
}

std::vector<int32_t> PhotoLoads::Slots() const {
  std::vector<int32_t> slots;
  for (const auto& entry : loads_) slots.push_back(entry.first);
  return slots;
}

uint64_t PhotoLoads::BatchOf(int32_t slot) const {
  const auto found = loads_.find(slot);
  return found == loads_.end() ? 0 : found->second.job->batch;
}

PhotoLoads::Preview PhotoLoads::PreviewOf(int32_t slot) const {
  const auto found = loads_.find(slot);
  return found == loads_.end() ? Preview{} : found->second.preview;
}

uint32_t PhotoLoads::Progress(int32_t slot) const {
  const auto found = loads_.find(slot);
  return found == loads_.end() ? 0 : found->second.job->control.Part();
}

void PhotoLoads::Work() {
  for (;;) {
    std::shared_ptr<Job> job;
    {
      std::unique_lock<std::mutex> lock(queue_.mutex);
      queue_.wake.wait(lock, [this] {
        return queue_.stop || (!queue_.held && !queue_.jobs.empty());
      });
      if (queue_.stop) return;
      job = std::move(queue_.jobs.front());
      queue_.jobs.pop_front();
    }
    if (job->control.Cancelled()) continue;

    Finished finished;
    finished.slot = job->slot;
    finished.path = job->path;
    finished.batch = job->batch;
    std::vector<uint8_t> bytes;
    engine::FileStamp stamp;
    try {
      finished.status = reader_.ReadFile(job->path, &bytes, &stamp);
      if (finished.status && job->previewSide != 0 && !job->control.Cancelled() &&
          bytes.size() <= UINT32_MAX) {
        engine::Raster quick;
        if (reader_.DecodePhotoPreview(bytes.data(), uint32_t(bytes.size()), job->previewSide,
                                       &quick) &&
            !quick.Empty() && quick.format == engine::PixelFormat::Rgb24 &&
            quick.Stride() == size_t(quick.width) * 3) {
          Preview preview;
          preview.width = quick.width;
          preview.height = quick.height;
          preview.pixels = std::shared_ptr<const uint8_t[]>(std::move(quick.pixels));
          std::weak_ptr<PhotoLoads*> self = job->owner;
          platform_.PostToMainThread([self, job, preview]() mutable {
            if (auto loads = self.lock()) (*loads)->Delivered(job, std::move(preview));
          });
        }
      }
    } catch (const std::bad_alloc&) {
      // The quick copy is a nicety; the photo itself may still fit.
      if (finished.status && bytes.empty())
        finished.status = engine::ImageStatus::Failed(engine::ImageFailure::OutOfMemory);
    }
    if (job->control.Cancelled()) continue;
    if (finished.status)
      finished.status = document::DecodePhotoBytes(bytes, job->path, stamp, reader_,
                                                   &finished.photo, &finished.source,
                                                   &job->control);
    bytes = std::vector<uint8_t>();
    if (job->control.Cancelled()) continue;
    std::weak_ptr<PhotoLoads*> self = job->owner;
    auto done = std::make_shared<Finished>(std::move(finished));
    platform_.PostToMainThread([self, job, done] {
      if (auto loads = self.lock()) (*loads)->Delivered(job, std::move(*done));
    });
  }
}

void PhotoLoads::Delivered(const std::shared_ptr<Job>& job, Preview&& preview) {
  const auto found = loads_.find(job->slot);
  if (found == loads_.end() || found->second.job != job) return;
  found->second.preview = std::move(preview);
  if (onPreview_) onPreview_(job->slot);
}

void PhotoLoads::Delivered(const std::shared_ptr<Job>& job, Finished&& finished) {
  const auto found = loads_.find(job->slot);
  if (found == loads_.end() || found->second.job != job) return;
  loads_.erase(found);
  if (onFinished_) onFinished_(std::move(finished));
}

}  // namespace app
