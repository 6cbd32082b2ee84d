#include "engine/raster/PhotoBufferPool.h"

#include <mutex>
#include <new>
#include <vector>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace engine {

namespace {

struct Idle {
  uint8_t* buffer;
  size_t capacity;
};

struct Pool {
  std::mutex mutex;
  bool enabled = false;
  size_t kept = 0;
  std::vector<Idle> idle;
};

Pool& TheOnePool() {
  static Pool* pool = new Pool;  // never destroyed: buffers may come back at exit
  return *pool;
}

// Whole 2 MB pages, so that the kernel can back the buffer with large ones.
constexpr size_t kLargePage = size_t(2) << 20;

uint8_t* Map(size_t capacity) {
#if defined(__linux__)
  void* p = mmap(nullptr, capacity, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (p == MAP_FAILED) throw std::bad_alloc();
#if defined(MADV_HUGEPAGE)
  madvise(p, capacity, MADV_HUGEPAGE);
#endif
  return static_cast<uint8_t*>(p);
#else
  return new uint8_t[capacity];
#endif
}

void Unmap(uint8_t* buffer, size_t capacity) {
#if defined(__linux__)
  munmap(buffer, capacity);
#else
  (void)capacity;
  delete[] buffer;
#endif
}

void MarkFree(uint8_t* buffer, size_t capacity) {
#if defined(__linux__) && defined(MADV_FREE)
  madvise(buffer, capacity, MADV_FREE);
#else
  (void)buffer;
  (void)capacity;
#endif
}

}  // namespace

void PhotoBufferPool::Enable(size_t kept) {
  Pool& pool = TheOnePool();
  std::lock_guard<std::mutex> lock(pool.mutex);
  pool.enabled = true;
  pool.kept = kept;
}

void PhotoBufferPool::Trim() {
  Pool& pool = TheOnePool();
  std::vector<Idle> idle;
  {
    std::lock_guard<std::mutex> lock(pool.mutex);
    idle.swap(pool.idle);
  }
  for (const Idle& i : idle) Unmap(i.buffer, i.capacity);
}

void PhotoBufferPool::Disable() {
  {
    Pool& pool = TheOnePool();
    std::lock_guard<std::mutex> lock(pool.mutex);
    pool.enabled = false;
  }
  Trim();
}

bool PhotoBufferPool::Enabled() {
  Pool& pool = TheOnePool();
  std::lock_guard<std::mutex> lock(pool.mutex);
  return pool.enabled;
}

uint8_t* PhotoBufferPool::Take(size_t bytes, size_t* capacity) {
  if (bytes < kPooledFrom) return nullptr;
  Pool& pool = TheOnePool();
  {
    std::lock_guard<std::mutex> lock(pool.mutex);
    if (!pool.enabled) return nullptr;
    // The smallest idle buffer that holds the photo, unless it is more than
    // twice its size (a small photo would then pin a large buffer).
    size_t best = pool.idle.size();
    for (size_t i = 0; i < pool.idle.size(); ++i) {
      const size_t c = pool.idle[i].capacity;
      if (c >= bytes && c / 2 <= bytes &&
          (best == pool.idle.size() || c < pool.idle[best].capacity)) {
        best = i;
      }
    }
    if (best != pool.idle.size()) {
      const Idle found = pool.idle[best];
      pool.idle.erase(pool.idle.begin() + long(best));
      *capacity = found.capacity;
      return found.buffer;
    }
  }
  *capacity = (bytes + kLargePage - 1) / kLargePage * kLargePage;
  return Map(*capacity);
}

void PhotoBufferPool::Give(uint8_t* buffer, size_t capacity) noexcept {
  if (buffer == nullptr) return;
  Pool& pool = TheOnePool();
  {
    std::lock_guard<std::mutex> lock(pool.mutex);
    if (pool.enabled && pool.idle.size() < pool.kept) {
      try {
        pool.idle.reserve(pool.kept);
        MarkFree(buffer, capacity);
        pool.idle.push_back({buffer, capacity});
        return;
      } catch (const std::bad_alloc&) {
        // No room to note it: it goes back to the system below.
      }
    }
  }
  Unmap(buffer, capacity);
}

size_t PhotoBufferPool::IdleCount() {
  Pool& pool = TheOnePool();
  std::lock_guard<std::mutex> lock(pool.mutex);
  return pool.idle.size();
}

size_t PhotoBufferPool::IdleBytes() {
  Pool& pool = TheOnePool();
  std::lock_guard<std::mutex> lock(pool.mutex);
  size_t bytes = 0;
  for (const Idle& i : pool.idle) bytes += i.capacity;
  return bytes;
}

}  // namespace engine
