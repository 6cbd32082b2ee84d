#include "imagefiles/ReadWholeFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <limits>
#include <new>

namespace imagefiles {

namespace {

class FileHandle {
 public:
  explicit FileHandle(int fd) : fd_(fd) {}
  ~FileHandle() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

}  // namespace

engine::ImageStatus ReadWholeFile(const std::string& path, std::vector<uint8_t>* bytes) {
  using engine::ImageStatus;
  // Non-blocking only for the open: a FIFO dropped on the window must not
  // hang the program; it is refused below as not a regular file.
  FileHandle file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (file.get() < 0) return ImageStatus::Unreadable(errno);
  struct stat info {};
  if (::fstat(file.get(), &info) != 0) return ImageStatus::Unreadable(errno);
  if (!S_ISREG(info.st_mode)) return ImageStatus::Failed(engine::ImageFailure::NotAFile);
  if (info.st_size < 0 || uint64_t(info.st_size) > std::numeric_limits<uint32_t>::max()) {
    return ImageStatus::Unreadable(EFBIG);
  }
  const size_t size = size_t(info.st_size);
  const int flags = ::fcntl(file.get(), F_GETFL);
  if (flags >= 0) ::fcntl(file.get(), F_SETFL, flags & ~O_NONBLOCK);
#ifdef POSIX_FADV_SEQUENTIAL
  ::posix_fadvise(file.get(), 0, 0, POSIX_FADV_SEQUENTIAL);
#endif
  try {
    bytes->resize(size);
  } catch (const std::bad_alloc&) {
    return ImageStatus::Failed(engine::ImageFailure::OutOfMemory);
  }
  // One buffer, filled in as few calls as the system allows (Linux caps a
  // single read near 2 GiB).
  size_t done = 0;
  while (done < size) {
    const ssize_t got = ::read(file.get(), bytes->data() + done, size - done);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return ImageStatus::Unreadable(errno);
    if (got == 0) return ImageStatus::Unreadable(0);
    done += size_t(got);
  }
  return ImageStatus();
}

}  // namespace imagefiles
