#include "document/PhotoLocator.h"

#include <cerrno>
#include <new>
#include <utility>

#include "document/PhotoFile.h"
#include "document/ProjectFile.h"
#include "imagefiles/FilePaths.h"
#include "imagefiles/ZipContainer.h"

namespace document {

namespace {

// True when bytes of this size and head hash are what the record describes
// (a record that does not say matches anything).
bool Matches(const PhotoRecord& record, uint64_t size, uint64_t headHash) {
  return (record.size == 0 || record.size == size) &&
         (record.headHash == 0 || record.headHash == headHash);
}

// Reads and decodes the file at `path` into the search; with `exact` only
// when it is the very file the record describes.
bool TryFile(PhotoSearch& search, const std::string& path, bool exact,
             const engine::ImageReader& reader) {
  if (path.empty()) return false;
  uint64_t size = 0;
  if (!imagefiles::RegularFileSize(path, &size)) return false;
  if (exact && search.record.size != 0 && size != search.record.size) return false;
  std::vector<uint8_t> bytes;
  engine::FileStamp stamp;
  engine::ImageStatus status;
  try {
    status = reader.ReadFile(path, &bytes, &stamp);
  } catch (const std::bad_alloc&) {
    status = engine::ImageStatus::Failed(engine::ImageFailure::OutOfMemory);
  }
  if (!status) {
    search.lastFailure = status;
    return false;
  }
  if (exact && !Matches(search.record, bytes.size(), PhotoHeadHash(bytes.data(), bytes.size())))
    return false;
  status = DecodePhotoBytes(bytes, path, stamp, reader, &search.photo, &search.source);
  if (!status) {
    search.lastFailure = status;
    return false;
  }
  search.found = true;
  return true;
}

bool TryEntry(PhotoSearch& search, const imagefiles::ZipReader& container,
              const engine::ImageReader& reader) {
  const std::string& entry = search.record.entry;
  if (entry.empty() || !container.Has(entry)) return false;
  std::vector<uint8_t> bytes;
  if (container.Read(entry, kMaxPhotoEntryBytes, &bytes) != imagefiles::ZipStatus::Ok)
    return false;
  engine::FileStamp stamp;
  stamp.size = bytes.size();
  // The copy stands for the file it was made from.
  const engine::ImageStatus status =
      DecodePhotoBytes(bytes, search.record.path, stamp, reader, &search.photo, &search.source);
  if (!status) {
    search.lastFailure = status;
    return false;
  }
  search.found = true;
  search.entry = entry;
  return true;
}

// The file's name in a path written on either system.
std::string BaseName(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string RelativeCandidate(const PhotoRecord& record, const std::string& baseFolder) {
  if (record.relativePath.empty() || baseFolder.empty()) return std::string();
  return imagefiles::UnderFolder(baseFolder, record.relativePath);
}

}  // namespace

void LocatePhotos(std::vector<PhotoSearch>& searches, const imagefiles::ZipReader* container,
                  const std::string& baseFolder, const engine::ImageReader& reader) {
  // The copy carried in the project, then the very file at either path.
  std::vector<size_t> open;
  for (size_t i = 0; i < searches.size(); ++i) {
    PhotoSearch& search = searches[i];
    search.source = PhotoSource{search.record.path, search.record.size, 0,
                                search.record.headHash};
    if ((container && TryEntry(search, *container, reader)) ||
        TryFile(search, search.record.path, true, reader) ||
        TryFile(search, RelativeCandidate(search.record, baseFolder), true, reader))
      continue;
    open.push_back(i);
  }
  if (open.empty()) return;

  // One walk of the project's folder for every photo still missing; a
  // file whose first bytes match wins over one that only shares name and
  // size.
  std::vector<imagefiles::WantedFile> wanted;
  for (const size_t i : open) {
    const PhotoRecord& record = searches[i].record;
    // A record without a size would match any file of that name.
    wanted.push_back(imagefiles::WantedFile{BaseName(record.path),
                                            record.size == 0 ? uint64_t(-1) : record.size});
  }
  const std::vector<std::vector<std::string>> candidates =
      imagefiles::FindFilesUnder(baseFolder, wanted);
  for (size_t k = 0; k < open.size(); ++k) {
    PhotoSearch& search = searches[open[k]];
    for (const std::string& path : candidates[k])
      if (TryFile(search, path, true, reader)) break;
    if (search.found) continue;
    for (const std::string& path : candidates[k])
      if (TryFile(search, path, false, reader)) break;
    if (search.found) continue;
    // Last, a file at either path that changed since (edited in place).
    if (!TryFile(search, search.record.path, false, reader))
      TryFile(search, RelativeCandidate(search.record, baseFolder), false, reader);
    if (!search.found)
      search.source = PhotoSource{search.record.path, search.record.size, 0,
                                  search.record.headHash};
  }
}

std::vector<size_t> MissingPhotos(const CardState& state) {
  std::vector<size_t> missing;
  for (size_t i = 0; i < state.photos.size() && i < state.card.slots.size(); ++i)
    if (!state.photos[i].Empty() && !state.card.slots[i].HasPhoto()) missing.push_back(i);
  return missing;
}

std::vector<std::string> FindMissingInFolder(const CardState& state,
                                             const std::vector<size_t>& regions,
                                             const std::string& folder) {
  std::vector<imagefiles::WantedFile> wanted;
  for (const size_t i : regions) {
    const PhotoSource& source = state.photos.at(i);
    wanted.push_back(imagefiles::WantedFile{BaseName(source.path), source.fileSize});
  }
  imagefiles::SearchLimits here;
  here.maxDepth = 0;
  const std::vector<std::vector<std::string>> found =
      imagefiles::FindFilesUnder(folder, wanted, here);
  std::vector<std::string> paths;
  for (const std::vector<std::string>& each : found)
    paths.push_back(each.empty() ? std::string() : each.front());
  return paths;
}

}  // namespace document
