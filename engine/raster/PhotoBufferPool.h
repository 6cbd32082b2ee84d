#pragma once

#include <cstddef>
#include <cstdint>

namespace engine {

// Photo-sized pixel buffers kept between photos, so that a photo decoded
// after another one was dropped writes into memory the process already
// has, instead of paying again for the kernel to hand out and zero fresh
// pages (about 45 ms for a 24 MP photo in 4 KB pages). Off until a program
// enables it; the window does, a command-line tool that renders once need
// not.
//
// While enabled, Raster::Allocate takes every buffer of kPooledFrom bytes or
// more from here, and the raster's pixels (or the shared pointer they move
// into) give it back when the last owner lets go. A returned buffer is kept
// if fewer than `kept` are idle, and given back to the system otherwise.
// An idle buffer is marked free for the kernel to take back under memory
// pressure (MADV_FREE, Linux): until it does, reusing the buffer costs
// nothing, and if it did, the pages come back zeroed as fresh ones would.
// Elsewhere idle buffers are simply kept. Safe to use from any thread.
class PhotoBufferPool {
 public:
  static constexpr size_t kPooledFrom = size_t(8) << 20;

  static void Enable(size_t kept = 2);
  // Gives every idle buffer back to the system; buffers in use come back
  // to the pool as before. Disable also stops taking buffers from it.
  static void Trim();
  static void Disable();
  static bool Enabled();

  // For Raster: a buffer of at least `bytes` (its capacity in *capacity),
  // null when the pool is off or the size is below kPooledFrom; throws
  // std::bad_alloc when the memory is not there.
  static uint8_t* Take(size_t bytes, size_t* capacity);
  static void Give(uint8_t* buffer, size_t capacity) noexcept;

  // Idle buffers and their bytes, for tests.
  static size_t IdleCount();
  static size_t IdleBytes();
};

}  // namespace engine
