#pragma once

#include <cstdint>

#include "engine/raster/ImageStatus.h"

namespace imagefiles {

// What the decoder needs to know about a PNG's chunks before libpng reads it.
struct PngChunkSummary {
  uint64_t idatBytes = 0;  // the sum of the IDAT lengths
  // The data of the first eXIf chunk whose CRC is right; size 0 when none.
  uint32_t exifOffset = 0;
  uint32_t exifSize = 0;
  // Why the walk failed: EndsEarly or CorruptData.
  engine::ImageDetail problem = engine::ImageDetail::None;
};

// Walks the chunk list of a PNG held in memory, from the end of the 8-byte
// signature to IEND, without interpreting any chunk. False when a chunk
// declares more bytes than are left or the data ends before IEND.
//
// libpng only warns when an ancillary chunk is larger than its allocation
// limit and then allocates the declared length anyway (a 200-byte file made
// it ask for 1.3 GB); refusing such a file before libpng sees it is the only
// sure stop.
bool WalkPngChunks(const uint8_t* data, uint32_t size, PngChunkSummary* summary);
bool WalkPngChunks(const uint8_t* data, uint32_t size, uint64_t* idatBytes);

}  // namespace imagefiles
