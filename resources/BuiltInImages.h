#pragma once

#include <cstdint>

namespace resources {

// A picture embedded in the program at build time.
struct Blob {
  const uint8_t* data = nullptr;
  uint32_t size = 0;
};

// The tile drawn in empty regions.
constexpr int kPlaceholderTileId = 207;

// PNG resources by number, each a pair of region map and overlay: 201..206
// the first three built-in designs, 211..222 designs 3 to 8 (the screen
// versions); 301..318 the print versions of designs 0 to 8. 207 is the
// placeholder tile. Empty blob otherwise.
Blob FindPngResource(int id);

namespace embedded {
// A picture of the generated table of design pictures (Linux builds).
struct NumberedPng {
  int id;
  const uint8_t* data;
  const uint32_t* size;
};
}  // namespace embedded

// Icon resources, kept apart from the PNG resources of the same numbers:
// group 128 is the window icon (sizes 256, 48, 32, 24, 16), groups 203..206,
// 208, 209 and 210 the toolbar icons (size 48). Each image is an RGBA PNG. Empty blob when
// the group or size does not exist.
Blob FindIconResource(int groupId, int size);

}  // namespace resources
