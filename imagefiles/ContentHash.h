#pragma once

#include <cstddef>
#include <cstdint>

namespace imagefiles {

// A 64-bit FNV-1a hash: tells whether a file still holds the bytes that were
// read from it. Not a defence against anyone who wants a collision.
inline uint64_t ContentHash(const uint8_t* data, size_t size, uint64_t hash = 0xCBF29CE484222325u) {
  for (size_t i = 0; i < size; ++i) hash = (hash ^ data[i]) * 0x100000001B3u;
  return hash;
}

}  // namespace imagefiles
