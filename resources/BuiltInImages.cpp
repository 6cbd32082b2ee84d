#include "resources/BuiltInImages.h"

#include <cstddef>

namespace resources {

// Defined in the sources that resources/CMakeLists.txt makes from the PNG
// files.
namespace embedded {
#define TESSARY_EMBEDDED(name)       \
  extern const uint8_t name[];       \
  extern const uint32_t name##Size;
TESSARY_EMBEDDED(kTemplate0Regions)
TESSARY_EMBEDDED(kTemplate0Overlay)
TESSARY_EMBEDDED(kTemplate1Regions)
TESSARY_EMBEDDED(kTemplate1Overlay)
TESSARY_EMBEDDED(kTemplate2Regions)
TESSARY_EMBEDDED(kTemplate2Overlay)
TESSARY_EMBEDDED(kPlaceholderTile)
TESSARY_EMBEDDED(kWindowIcon256)
TESSARY_EMBEDDED(kWindowIcon48)
TESSARY_EMBEDDED(kWindowIcon32)
TESSARY_EMBEDDED(kWindowIcon24)
TESSARY_EMBEDDED(kWindowIcon16)
TESSARY_EMBEDDED(kSaveIcon48)
TESSARY_EMBEDDED(kDonateIcon48)
TESSARY_EMBEDDED(kHelpIcon48)
TESSARY_EMBEDDED(kTemplateIcon48)
TESSARY_EMBEDDED(kUndoIcon48)
TESSARY_EMBEDDED(kRedoIcon48)
TESSARY_EMBEDDED(kDesignsIcon48)
TESSARY_EMBEDDED(kTextIcon48)
TESSARY_EMBEDDED(kPrintIcon48)
#undef TESSARY_EMBEDDED
extern const NumberedPng kMorePngResources[];
extern const uint32_t kMorePngResourceCount;
}  // namespace embedded

namespace {

struct Entry {
  int id;
  int size;  // icon edge in pixels; 0 for PNG resources
  const uint8_t* data;
  const uint32_t* length;
};

#define TESSARY_ENTRY(id, size, name) {id, size, embedded::name, &embedded::name##Size}
const Entry kPngResources[] = {
    TESSARY_ENTRY(201, 0, kTemplate0Regions), TESSARY_ENTRY(202, 0, kTemplate0Overlay),
    TESSARY_ENTRY(203, 0, kTemplate1Regions), TESSARY_ENTRY(204, 0, kTemplate1Overlay),
    TESSARY_ENTRY(205, 0, kTemplate2Regions), TESSARY_ENTRY(206, 0, kTemplate2Overlay),
    TESSARY_ENTRY(207, 0, kPlaceholderTile),
};
const Entry kIconResources[] = {
    TESSARY_ENTRY(128, 256, kWindowIcon256), TESSARY_ENTRY(128, 48, kWindowIcon48),
    TESSARY_ENTRY(128, 32, kWindowIcon32),   TESSARY_ENTRY(128, 24, kWindowIcon24),
    TESSARY_ENTRY(128, 16, kWindowIcon16),   TESSARY_ENTRY(203, 48, kSaveIcon48),
    TESSARY_ENTRY(204, 48, kDonateIcon48),   TESSARY_ENTRY(205, 48, kHelpIcon48),
    TESSARY_ENTRY(206, 48, kTemplateIcon48), TESSARY_ENTRY(208, 48, kUndoIcon48),
    TESSARY_ENTRY(209, 48, kRedoIcon48),     TESSARY_ENTRY(210, 48, kDesignsIcon48),
    TESSARY_ENTRY(211, 48, kTextIcon48),     TESSARY_ENTRY(212, 48, kPrintIcon48),
};
#undef TESSARY_ENTRY

template <size_t N>
Blob Find(const Entry (&table)[N], int id, int size) {
  for (const Entry& e : table) {
    if (e.id == id && e.size == size) return {e.data, *e.length};
  }
  return {};
}

}  // namespace

Blob FindPngResource(int id) {
  const Blob listed = Find(kPngResources, id, 0);
  if (listed.data) return listed;
  for (uint32_t i = 0; i < embedded::kMorePngResourceCount; ++i) {
    const embedded::NumberedPng& png = embedded::kMorePngResources[i];
    if (png.id == id) return {png.data, *png.size};
  }
  return {};
}

Blob FindIconResource(int groupId, int size) { return Find(kIconResources, groupId, size); }

}  // namespace resources
