#include "imagefiles/OpenedFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace imagefiles {

OpenedFile::~OpenedFile() {
  if (fd_ >= 0) ::close(fd_);
}

engine::ImageStatus OpenedFile::Open(const std::string& path) {
  using engine::ImageStatus;
  // Non-blocking only for the open: a FIFO dropped on the window must not
  // hang the program; it is refused below as not a regular file.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return ImageStatus::Unreadable(errno);
  fd_ = fd;
  struct stat info {};
  if (::fstat(fd, &info) != 0) return ImageStatus::Unreadable(errno);
  if (!S_ISREG(info.st_mode)) return ImageStatus::Failed(engine::ImageFailure::NotAFile);
  size_ = info.st_size > 0 ? uint64_t(info.st_size) : 0;
  modifiedSeconds_ = int64_t(info.st_mtim.tv_sec);
  modifiedNanoseconds_ = int32_t(info.st_mtim.tv_nsec);
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  return ImageStatus();
}

int64_t OpenedFile::Read(uint8_t* into, size_t count, int* error) {
  size_t done = 0;
  while (done < count) {
    const ssize_t got = ::read(fd_, into + done, count - done);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      *error = errno;
      return -1;
    }
    if (got == 0) break;
    done += size_t(got);
  }
  return int64_t(done);
}

}  // namespace imagefiles
