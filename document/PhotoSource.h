#pragma once

#include <cstdint>
#include <string>

#include "engine/card/PhotoTurn.h"

namespace document {

// The file a region's photo was read from. The photo's pixels are only a
// cache of it: size and time tell whether the file is still the one that
// was read.
struct PhotoSource {
  std::string path;  // as it was given; empty: the region has no photo
  uint64_t fileSize = 0;
  int64_t modifiedNs = 0;  // last modification, nanoseconds since 1970
  // How the user turned the photo, after the orientation its file records:
  // reading the file again gives the photo shown once this is applied.
  engine::TurnState turn;

  bool Empty() const { return path.empty(); }
  bool operator==(const PhotoSource& o) const {
    return path == o.path && fileSize == o.fileSize && modifiedNs == o.modifiedNs &&
           turn == o.turn;
  }
  bool operator!=(const PhotoSource& o) const { return !(*this == o); }
};

}  // namespace document
