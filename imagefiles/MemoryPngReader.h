#pragma once

#include <cstdint>

#include <png.h>

namespace imagefiles {

// State behind libpng's read callback for a file held whole in memory.
struct MemoryPngReader {
  const uint8_t* data;
  uint32_t size;
  uint32_t position;

  void Attach(png_structp png, const uint8_t* bytes, uint32_t count);
};

}  // namespace imagefiles
