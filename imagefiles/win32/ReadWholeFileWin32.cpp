// ReadWholeFile on Windows: the wide-character API, so that any Unicode
// name opens.
#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <limits>
#include <new>

#include "imagefiles/ReadWholeFile.h"
#include "imagefiles/win32/WidePath.h"

namespace imagefiles {

namespace {

class FileHandle {
 public:
  explicit FileHandle(HANDLE handle) : handle_(handle) {}
  ~FileHandle() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

}  // namespace

engine::ImageStatus ReadWholeFile(const std::string& path, std::vector<uint8_t>* bytes) {
  using engine::ImageStatus;
  if (path.empty()) return ImageStatus::Unreadable(ENOENT);
  // Others may go on reading, writing, renaming or deleting the file.
  FileHandle file(CreateFileW(WidePath(path).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) {
    // A folder cannot be opened without backup semantics: it is not a file.
    const DWORD attributes = GetFileAttributesW(WidePath(path).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
      return ImageStatus::Failed(engine::ImageFailure::NotAFile);
    SetErrnoFromLastError();
    return ImageStatus::Unreadable(errno);
  }
  // Only files on a disk: a pipe or a console would block or never end.
  if (GetFileType(file.get()) != FILE_TYPE_DISK)
    return ImageStatus::Failed(engine::ImageFailure::NotAFile);
  BY_HANDLE_FILE_INFORMATION info{};
  if (!GetFileInformationByHandle(file.get(), &info)) {
    SetErrnoFromLastError();
    return ImageStatus::Unreadable(errno);
  }
  if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
    return ImageStatus::Failed(engine::ImageFailure::NotAFile);
  if (info.nFileSizeHigh != 0) return ImageStatus::Unreadable(EFBIG);  // sizes are 32-bit downstream
  const size_t size = info.nFileSizeLow;
  try {
    bytes->resize(size);
  } catch (const std::bad_alloc&) {
    return ImageStatus::Failed(engine::ImageFailure::OutOfMemory);
  }
  size_t done = 0;
  while (done < size) {
    const DWORD chunk = DWORD(std::min<size_t>(size - done, size_t(1) << 30));
    DWORD got = 0;
    if (!ReadFile(file.get(), bytes->data() + done, chunk, &got, nullptr)) {
      SetErrnoFromLastError();
      return ImageStatus::Unreadable(errno);
    }
    if (got == 0) return ImageStatus::Unreadable(0);  // the file got shorter
    done += got;
  }
  return ImageStatus();
}

}  // namespace imagefiles
