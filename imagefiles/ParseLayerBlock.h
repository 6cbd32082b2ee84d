#pragma once

#include <cstdint>
#include <string>

namespace imagefiles {

// What one layer of a layout file holds. `docu` points into the block that
// was parsed and is only valid as long as that block is.
struct LayerBlock {
  std::u16string name;            // UTF-16 code units; empty when there is no NAME chunk
  const uint8_t* docu = nullptr;  // the layer's PNG; null with docuSize 0 when absent
  uint32_t docuSize = 0;
};

// Walks the chunks of a layer body of `length` bytes (the padded length).
// The last NAME and the last DOCU count; other chunks are passed over. False
// when a chunk runs past the body or the chunks do not fill it exactly; the
// walk never reads outside [block, block + length). On failure `*layer` is
// left as it was.
bool ParseLayerBlock(const uint8_t* block, uint32_t length, LayerBlock* layer);

}  // namespace imagefiles
