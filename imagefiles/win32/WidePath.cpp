#include "imagefiles/win32/WidePath.h"

#include <windows.h>

#include <cerrno>
#include <climits>
#include <string>

namespace imagefiles {

namespace {

std::wstring Widen(const std::string& utf8) {
  if (utf8.empty() || utf8.size() > size_t(INT_MAX)) return std::wstring();
  const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
  std::wstring wide(size_t(length > 0 ? length : 0), L'\0');
  if (length > 0)
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), wide.data(), length);
  return wide;
}

bool StartsWith(const std::wstring& s, const wchar_t* prefix) {
  return s.compare(0, std::char_traits<wchar_t>::length(prefix), prefix) == 0;
}

}  // namespace

std::wstring WidePath(const std::string& utf8) {
  std::wstring path = Widen(utf8);
  // Short paths as they are: the system resolves "..", "/" and relative
  // names itself. Past MAX_PATH only the \\?\ form is safe, and it takes
  // the full, normalised path with backslashes.
  if (path.size() < MAX_PATH - 12 || StartsWith(path, L"\\\\?\\")) return path;
  const DWORD length = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (length == 0) return path;
  std::wstring full(length, L'\0');
  const DWORD written = GetFullPathNameW(path.c_str(), length, full.data(), nullptr);
  if (written == 0 || written >= length) return path;
  full.resize(written);
  if (StartsWith(full, L"\\\\")) return L"\\\\?\\UNC\\" + full.substr(2);
  return L"\\\\?\\" + full;
}

void SetErrnoFromLastError() {
  switch (GetLastError()) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE: errno = ENOENT; break;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT: errno = EACCES; break;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: errno = ENOSPC; break;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: errno = EEXIST; break;
    case ERROR_DIRECTORY: errno = ENOTDIR; break;
    case ERROR_FILENAME_EXCED_RANGE: errno = ENAMETOOLONG; break;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY: errno = ENOMEM; break;
    default: errno = EIO; break;
  }
}

}  // namespace imagefiles
