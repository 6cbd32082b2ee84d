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

// PNG resources by number: 201..206 the three built-in template pairs
// (region map, overlay), 207 the placeholder tile. Empty blob otherwise.
Blob FindPngResource(int id);

// Icon resources, kept apart from the PNG resources of the same numbers:
// group 128 is the window icon (sizes 256, 48, 32, 24, 16), groups 203..206,
// 208 and 209 the toolbar icons (size 48). Each image is an RGBA PNG. Empty blob when
// the group or size does not exist.
Blob FindIconResource(int groupId, int size);

}  // namespace resources
