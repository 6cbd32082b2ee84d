#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace engine {

// Replicating one row of Rgb24 pixels to a wider one, output pixel x being a
// copy of source pixel column[x] (never decreasing, as nearest-neighbour
// enlarging gives), sixteen output bytes at a time: each block of sixteen
// bytes is one byte shuffle of the sixteen source bytes from `from` on.
// Usable when every block's bytes lie within sixteen source bytes, which
// enlarging by 1.2 or more always gives.
class RowExpansion {
 public:
  // False, with the plan empty, when some block's source bytes spread
  // further.
  bool Plan(const int32_t* column, int32_t width);
  bool Usable() const { return usable_; }

  // All width x 3 bytes of `out` from `source`, which must have 16 readable
  // bytes past its last pixel.
  void Run(const uint8_t* source, uint8_t* out) const;

  struct Block {
    uint32_t from;
    uint8_t pick[16];
  };

 private:
  bool usable_ = false;
  std::vector<Block> blocks_;
  std::vector<uint32_t> tail_;  // source byte of each output byte after the blocks
};

// The shuffle loop for processors with SSSE3 (null where this build has
// none); compiled for that instruction set in a file of its own.
using ExpandBlocksFunction = void (*)(const uint8_t* source, const RowExpansion::Block* blocks,
                                      size_t count, uint8_t* out);
ExpandBlocksFunction Ssse3ExpandBlocks();

}  // namespace engine
