#pragma once

#include <cstddef>
#include <cstdint>

namespace engine {

// Copies `bytes` bytes to `dst` with stores that go around the caches where
// the processor has them (x86's non-temporal stores), plain memcpy
// elsewhere. For pictures far larger than the caches that are written once
// and read later by someone else: a plain store first reads each line it
// writes into the cache, doubling the memory traffic, and evicts what the
// writer still reads. FinishStreaming must follow the last copy before
// another thread reads the pixels.
void StreamCopy(uint8_t* dst, const uint8_t* src, size_t bytes);
void FinishStreaming();

}  // namespace engine
