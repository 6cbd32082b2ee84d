#pragma once

#include <cstdint>
#include <cstdio>

#include <jpeglib.h>

namespace imagefiles {

// libjpeg source over a file held whole in memory. When the data runs out it
// serves an end-of-image marker, so a truncated file decodes as far as it
// goes (libjpeg fills the missing rows) instead of failing.
struct MemoryJpegSource {
  jpeg_source_mgr mgr;  // first member: the library's src pointer converts back
  const uint8_t* data;
  uint32_t size;
  JOCTET endOfImage[2];

  void Attach(j_decompress_ptr cinfo, const uint8_t* bytes, uint32_t count);
};

}  // namespace imagefiles
