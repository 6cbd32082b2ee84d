#include "imagefiles/PngDensity.h"

#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace imagefiles {

namespace {

constexpr uint32_t kSignatureSize = 8;
constexpr uint32_t kChunkOverhead = 12;  // length, name, CRC
constexpr double kMetresPerInch = 0.0254;
const uint8_t kSignature[kSignatureSize] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

uint32_t BigEndian32(const uint8_t* p) {
  return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}

void PutBigEndian32(std::vector<uint8_t>& out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(uint8_t(v >> shift));
}

bool IsChunk(const uint8_t* chunk, const char* name) { return std::memcmp(chunk + 4, name, 4) == 0; }

bool CrcMatches(const uint8_t* chunk, uint32_t length) {
  const uLong crc = crc32(crc32(0, nullptr, 0), chunk + 4, uInt(length) + 4);
  return uint32_t(crc) == BigEndian32(chunk + 8 + length);
}

// Calls `visit(chunk, length)` for every chunk up to and including IEND;
// false when the data is not a PNG or ends before IEND.
template <typename Visit>
bool WalkChunks(const uint8_t* data, uint32_t size, Visit&& visit) {
  if (size < kSignatureSize || std::memcmp(data, kSignature, kSignatureSize) != 0) return false;
  uint64_t position = kSignatureSize;
  while (position + kChunkOverhead <= size) {
    const uint32_t length = BigEndian32(data + position);
    if (length > 0x7FFFFFFFu || uint64_t(length) + kChunkOverhead > size - position) return false;
    visit(data + position, length);
    if (IsChunk(data + position, "IEND")) return true;
    position += uint64_t(length) + kChunkOverhead;
  }
  return false;
}

}  // namespace

uint32_t PixelsPerMetre(uint32_t ppi) { return uint32_t(std::lround(ppi / kMetresPerInch)); }

uint32_t ReadPngPpi(const uint8_t* data, uint32_t size) {
  uint32_t ppi = 0;
  bool seen = false;
  WalkChunks(data, size, [&](const uint8_t* chunk, uint32_t length) {
    if (seen || !IsChunk(chunk, "pHYs")) return;
    // A pHYs after IDAT is against the format, but says the same.
    seen = true;
    if (length != 9 || !CrcMatches(chunk, length)) return;
    const uint32_t x = BigEndian32(chunk + 8), y = BigEndian32(chunk + 12);
    if (chunk[16] != 1 || x != y || x == 0) return;  // unit 1: the metre
    const long rounded = std::lround(x * kMetresPerInch);
    ppi = rounded > 0 && rounded <= 1000000 ? uint32_t(rounded) : 0;
  });
  return ppi;
}

bool SetPngPpi(const uint8_t* data, uint32_t size, uint32_t ppi, std::vector<uint8_t>* out) {
  std::vector<uint8_t> copy(data, data + std::min<uint32_t>(size, kSignatureSize));
  bool afterHeader = false;
  const bool whole = WalkChunks(data, size, [&](const uint8_t* chunk, uint32_t length) {
    if (IsChunk(chunk, "pHYs")) return;
    copy.insert(copy.end(), chunk, chunk + length + kChunkOverhead);
    if (afterHeader || !IsChunk(chunk, "IHDR")) return;
    afterHeader = true;
    const uint32_t ppm = PixelsPerMetre(ppi);
    const size_t start = copy.size();
    PutBigEndian32(copy, 9);
    copy.insert(copy.end(), {'p', 'H', 'Y', 's'});
    PutBigEndian32(copy, ppm);
    PutBigEndian32(copy, ppm);
    copy.push_back(1);
    const uLong crc = crc32(crc32(0, nullptr, 0), copy.data() + start + 4, 13);
    PutBigEndian32(copy, uint32_t(crc));
  });
  if (!whole || !afterHeader) return false;
  *out = std::move(copy);
  return true;
}

}  // namespace imagefiles
