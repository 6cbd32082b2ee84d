#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace imagefiles {

// Paths for files that refer to other files (a project to its photos), all
// UTF-8 on every system.

// `path` made absolute against the current folder, with "." and ".." parts
// resolved by name; unchanged when it cannot be made.
std::string AbsolutePath(const std::string& path);

// `path` relative to `folder`, both absolute, with "/" between its parts
// whatever the system, so that it means the same after a move to another
// system; empty when there is no such path (another drive).
std::string RelativePath(const std::string& path, const std::string& folder);

// A "/"-separated relative path under `folder`, in the system's own form.
std::string UnderFolder(const std::string& folder, const std::string& relative);

// The size of the regular file at `path` (links followed); false when it is
// not one or cannot be looked at.
bool RegularFileSize(const std::string& path, uint64_t* size);

// A file sought by its name (compared without regard to ASCII case) and its
// size in bytes (0: any size).
struct WantedFile {
  std::string name;
  uint64_t size = 0;
};

// Bounds of a search, so that a project kept at the top of a large tree
// still opens at once.
struct SearchLimits {
  size_t maxEntries = 200000;  // folder entries looked at
  int maxDepth = 16;           // folders below the one searched
};

// For each wanted file, the paths of the regular files under `folder` with
// its name and size, sorted. Linked folders are not entered (no cycles);
// folders that cannot be read are passed over.
std::vector<std::vector<std::string>> FindFilesUnder(const std::string& folder,
                                                     const std::vector<WantedFile>& wanted,
                                                     const SearchLimits& limits = {});

// Lower-case ASCII letters, everything else as it is: how names are compared.
std::string FoldAsciiCase(const std::string& text);

// The names of the regular files directly in `folder`, with their last
// modification (nanoseconds since 1970, comparable with each other only).
struct FolderFile {
  std::string name;
  int64_t modified = 0;
};
std::vector<FolderFile> FilesInFolder(const std::string& folder);

// Makes `folder` and the folders above it as needed; true when it exists.
bool MakeFolders(const std::string& folder);

// Removes the file at `path`; true when it is gone (or never was).
bool RemoveFile(const std::string& path);

// Gives the file at `from` the name `to` in the same folder, replacing
// nothing: false when `to` exists or the move fails.
bool RenameFile(const std::string& from, const std::string& to);

}  // namespace imagefiles
