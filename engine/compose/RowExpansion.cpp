#include "engine/compose/RowExpansion.h"

#include <cstring>

#include "engine/resample/SimdLevel.h"

namespace engine {

namespace {

// The loop the shuffle stands for, for processors without one.
void ExpandBlocksPortable(const uint8_t* source, const RowExpansion::Block* blocks, size_t count,
                          uint8_t* out) {
  for (size_t b = 0; b < count; ++b, out += 16) {
    const uint8_t* from = source + blocks[b].from;
    for (int i = 0; i < 16; ++i) out[i] = from[blocks[b].pick[i]];
  }
}

ExpandBlocksFunction Chosen() {
  // SSE4.1 implies SSSE3; the level says whether the processor has it.
  static const ExpandBlocksFunction shuffle = Ssse3ExpandBlocks();
  return shuffle && ActiveSimdLevel() >= SimdLevel::Sse41 ? shuffle : nullptr;
}

}  // namespace

bool RowExpansion::Plan(const int32_t* column, int32_t width) {
  usable_ = false;
  blocks_.clear();
  tail_.clear();
  if (width <= 0) return false;
  const size_t bytes = size_t(width) * 3;
  auto sourceByte = [&](size_t i) { return uint32_t(column[i / 3]) * 3 + uint32_t(i % 3); };
  blocks_.resize(bytes / 16);
  for (size_t b = 0; b < blocks_.size(); ++b) {
    Block& block = blocks_[b];
    // From the first byte of the pixel the block starts in: a block may
    // start in the middle of a pixel and repeat it whole further on.
    block.from = uint32_t(column[16 * b / 3]) * 3;
    for (size_t i = 0; i < 16; ++i) {
      const uint32_t at = sourceByte(16 * b + i);
      if (at < block.from || at - block.from >= 16) {
        blocks_.clear();
        return false;
      }
      block.pick[i] = uint8_t(at - block.from);
    }
  }
  for (size_t i = blocks_.size() * 16; i < bytes; ++i) tail_.push_back(sourceByte(i));
  usable_ = true;
  return true;
}

void RowExpansion::Run(const uint8_t* source, uint8_t* out) const {
  const ExpandBlocksFunction shuffle = Chosen();
  (shuffle ? shuffle : ExpandBlocksPortable)(source, blocks_.data(), blocks_.size(), out);
  out += blocks_.size() * 16;
  for (size_t i = 0; i < tail_.size(); ++i) out[i] = source[tail_[i]];
}

}  // namespace engine
