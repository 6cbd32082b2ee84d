#include "app/Icons.h"

#include "resources/BuiltInImages.h"

namespace app {

engine::Raster LoadIconImage(const engine::ImageReader& reader, int groupId, int size) {
  static constexpr int kSizes[] = {16, 24, 32, 48, 256};  // what a group may hold
  resources::Blob blob = resources::FindIconResource(groupId, size);
  for (int s : kSizes) {
    if (blob.size) break;
    if (s > size) blob = resources::FindIconResource(groupId, s);
  }
  for (int i = int(sizeof(kSizes) / sizeof(kSizes[0])) - 1; i >= 0 && !blob.size; --i)
    blob = resources::FindIconResource(groupId, kSizes[i]);
  engine::Raster image;
  if (blob.size && reader.Decode(blob.data, blob.size, true, &image)) return image;
  return engine::Raster();
}

}  // namespace app
