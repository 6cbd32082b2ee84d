// OpenedFile on Windows: the wide-character API, so that any Unicode name
// opens.
#include <windows.h>

#include <algorithm>
#include <cerrno>

#include "imagefiles/OpenedFile.h"
#include "imagefiles/win32/WidePath.h"

namespace imagefiles {

OpenedFile::~OpenedFile() {
  if (handle_ != nullptr) CloseHandle(static_cast<HANDLE>(handle_));
}

engine::ImageStatus OpenedFile::Open(const std::string& path) {
  using engine::ImageStatus;
  if (path.empty()) return ImageStatus::Unreadable(ENOENT);
  // Others may go on reading, writing, renaming or deleting the file.
  const HANDLE file = CreateFileW(WidePath(path).c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    // A folder cannot be opened without backup semantics: it is not a file.
    const DWORD attributes = GetFileAttributesW(WidePath(path).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
      return ImageStatus::Failed(engine::ImageFailure::NotAFile);
    SetErrnoFromLastError();
    return ImageStatus::Unreadable(errno);
  }
  handle_ = file;
  // Only files on a disk: a pipe or a console would block or never end.
  if (GetFileType(file) != FILE_TYPE_DISK)
    return ImageStatus::Failed(engine::ImageFailure::NotAFile);
  BY_HANDLE_FILE_INFORMATION info{};
  if (!GetFileInformationByHandle(file, &info)) {
    SetErrnoFromLastError();
    return ImageStatus::Unreadable(errno);
  }
  if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
    return ImageStatus::Failed(engine::ImageFailure::NotAFile);
  size_ = uint64_t(info.nFileSizeHigh) << 32 | info.nFileSizeLow;
  // 100 ns steps since 1601, as seconds and nanoseconds since 1970.
  const uint64_t ticks = uint64_t(info.ftLastWriteTime.dwHighDateTime) << 32 |
                         info.ftLastWriteTime.dwLowDateTime;
  modifiedSeconds_ = int64_t(ticks / 10'000'000) - 11'644'473'600LL;
  modifiedNanoseconds_ = int32_t(ticks % 10'000'000) * 100;
  return ImageStatus();
}

int64_t OpenedFile::Read(uint8_t* into, size_t count, int* error) {
  size_t done = 0;
  while (done < count) {
    const DWORD chunk = DWORD(std::min<size_t>(count - done, size_t(1) << 30));
    DWORD got = 0;
    if (!ReadFile(static_cast<HANDLE>(handle_), into + done, chunk, &got, nullptr)) {
      SetErrnoFromLastError();
      *error = errno;
      return -1;
    }
    if (got == 0) break;
    done += got;
  }
  return int64_t(done);
}

}  // namespace imagefiles
