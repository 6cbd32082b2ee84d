#include "imagefiles/PngChunkWalk.h"

#include <zlib.h>

namespace imagefiles {

namespace {

constexpr uint32_t kSignatureSize = 8;
constexpr uint32_t kChunkOverhead = 12;  // length, name, CRC

uint32_t BigEndian32(const uint8_t* p) {
  return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}

constexpr uint32_t kChunkName(char a, char b, char c, char d) {
  return uint32_t(uint8_t(a)) << 24 | uint32_t(uint8_t(b)) << 16 | uint32_t(uint8_t(c)) << 8 |
         uint32_t(uint8_t(d));
}

constexpr uint32_t kIdat = kChunkName('I', 'D', 'A', 'T');
constexpr uint32_t kIend = kChunkName('I', 'E', 'N', 'D');
constexpr uint32_t kExif = kChunkName('e', 'X', 'I', 'f');

// libpng is told to skip eXIf, so its CRC is checked here: a damaged block
// must not turn a photo.
bool CrcMatches(const uint8_t* chunk, uint32_t length) {
  const uLong crc = crc32(crc32(0, nullptr, 0), chunk + 4, uInt(length) + 4);
  return uint32_t(crc) == BigEndian32(chunk + 8 + length);
}

}  // namespace

bool WalkPngChunks(const uint8_t* data, uint32_t size, PngChunkSummary* summary) {
  constexpr uint32_t kMaxChunkLength = 0x7FFFFFFFu;

  PngChunkSummary found;
  uint64_t position = kSignatureSize;
  while (position + kChunkOverhead <= size) {
    const uint32_t length = BigEndian32(data + position);
    const uint32_t name = BigEndian32(data + position + 4);
    if (length > kMaxChunkLength) {
      summary->problem = engine::ImageDetail::CorruptData;
      return false;
    }
    if (uint64_t(length) + kChunkOverhead > size - position) break;
    if (name == kIdat) found.idatBytes += length;
    if (name == kExif && found.exifSize == 0 && length > 0 && CrcMatches(data + position, length)) {
      found.exifOffset = uint32_t(position + 8);
      found.exifSize = length;
    }
    if (name == kIend) {
      *summary = found;
      return true;
    }
    position += uint64_t(length) + kChunkOverhead;
  }
  summary->problem = engine::ImageDetail::EndsEarly;
  return false;
}

bool WalkPngChunks(const uint8_t* data, uint32_t size, uint64_t* idatBytes) {
  PngChunkSummary summary;
  if (!WalkPngChunks(data, size, &summary)) return false;
  *idatBytes = summary.idatBytes;
  return true;
}

}  // namespace imagefiles
