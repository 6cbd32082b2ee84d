#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/card/PhotoTurn.h"

namespace document {

// How many bytes from a photo file's start its head hash covers: enough to
// tell two photos of one name and size apart, little enough to read again.
constexpr size_t kPhotoHeadBytes = 65536;

// The file a region's photo was read from. The photo's pixels are only a
// cache of it: size and time tell whether the file is still the one that
// was read. A region of a project whose photo was not found keeps its
// source and has no pixels, so that saving the project again keeps it.
struct PhotoSource {
  std::string path;  // as it was given; empty: the region has no photo
  uint64_t fileSize = 0;
  int64_t modifiedNs = 0;  // last modification, nanoseconds since 1970
  uint64_t headHash = 0;   // ContentHash of the first kPhotoHeadBytes bytes
  // How the user turned the photo, after the orientation its file records:
  // reading the file again gives the photo shown once this is applied.
  engine::TurnState turn{};

  bool Empty() const { return path.empty(); }
  bool operator==(const PhotoSource& o) const {
    return path == o.path && fileSize == o.fileSize && modifiedNs == o.modifiedNs &&
           headHash == o.headHash && turn == o.turn;
  }
  bool operator!=(const PhotoSource& o) const { return !(*this == o); }
};

}  // namespace document
