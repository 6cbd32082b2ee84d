#include "imagefiles/ExifOrientation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

#include "TestImages.h"

namespace {

using imagefiles::ExifOrientation;
using Bytes = std::vector<uint8_t>;

int Read(const Bytes& block) { return ExifOrientation(block.data(), block.size()); }

Bytes WithExifHeader(const Bytes& tiff) {
  Bytes block(6 + tiff.size());
  std::memcpy(block.data(), "Exif\0\0", 6);
  std::copy(tiff.begin(), tiff.end(), block.begin() + 6);
  return block;
}

void Put16(Bytes& b, size_t at, uint16_t v, bool bigEndian) {
  b[at + (bigEndian ? 0 : 1)] = uint8_t(v >> 8);
  b[at + (bigEndian ? 1 : 0)] = uint8_t(v);
}

void Put32(Bytes& b, size_t at, uint32_t v, bool bigEndian) {
  Put16(b, at + (bigEndian ? 0 : 2), uint16_t(v >> 16), bigEndian);
  Put16(b, at + (bigEndian ? 2 : 0), uint16_t(v), bigEndian);
}

// ExifBlock lays IFD0 at 8: count at 8, Make at 10, Orientation at 22.
constexpr size_t kOrientationEntry = 22;

TEST(ExifOrientation, ReadsEveryValueInBothByteOrdersWithOrWithoutTheExifHeader) {
  for (bool bigEndian : {false, true}) {
    for (int value = 1; value <= 8; ++value) {
      const Bytes tiff = testimages::ExifBlock(value, bigEndian);
      EXPECT_EQ(Read(tiff), value) << bigEndian;
      EXPECT_EQ(Read(WithExifHeader(tiff)), value) << bigEndian;
    }
    EXPECT_EQ(Read(testimages::ExifBlock(0, bigEndian)), 1);  // no tag
    // A LONG holding the value is read too; values outside 1..8 are upright.
    Bytes tiff = testimages::ExifBlock(6, bigEndian);
    Put16(tiff, kOrientationEntry + 2, 4, bigEndian);
    Put32(tiff, kOrientationEntry + 8, 8, bigEndian);
    EXPECT_EQ(Read(tiff), 8);
    for (uint32_t bad : {0u, 9u, 0xFFFFu, 0x10006u}) {
      Put32(tiff, kOrientationEntry + 8, bad, bigEndian);
      EXPECT_EQ(Read(tiff), 1) << bad;
    }
  }
}

TEST(ExifOrientation, MalformedBlocksReadAsUpright) {
  const Bytes good = testimages::ExifBlock(6, false);
  ASSERT_EQ(Read(good), 6);
  auto edited = [&](auto edit) {
    Bytes b = good;
    edit(b);
    return Read(b);
  };
  EXPECT_EQ(ExifOrientation(nullptr, 100), 1);
  EXPECT_EQ(Read({}), 1);
  EXPECT_EQ(edited([](Bytes& b) { b[0] = 'M'; }), 1);             // mixed byte order
  EXPECT_EQ(edited([](Bytes& b) { b[2] = 43; }), 1);              // not 42
  EXPECT_EQ(edited([](Bytes& b) { Put32(b, 4, 0, false); }), 1);  // IFD in the header
  EXPECT_EQ(edited([](Bytes& b) { Put32(b, 4, 7, false); }), 1);
  EXPECT_EQ(edited([&](Bytes& b) { Put32(b, 4, uint32_t(b.size()), false); }), 1);
  EXPECT_EQ(edited([&](Bytes& b) { Put32(b, 4, uint32_t(b.size() - 1), false); }), 1);
  EXPECT_EQ(edited([](Bytes& b) { Put32(b, 4, 0xFFFFFFFFu, false); }), 1);  // far past the end
  EXPECT_EQ(edited([](Bytes& b) { Put32(b, 4, 0xFFFFFFF8u, false); }), 1);  // wraps if added
  EXPECT_EQ(edited([](Bytes& b) { Put16(b, 8, 0xFFFF, false); }), 1);       // huge count
  EXPECT_EQ(edited([](Bytes& b) { Put16(b, kOrientationEntry + 2, 2, false); }), 1);  // ASCII
  EXPECT_EQ(edited([](Bytes& b) { Put32(b, kOrientationEntry + 4, 2, false); }), 1);  // 2 values
  EXPECT_EQ(edited([](Bytes& b) { Put32(b, kOrientationEntry + 4, 0, false); }), 1);
  // The next-IFD pointer aimed back at IFD0, or at itself: never followed.
  EXPECT_EQ(edited([](Bytes& b) { Put32(b, 8 + 2 + 36, 8, false); }), 6);
  EXPECT_EQ(edited([](Bytes& b) { Put32(b, 8 + 2 + 36, 46, false); }), 6);
  // A directory of zero entries.
  EXPECT_EQ(edited([](Bytes& b) { Put16(b, 8, 0, false); }), 1);
}

TEST(ExifOrientation, EveryTruncationIsSafeAndOnlyAWholeDirectoryCounts) {
  for (bool bigEndian : {false, true}) {
    const Bytes tiff = WithExifHeader(testimages::ExifBlock(3, bigEndian));
    const size_t directoryEnd = 6 + 8 + 2 + 3 * 12;
    for (size_t length = 0; length <= tiff.size(); ++length) {
      // A copy of exactly `length` bytes, so a sanitizer sees any overread.
      const Bytes cut(tiff.begin(), tiff.begin() + length);
      EXPECT_EQ(Read(cut), length >= directoryEnd ? 3 : 1) << length;
    }
  }
}

TEST(ExifOrientation, RandomDamageNeverReadsOutsideTheBlock) {
  std::mt19937 random(7);
  const Bytes seeds[] = {testimages::ExifBlock(6, false), testimages::ExifBlock(8, true),
                         WithExifHeader(testimages::ExifBlock(5, false))};
  for (int round = 0; round < 50000; ++round) {
    Bytes b = seeds[round % 3];
    for (int e = 0, edits = 1 + int(random() % 3); e < edits; ++e) {
      const size_t at = random() % b.size();
      switch (random() % 3) {
        case 0:
          b[at] = uint8_t(random());
          break;
        case 1:
          b[at] ^= uint8_t(1u << (random() % 8));
          break;
        default:
          b.resize(at);
          break;
      }
      if (b.empty()) break;
    }
    const int value = Read(b);
    ASSERT_GE(value, 1);
    ASSERT_LE(value, 8);
  }
  // Large blocks of noise, the largest a PNG eXIf chunk might bring.
  Bytes noise(1 << 20);
  for (uint8_t& byte : noise) byte = uint8_t(random());
  std::memcpy(noise.data(), "MM\0*\0\0\0\x08\xFF\xFF", 10);
  const int value = Read(noise);
  EXPECT_TRUE(value >= 1 && value <= 8);
}

}  // namespace
