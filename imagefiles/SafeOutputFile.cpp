#include "imagefiles/SafeOutputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>

namespace imagefiles {

namespace {

uint32_t writesUntilFailure = 0;  // see FailOutputWriteForTesting

std::string FolderOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// Makes the rename itself durable; a failure here only weakens the
// guarantee after a power cut, so it is not reported.
void SyncFolder(const std::string& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

// A link is saved through, as writing into it would: the file it points to
// is replaced, in that file's folder, and the link stays a link.
std::string ResolveLinks(const std::string& target) {
  struct stat link {};
  if (::lstat(target.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) return target;
  char* resolved = ::realpath(target.c_str(), nullptr);
  if (!resolved) return target;  // a dangling link: replaced like a file
  std::string path(resolved);
  std::free(resolved);
  return path;
}

}  // namespace

void FailOutputWriteForTesting(uint32_t nth) { writesUntilFailure = nth; }

SafeOutputFile::~SafeOutputFile() { Discard(); }

bool SafeOutputFile::Open(const std::string& requested) {
  Discard();
  if (requested.empty() || requested.back() == '/') return false;
  const std::string target = ResolveLinks(requested);
  target_ = target;
  failed_ = false;
  // A short hidden name beside the target: the target's own name plus a
  // suffix could pass the file system's 255-byte limit on long names.
  const std::string folder = FolderOf(target);
  static unsigned counter = 0;
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = folder + "/.tessary-" + std::to_string(::getpid()) + "-" +
                       std::to_string(++counter) + ".tmp";
    // 0666 lets the user's umask decide, as for any new file.
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      // A replaced file keeps its permissions, as it would if overwritten
      // in place.
      struct stat existing {};
      if (::stat(target.c_str(), &existing) == 0 && S_ISREG(existing.st_mode)) {
        ::fchmod(fd, existing.st_mode & 07777);
      }
      fd_ = fd;
      temp_ = std::move(name);
      return true;
    }
    if (errno != EEXIST) return false;
  }
  return false;
}

bool SafeOutputFile::Write(const void* data, size_t count) {
  if (fd_ < 0 || failed_) return false;
  if (writesUntilFailure != 0 && --writesUntilFailure == 0) {
    failed_ = true;
    return false;
  }
  const auto* bytes = static_cast<const uint8_t*>(data);
  while (count > 0) {
    const ssize_t written = ::write(fd_, bytes, count);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      failed_ = true;
      return false;
    }
    bytes += written;
    count -= size_t(written);
  }
  return true;
}

bool SafeOutputFile::Commit() {
  if (fd_ < 0 || failed_) {
    Discard();
    return false;
  }
  const bool synced = ::fsync(fd_) == 0;
  const bool closed = ::close(fd_) == 0;
  fd_ = -1;
  if (!synced || !closed || std::rename(temp_.c_str(), target_.c_str()) != 0) {
    Discard();
    return false;
  }
  temp_.clear();
  SyncFolder(FolderOf(target_));
  return true;
}

void SafeOutputFile::Discard() {
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
  }
  if (!temp_.empty()) {
    ::unlink(temp_.c_str());
    temp_.clear();
  }
}

}  // namespace imagefiles
