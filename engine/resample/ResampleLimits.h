#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <new>

namespace engine {

// Every buffer the resampler allocates is refused when its byte size does not
// fit in 32 bits, the same way an allocator refuses an impossible size. The
// count comes from signed 32-bit geometry, so it is checked before it is used.
inline size_t CheckedResampleCount(int64_t count, size_t elementSize) {
  constexpr uint64_t kMaxBytes = std::numeric_limits<uint32_t>::max();
  if (count < 0 || elementSize == 0 || uint64_t(count) > kMaxBytes / elementSize) {
    throw std::bad_alloc();
  }
  return size_t(count);
}

}  // namespace engine
