#pragma once

#include <cstddef>
#include <string>

namespace imagefiles {

// Paths are split in one place, for narrow (UTF-8) and wide (Windows)
// names alike. A folder ends at "/", and on Windows also at "\" and at a
// drive's ":" ("C:name" lies in drive C's current folder).
template <typename String>
size_t NameStart(const String& path) {
  for (size_t i = path.size(); i > 0; --i) {
    const auto c = path[i - 1];
    if (c == '/') return i;
#ifdef _WIN32
    if (c == '\\' || (c == ':' && i == 2)) return i;
#endif
  }
  return 0;
}

// The last part of a path, as messages name a file.
inline std::string FileNameOf(const std::string& path) { return path.substr(NameStart(path)); }

// The folder a path is in; empty when it names none. A root keeps its
// separator ("/", "C:\"), and a drive's current folder is "C:".
template <typename String>
String FolderOf(const String& path) {
  const size_t start = NameStart(path);
  if (start == 0) return String();
  const auto last = path[start - 1];
  const bool root = start == 1 || last == ':' || path[start - 2] == ':';
  return path.substr(0, root ? start : start - 1);
}

}  // namespace imagefiles
