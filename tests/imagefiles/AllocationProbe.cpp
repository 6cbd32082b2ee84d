#include "AllocationProbe.h"

#include <atomic>

#if defined(__SANITIZE_ADDRESS__) || defined(_WIN32)  // no glibc malloc to stand in front of
#define TESSARY_NO_MALLOC_PROBE 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TESSARY_NO_MALLOC_PROBE 1
#endif
#endif

namespace {
std::atomic<bool> probing{false};
std::atomic<size_t> largestSeen{0};
}  // namespace

#ifndef TESSARY_NO_MALLOC_PROBE
// glibc's own allocator stays in charge; this only watches request sizes.
// Defined in the test program, it also catches the libraries' calls.
extern "C" void* __libc_malloc(size_t size);
extern "C" void* malloc(size_t size) {
  if (probing.load(std::memory_order_relaxed)) {
    size_t seen = largestSeen.load(std::memory_order_relaxed);
    while (size > seen && !largestSeen.compare_exchange_weak(seen, size)) {
    }
  }
  return __libc_malloc(size);
}
#endif

namespace testimages {

bool LargestAllocationDuring(const std::function<void()>& run, size_t* largest) {
#ifdef TESSARY_NO_MALLOC_PROBE
  run();
  *largest = 0;
  return false;
#else
  largestSeen = 0;
  probing = true;
  run();
  probing = false;
  *largest = largestSeen;
  return true;
#endif
}

}  // namespace testimages
