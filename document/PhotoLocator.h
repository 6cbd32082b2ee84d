#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "document/CardState.h"
#include "document/ProjectFormat.h"
#include "engine/raster/ImageReader.h"
#include "engine/raster/Raster.h"

namespace imagefiles {
class ZipReader;
}

namespace document {

// Finding a project's photos again after they, or the project, moved.

// A photo being looked for, and what was found.
struct PhotoSearch {
  PhotoRecord record;      // what the project says
  bool found = false;
  engine::Raster photo;    // decoded, when found
  PhotoSource source;      // where it was found; the recorded one when not
  std::string entry;       // the container entry it came from, if any
  engine::ImageStatus lastFailure;  // why the last file tried did not load
};

// Looks for each photo (see ReadProject for the order): in `container`
// (may be null), at its paths, then under `baseFolder` (the project's
// folder). Searches the folder once for all that are still missing.
void LocatePhotos(std::vector<PhotoSearch>& searches, const imagefiles::ZipReader* container,
                  const std::string& baseFolder, const engine::ImageReader& reader);

// The regions whose photo was not found: a source without pixels.
std::vector<size_t> MissingPhotos(const CardState& state);

// For each of `regions`, a file directly in `folder` with its photo's name
// (ignoring case) and, when known, its size; empty where there is none.
std::vector<std::string> FindMissingInFolder(const CardState& state,
                                             const std::vector<size_t>& regions,
                                             const std::string& folder);

}  // namespace document
