#pragma once

#include <cstdint>

namespace resources {

// A picture embedded in the program at build time.
struct Blob {
  const uint8_t* data = nullptr;
  uint32_t size = 0;
};

// The built-in templates, in the order the Template command cycles through
// them: the PNG resource numbers of each one's region map and overlay.
struct BuiltInTemplatePair {
  int regionMapId;
  int overlayId;
};
constexpr int kBuiltInTemplateCount = 3;
constexpr BuiltInTemplatePair kBuiltInTemplatePairs[kBuiltInTemplateCount] = {
    {201, 202}, {203, 204}, {205, 206}};

// The tile drawn in empty regions.
constexpr int kPlaceholderTileId = 207;

// PNG resources by number: 201..206 the three built-in template pairs
// (region map, overlay), 207 the placeholder tile. Empty blob otherwise.
Blob FindPngResource(int id);

// Icon resources, kept apart from the PNG resources of the same numbers:
// group 128 is the window icon (sizes 256, 48, 32, 24, 16), groups 203..206
// the toolbar icons (size 48). Each image is an RGBA PNG. Empty blob when
// the group or size does not exist.
Blob FindIconResource(int groupId, int size);

}  // namespace resources
