#pragma once

#include <cstdint>

namespace imagefiles {

// Walks the chunk list of a PNG held in memory, from the end of the 8-byte
// signature to IEND, without interpreting any chunk. False when a chunk
// declares more bytes than are left or the data ends before IEND.
//
// libpng only warns when an ancillary chunk is larger than its allocation
// limit and then allocates the declared length anyway (a 200-byte file made
// it ask for 1.3 GB); refusing such a file before libpng sees it is the only
// sure stop. `idatBytes` receives the sum of the IDAT lengths.
bool WalkPngChunks(const uint8_t* data, uint32_t size, uint64_t* idatBytes);

}  // namespace imagefiles
