#include "app/Icons.h"

#include "resources/BuiltInImages.h"

namespace app {

engine::Raster LoadIconImage(const engine::ImageReader& reader, int groupId, int size) {
  static constexpr int kSizes[] = {16, 24, 32, 48, 256};  // what a group may hold
  // The smallest image at least as large as asked for, else the largest there is.
  resources::Blob blob;
  for (int s : kSizes) {
    const resources::Blob found = resources::FindIconResource(groupId, s);
    if (!found.size) continue;
    blob = found;
    if (s >= size) break;
  }
  engine::Raster image;
  if (blob.size && reader.Decode(blob.data, blob.size, true, &image)) return image;
  return engine::Raster();
}

}  // namespace app
