#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "engine/card/PhotoSlot.h"
#include "engine/raster/PhotoBufferPool.h"
#include "engine/raster/Raster.h"

namespace engine {
namespace {

// 3000 x 1000 Rgb24: 9 MB, photo-sized for the pool.
Raster Photo(uint32_t height = 1000) { return Raster::Allocate(3000, height, PixelFormat::Rgb24); }

struct EnabledPool {
  explicit EnabledPool(size_t kept) { PhotoBufferPool::Enable(kept); }
  ~EnabledPool() { PhotoBufferPool::Disable(); }
};

TEST(PhotoBufferPool, OffUntilEnabled) {
  ASSERT_FALSE(PhotoBufferPool::Enabled());
  { Raster r = Photo(); }
  EXPECT_EQ(PhotoBufferPool::IdleCount(), 0u);
}

// A photo dropped by its last owner, a raster or a slot sharing it, leaves
// its buffer for the next photo of about its size; at most `kept` wait, and
// small pictures never come from the pool.
TEST(PhotoBufferPool, ReusesTheBuffersOfDroppedPhotos) {
  EnabledPool pool(2);
  uint8_t* first = nullptr;
  {
    Raster r = Photo();
    first = r.pixels.get();
    std::memset(first, 0x5A, r.ByteSize());
  }
  EXPECT_EQ(PhotoBufferPool::IdleCount(), 1u);
  {
    Raster again = Photo(999);  // a little smaller: the same buffer
    EXPECT_EQ(again.pixels.get(), first);
    std::memset(again.pixels.get(), 0xA5, again.ByteSize());  // writable as new
    EXPECT_EQ(PhotoBufferPool::IdleCount(), 0u);
    PhotoSlot slot;
    slot.TakePhoto(std::move(again));
    std::shared_ptr<const uint8_t[]> history = slot.photoPixels;  // as undo keeps it
    slot.TakePhoto(Raster());
    EXPECT_EQ(PhotoBufferPool::IdleCount(), 0u);
    history.reset();
    EXPECT_EQ(PhotoBufferPool::IdleCount(), 1u);
  }
  {
    Raster half = Photo(400);  // not in a buffer over twice its size
    EXPECT_NE(half.pixels.get(), first);
    Raster tiny = Raster::Allocate(10, 10, PixelFormat::Rgb24);
    Raster a = Photo(), b = Photo(), c = Photo();
    EXPECT_EQ(PhotoBufferPool::IdleCount(), 0u);
  }
  EXPECT_EQ(PhotoBufferPool::IdleCount(), 2u);
  EXPECT_GE(PhotoBufferPool::IdleBytes(), 2 * size_t(3000) * 1000 * 3);
  PhotoBufferPool::Trim();
  EXPECT_EQ(PhotoBufferPool::IdleCount(), 0u);
}

// A photo still held when the pool is turned off goes back to the system
// when it is dropped.
TEST(PhotoBufferPool, DisabledPoolKeepsNothing) {
  Raster held;
  {
    EnabledPool pool(2);
    held = Photo();
  }
  held.Reset();
  EXPECT_EQ(PhotoBufferPool::IdleCount(), 0u);
}

}  // namespace
}  // namespace engine
