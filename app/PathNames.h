#pragma once

#include <string>

namespace app {

// What ends a folder's name in a path: "/", and on Windows "\" as well.
#ifdef _WIN32
inline constexpr char kFolderSeparators[] = "/\\";
#else
inline constexpr char kFolderSeparators[] = "/";
#endif

// The last part of a path, as messages name a file.
inline std::string FileNameOf(const std::string& path) {
  const size_t slash = path.find_last_of(kFolderSeparators);
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The folder a path is in; empty when it names none. The root keeps its
// separator: "/", "C:\".
inline std::string FolderOf(const std::string& path) {
  const size_t slash = path.find_last_of(kFolderSeparators);
  if (slash == std::string::npos) return std::string();
  const bool root = slash == 0 || path[slash - 1] == ':';
  return path.substr(0, root ? slash + 1 : slash);
}

}  // namespace app
