#include "interaction/FileDropper.h"

#include "interaction/HitTestSlot.h"
#include "interaction/LayoutFileName.h"
#include "platform/Platform.h"

namespace interaction {

namespace {

// A layout or a project goes anywhere on the window.
bool HoldsLayout(const platform::FileDrag& drag) {
  for (const std::string& path : drag.paths)
    if (IsConsideredFileName(path) && (IsLayoutFileName(path) || IsProjectFileName(path)))
      return true;
  return false;
}

}  // namespace

bool FileDropper::Accepts(const platform::FileDrag& drag) const {
  if (!drag.copyAllowed) return false;
  return HoldsLayout(drag) ||
         HitTestSlot(host_.Card(), host_.CardRect(), drag.point.x, drag.point.y) != -1;
}

FileDropper::Target FileDropper::TargetOf(const platform::FileDrag& drag) const {
  if (!Accepts(drag)) return Target{};
  const int32_t slot = HitTestSlot(host_.Card(), host_.CardRect(), drag.point.x, drag.point.y);
  // Over no region only a layout can come of it (Accepts saw one).
  if (slot == -1) return Target{Target::Kind::Layout, -1};
  for (const std::string& path : drag.paths)
    if (IsConsideredFileName(path))
      return IsLayoutFileName(path) ? Target{Target::Kind::Layout, -1}
                                    : Target{Target::Kind::Photo, slot};
  return Target{Target::Kind::Photo, slot};
}

void FileDropper::Drop(const platform::FileDrag& drag) {
  // The region under the drop point receives the photos of the whole drop.
  const int32_t slot = HitTestSlot(host_.Card(), host_.CardRect(), drag.point.x, drag.point.y);
  if (drag.paths.empty()) return;
  if (!HoldsLayout(drag)) {
    // Photos only: the region under the drop, then the empty ones.
    std::vector<std::string> photos;
    for (const std::string& path : drag.paths)
      if (IsConsideredFileName(path)) photos.push_back(path);
    if (slot != -1 && !photos.empty()) host_.PlacePhotos(slot, photos);
    return;
  }
  // A photo that fails is told about only when nothing in the drop worked,
  // and then only the first: the others most likely fail for the same reason.
  std::string failedPath;
  engine::ImageStatus failed;
  {
    platform::BusyCursor busy(host_.HostWindow());
    for (const std::string& path : drag.paths) {
      if (!IsConsideredFileName(path)) continue;
      if (IsProjectFileName(path)) {
        if (host_.OpenProject(path)) return;
        continue;  // reported, or kept the card the user did not want to lose
      }
      if (IsLayoutFileName(path)) {
        if (host_.LoadLayout(path)) return;
        continue;  // reported; the next file may still be good
      }
      if (slot == -1) continue;
      const engine::ImageStatus status = host_.LoadPhoto(slot, path);
      if (status) return;
      if (failedPath.empty()) failedPath = path, failed = status;
    }
  }
  if (!failedPath.empty()) host_.ReportPhotoFailure(failedPath, failed);
}

}  // namespace interaction
