#include "imagefiles/PngChunkWalk.h"

namespace imagefiles {

namespace {

uint32_t BigEndian32(const uint8_t* p) {
  return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}

constexpr uint32_t kChunkName(char a, char b, char c, char d) {
  return uint32_t(uint8_t(a)) << 24 | uint32_t(uint8_t(b)) << 16 | uint32_t(uint8_t(c)) << 8 |
         uint32_t(uint8_t(d));
}

}  // namespace

bool WalkPngChunks(const uint8_t* data, uint32_t size, uint64_t* idatBytes) {
  constexpr uint32_t kSignatureSize = 8;
  constexpr uint32_t kChunkOverhead = 12;  // length, name, CRC
  constexpr uint32_t kMaxChunkLength = 0x7FFFFFFFu;
  constexpr uint32_t kIdat = kChunkName('I', 'D', 'A', 'T');
  constexpr uint32_t kIend = kChunkName('I', 'E', 'N', 'D');

  uint64_t idat = 0;
  uint64_t position = kSignatureSize;
  while (position + kChunkOverhead <= size) {
    const uint32_t length = BigEndian32(data + position);
    const uint32_t name = BigEndian32(data + position + 4);
    if (length > kMaxChunkLength) return false;
    if (uint64_t(length) + kChunkOverhead > size - position) return false;
    if (name == kIdat) idat += length;
    if (name == kIend) {
      *idatBytes = idat;
      return true;
    }
    position += uint64_t(length) + kChunkOverhead;
  }
  return false;
}

}  // namespace imagefiles
