#include "imagefiles/ExistingFile.h"

#ifdef _WIN32
#include <windows.h>

#include "imagefiles/win32/WidePath.h"
#else
#include <sys/stat.h>
#endif

namespace imagefiles {

bool IsExistingRegularFile(const std::string& path) {
#ifdef _WIN32
  const DWORD attributes = GetFileAttributesW(WidePath(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY) &&
         !(attributes & FILE_ATTRIBUTE_DEVICE);
#else
  struct stat info;
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
#endif
}

bool IsEmptyRegularFile(const std::string& path) {
#ifdef _WIN32
  WIN32_FILE_ATTRIBUTE_DATA data{};
  return GetFileAttributesExW(WidePath(path).c_str(), GetFileExInfoStandard, &data) &&
         !(data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) &&
         data.nFileSizeHigh == 0 && data.nFileSizeLow == 0;
#else
  struct stat info;
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && info.st_size == 0;
#endif
}

}  // namespace imagefiles
