#pragma once

#include <atomic>
#include <cstdint>

namespace engine {

// Shared between a decoder running on a worker thread and the thread that
// waits for its picture: a request to stop, and how far the decoder got.
// Decoders look at it between rows or strips; any thread may ask.
class DecodeControl {
 public:
  static constexpr uint32_t kWhole = 1000;

  void Cancel() { cancelled_.store(true, std::memory_order_relaxed); }
  bool Cancelled() const { return cancelled_.load(std::memory_order_relaxed); }

  // `done` of `total` units of work (rows, tiles, bytes) are behind.
  void Progress(uint64_t done, uint64_t total) {
    const uint32_t part = total == 0 ? kWhole : uint32_t(done >= total ? kWhole : done * kWhole / total);
    progress_.store(part, std::memory_order_relaxed);
  }
  // 0 to kWhole.
  uint32_t Part() const { return progress_.load(std::memory_order_relaxed); }

 private:
  std::atomic<bool> cancelled_{false};
  std::atomic<uint32_t> progress_{0};
};

}  // namespace engine
