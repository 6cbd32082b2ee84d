#include "imagefiles/ParseLayerBlock.h"

#include <cstring>
#include <utility>

namespace imagefiles {

namespace {

uint32_t ReadLe32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

}  // namespace

bool ParseLayerBlock(const uint8_t* block, uint32_t length, LayerBlock* layer) {
  LayerBlock parsed;
  // 64 bits throughout: a chunk length near 0xFFFFFFFF must not wrap the
  // position back into the block.
  uint64_t position = 0;
  while (position + 8 <= length) {
    const uint8_t* header = block + position;
    const uint64_t dataLength = ReadLe32(header + 4);
    if (position + 8 + dataLength > length) return false;
    const uint8_t* data = header + 8;
    if (std::memcmp(header, "NAME", 4) == 0) {
      // An odd last byte is not part of any code unit.
      const size_t units = size_t(dataLength / 2);
      parsed.name.resize(units);
      for (size_t i = 0; i < units; ++i) {
        parsed.name[i] = char16_t(data[2 * i] | data[2 * i + 1] << 8);
      }
    } else if (std::memcmp(header, "DOCU", 4) == 0) {
      parsed.docu = data;
      parsed.docuSize = uint32_t(dataLength);
    }
    position += (8 + dataLength + 3) & ~uint64_t(3);
  }
  if (position != length) return false;
  *layer = std::move(parsed);
  return true;
}

}  // namespace imagefiles
