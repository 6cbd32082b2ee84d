#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/raster/ImageStatus.h"

namespace imagefiles {

// A regular file opened for reading, read from the start in pieces the
// caller chooses. Other programs may keep reading and writing the file.
// POSIX here, the wide-character API on Windows (win32/OpenedFileWin32.cpp).
class OpenedFile {
 public:
  OpenedFile() = default;
  ~OpenedFile();
  OpenedFile(const OpenedFile&) = delete;
  OpenedFile& operator=(const OpenedFile&) = delete;

  // Opens `path` (UTF-8) without waiting on a FIFO or a device. Fails as
  // NotAFile for anything but a regular file and as Unreadable with the
  // errno of the call that failed.
  engine::ImageStatus Open(const std::string& path);

  // Up to `count` bytes into `into`, fewer only at the end of the file:
  // the number read, or -1 with `*error` set to the errno.
  int64_t Read(uint8_t* into, size_t count, int* error);

  // The file's length and modification time when it was opened.
  uint64_t Size() const { return size_; }
  int64_t ModifiedSeconds() const { return modifiedSeconds_; }
  int32_t ModifiedNanoseconds() const { return modifiedNanoseconds_; }

 private:
  uint64_t size_ = 0;
  int64_t modifiedSeconds_ = 0;
  int32_t modifiedNanoseconds_ = 0;
#ifdef _WIN32
  void* handle_ = nullptr;
#else
  int fd_ = -1;
#endif
};

}  // namespace imagefiles
