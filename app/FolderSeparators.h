#pragma once

namespace app {

// What ends a folder's name in a path: "/", and on Windows "\" as well.
#ifdef _WIN32
inline constexpr char kFolderSeparators[] = "/\\";
#else
inline constexpr char kFolderSeparators[] = "/";
#endif

}  // namespace app
