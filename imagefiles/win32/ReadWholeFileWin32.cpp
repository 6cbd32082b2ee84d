// ReadWholeFile on Windows: the wide-character API, so that any Unicode
// name opens.
#include <windows.h>

#include <algorithm>
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

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>* bytes) {
  if (path.empty()) return false;
  // Others may go on reading, writing, renaming or deleting the file.
  FileHandle file(CreateFileW(WidePath(path).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) return false;
  // Only files on a disk: a pipe or a console would block or never end.
  if (GetFileType(file.get()) != FILE_TYPE_DISK) return false;
  BY_HANDLE_FILE_INFORMATION info{};
  if (!GetFileInformationByHandle(file.get(), &info) ||
      (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || info.nFileSizeHigh != 0) {
    return false;  // sizes are 32-bit downstream
  }
  const size_t size = info.nFileSizeLow;
  try {
    bytes->resize(size);
  } catch (const std::bad_alloc&) {
    return false;
  }
  size_t done = 0;
  while (done < size) {
    const DWORD chunk = DWORD(std::min<size_t>(size - done, size_t(1) << 30));
    DWORD got = 0;
    if (!ReadFile(file.get(), bytes->data() + done, chunk, &got, nullptr) || got == 0) return false;
    done += got;
  }
  return true;
}

}  // namespace imagefiles
