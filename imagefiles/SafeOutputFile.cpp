#include "imagefiles/SafeOutputFile.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <utility>

#include "imagefiles/FileAttributes.h"
#include "imagefiles/PathNames.h"
#include "imagefiles/SaveAdvice.h"
#include "imagefiles/TemporaryNames.h"

namespace imagefiles {

namespace {

uint32_t writesUntilFailure = 0;  // see FailOutputWriteForTesting
TemporaryFileMode temporaryMode = TemporaryFileMode::Auto;
void (*writeHook)(uint64_t) = nullptr;
uint64_t bytesWritten = 0;

// The folder that holds the target's temporary twin.
std::string FolderOrHere(const std::string& path) {
  const std::string folder = FolderOf(path);
  return folder.empty() ? std::string(".") : folder;
}

// Makes the rename itself durable; a failure here only weakens the
// guarantee after a power cut, so it is not reported.
void SyncFolder(const std::string& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

// The file a link points to, which is what gets replaced; a dangling link
// is replaced like a file.
std::string ResolveLinks(const std::string& target) {
  struct stat link {};
  if (::lstat(target.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) return target;
  char* resolved = ::realpath(target.c_str(), nullptr);
  if (!resolved) return target;
  std::string path(resolved);
  std::free(resolved);
  return path;
}

SaveResult Refused(SaveError why) { return SaveResult::Failed(SaveStep::Target, why); }

// A FIFO whose reader has gone answers a write with SIGPIPE, which would
// end the whole program; the write's EPIPE is the failure to report instead.
// The signal is held back for the write and a SIGPIPE it raised is taken.
ssize_t WriteWithoutSigpipe(int fd, const void* data, size_t count) {
  sigset_t pipeOnly, previous, pending;
  sigemptyset(&pipeOnly);
  sigaddset(&pipeOnly, SIGPIPE);
  sigpending(&pending);
  const bool alreadyPending = sigismember(&pending, SIGPIPE) == 1;
  pthread_sigmask(SIG_BLOCK, &pipeOnly, &previous);
  const ssize_t written = ::write(fd, data, count);
  const int error = errno;
  if (written < 0 && error == EPIPE && !alreadyPending) {
    const timespec noWait{0, 0};
    while (sigtimedwait(&pipeOnly, nullptr, &noWait) < 0 && errno == EINTR) {
    }
  }
  pthread_sigmask(SIG_SETMASK, &previous, nullptr);
  errno = error;
  return written;
}

// A file marked read-only: no one may write it, or its owner (the user)
// took their own write permission away. Windows' read-only attribute means
// the same, and there a save leaves such a file whole too.
bool MarkedReadOnly(const struct stat& existing) {
  if ((existing.st_mode & 0222) == 0) return true;
  return existing.st_uid == ::geteuid() && (existing.st_mode & S_IWUSR) == 0;
}

// Gives the new file the owner, group, permissions and access attributes
// (ACL, user.* attributes) of the file it replaces, as overwriting in place
// would have kept them. The owner goes first: changing it may clear the
// set-id bits that chmod then restores.
SaveResult KeepOwnerAndMode(int fd, const std::string& path, const struct stat& existing) {
  struct stat created {};
  if (::fstat(fd, &created) != 0) return SaveResult::FromErrno(SaveStep::Owner, errno);
  if (created.st_uid != existing.st_uid || created.st_gid != existing.st_gid) {
    const bool ownerDiffers = created.st_uid != existing.st_uid;
    const uid_t uid = ownerDiffers ? existing.st_uid : uid_t(-1);
    const gid_t gid = created.st_gid != existing.st_gid ? existing.st_gid : gid_t(-1);
    if (::fchown(fd, uid, gid) != 0) {
      SaveResult failed = SaveResult::FromErrno(SaveStep::Owner, errno);
      if (failed.cause == std::errc::operation_not_permitted) {
        failed.advice = OwnerAdvice(existing.st_uid, existing.st_gid, ownerDiffers);
      }
      return failed;
    }
  }
  if (const int error = KeepExtendedAttributes(path, fd)) {
    return SaveResult::FromErrno(SaveStep::Owner, error);
  }
  if (::fchmod(fd, existing.st_mode & 07777) != 0) {
    return SaveResult::FromErrno(SaveStep::Owner, errno);
  }
  return SaveResult();
}

// The new file cannot be made for want of a permission on its folder.
SaveResult CannotCreate(int error, const std::string& folder, bool replacing) {
  SaveResult failed = SaveResult::FromErrno(SaveStep::Create, error);
  if (error == EACCES || error == EPERM || error == EROFS) {
    failed.advice = FolderAdvice(folder, replacing);
  }
  return failed;
}

// A new unnamed file in `folder`, or -1 with errno set. EOPNOTSUPP (the file
// system), EISDIR and EINVAL (a kernel without O_TMPFILE) mean: use a name.
int OpenUnnamed(const std::string& folder) {
  if (temporaryMode == TemporaryFileMode::NamedOnly) {
    errno = EOPNOTSUPP;
    return -1;
  }
#ifdef O_TMPFILE
  // An unnamed file is only worth making if it can be named at commit:
  // without /proc that takes a privilege most users lack.
  if (::geteuid() != 0 && ::access("/proc/self/fd", X_OK) != 0) {
    errno = EOPNOTSUPP;
    return -1;
  }
  // 0666 lets the user's umask decide, as for any new file.
  return ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
#else
  (void)folder;
  errno = EOPNOTSUPP;
  return -1;
#endif
}

bool UnnamedUnsupported(int error) {
  return error == EOPNOTSUPP || error == EISDIR || error == EINVAL;
}

// Gives the unnamed file `fd` the name `name`. AT_EMPTY_PATH needs a
// privilege most users lack; the /proc path works for everyone.
int LinkUnnamed(int fd, const std::string& name) {
#ifdef AT_EMPTY_PATH
  if (temporaryMode != TemporaryFileMode::UnnamedByProcPath &&
      ::linkat(fd, "", AT_FDCWD, name.c_str(), AT_EMPTY_PATH) == 0) {
    return 0;
  }
#endif
  const std::string self = "/proc/self/fd/" + std::to_string(fd);
  if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) return 0;
  return errno;
}

unsigned NextCounter() {
  static unsigned counter = 0;
  return ++counter;
}

}  // namespace

void FailOutputWriteForTesting(uint32_t nth) { writesUntilFailure = nth; }
void SetTemporaryFileModeForTesting(TemporaryFileMode mode) { temporaryMode = mode; }
void SetOutputWriteHookForTesting(void (*hook)(uint64_t)) { writeHook = hook; }

SafeOutputFile::~SafeOutputFile() { Discard(); }

SaveResult SafeOutputFile::Record(const SaveResult& failure) {
  if (failure_.Ok()) failure_ = failure;
  return failure_;
}

void SafeOutputFile::Fail(const SaveResult& failure) { Record(failure); }

SaveResult SafeOutputFile::Open(const OutputTarget& target) {
  Discard();
  mode_ = Mode::Closed;
  failure_ = SaveResult();
  bytesWritten = 0;
  if (target.descriptor >= 0) {
    fd_ = target.descriptor;
    mode_ = Mode::Descriptor;
    return failure_;
  }
  const std::string& path = target.path;
  if (path.empty()) return Record(SaveResult::FromErrno(SaveStep::Target, ENOENT));
  if (path.back() == '/') return Record(Refused(SaveError::IsFolder));

  // What the name stands for once links are followed decides how to write.
  struct stat existing {};
  const bool exists = ::stat(path.c_str(), &existing) == 0;
  if (!exists && errno != ENOENT) return Record(SaveResult::FromErrno(SaveStep::Target, errno));
  if (exists && !S_ISREG(existing.st_mode)) {
    if (S_ISDIR(existing.st_mode)) return Record(Refused(SaveError::IsFolder));
    if (S_ISSOCK(existing.st_mode)) return Record(Refused(SaveError::IsSocket));
    if (S_ISBLK(existing.st_mode)) return Record(Refused(SaveError::IsBlockDevice));
    if (!S_ISFIFO(existing.st_mode) && !S_ISCHR(existing.st_mode)) {
      return Record(Refused(SaveError::NotAFile));
    }
    // Nothing to replace and nothing to keep complete: the reader takes the
    // bytes as they come. Opening a FIFO waits for its reader, unless the
    // caller may not wait: without one the open then fails with ENXIO.
    const bool noWait = S_ISFIFO(existing.st_mode) && !target.waitForReader;
    const int fd = ::open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC | (noWait ? O_NONBLOCK : 0));
    if (fd < 0 && noWait && errno == ENXIO) {
      return Record(SaveResult::Failed(SaveStep::Create, SaveError::NoReader));
    }
    if (fd < 0) return Record(SaveResult::FromErrno(SaveStep::Create, errno));
    if (noWait) {
      // The reader is there; from now on writes wait for it as usual.
      const int flags = ::fcntl(fd, F_GETFL);
      if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    }
    fd_ = fd;
    mode_ = Mode::Direct;
    return failure_;
  }

  if (exists && MarkedReadOnly(existing)) return Record(Refused(SaveError::ReadOnly));

  target_ = ResolveLinks(path);
  const std::string folder = FolderOrHere(target_);
  RemoveAbandonedTemporaries(folder);
  int fd = OpenUnnamed(folder);
  if (fd >= 0) {
    mode_ = Mode::Unnamed;
  } else if (!UnnamedUnsupported(errno)) {
    return Record(CannotCreate(errno, folder, exists));
  } else {
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
      std::string name = folder + "/" + TemporaryName(NextCounter());
      fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
      if (fd >= 0) {
        temp_ = std::move(name);
      } else if (errno != EEXIST) {
        return Record(CannotCreate(errno, folder, exists));
      }
    }
    if (fd < 0) return Record(SaveResult::FromErrno(SaveStep::Create, EEXIST));
    mode_ = Mode::Named;
  }
  fd_ = fd;
  if (exists) {
    const SaveResult kept = KeepOwnerAndMode(fd_, target_, existing);
    if (!kept) {
      Record(kept);
      Discard();
      return failure_;
    }
  }
  return failure_;
}

bool SafeOutputFile::Write(const void* data, size_t count) {
  if (fd_ < 0 || !failure_.Ok()) return false;
  if (writesUntilFailure != 0 && --writesUntilFailure == 0) {
    Record(SaveResult::FromErrno(SaveStep::Write, ENOSPC));
    return false;
  }
  const bool mayRaiseSigpipe = mode_ == Mode::Direct || mode_ == Mode::Descriptor;
  const auto* bytes = static_cast<const uint8_t*>(data);
  while (count > 0) {
    const ssize_t written =
        mayRaiseSigpipe ? WriteWithoutSigpipe(fd_, bytes, count) : ::write(fd_, bytes, count);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      // A write that takes nothing and says nothing: the device is full.
      Record(SaveResult::FromErrno(SaveStep::Write, written < 0 ? errno : ENOSPC));
      return false;
    }
    bytes += written;
    count -= size_t(written);
    bytesWritten += uint64_t(written);
  }
  if (writeHook != nullptr) writeHook(bytesWritten);
  return true;
}

SaveResult SafeOutputFile::CommitReplacement() {
  if (::fsync(fd_) != 0) return Record(SaveResult::FromErrno(SaveStep::Finish, errno));
  if (mode_ == Mode::Unnamed) {
    // The complete file gets a hidden name for the moment of the rename:
    // rename is what replaces a file in one step, and it needs a name.
    for (int attempt = 0; attempt < 100 && temp_.empty(); ++attempt) {
      std::string name = FolderOrHere(target_) + "/" + TemporaryName(NextCounter());
      const int error = LinkUnnamed(fd_, name);
      if (error == 0) {
        temp_ = std::move(name);
      } else if (error != EEXIST) {
        return Record(SaveResult::FromErrno(SaveStep::Finish, error));
      }
    }
    if (temp_.empty()) return Record(SaveResult::FromErrno(SaveStep::Finish, EEXIST));
  }
  const int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0) return Record(SaveResult::FromErrno(SaveStep::Finish, errno));
  if (std::rename(temp_.c_str(), target_.c_str()) != 0) {
    return Record(SaveResult::FromErrno(SaveStep::Finish, errno));
  }
  temp_.clear();
  SyncFolder(FolderOrHere(target_));
  return failure_;
}

SaveResult SafeOutputFile::Commit() {
  if (fd_ < 0 && failure_.Ok()) Record(SaveResult::FromErrno(SaveStep::Finish, EBADF));
  if (failure_.Ok()) {
    switch (mode_) {
      case Mode::Descriptor:
        fd_ = -1;  // the caller's to close
        break;
      case Mode::Direct: {
        const int fd = fd_;
        fd_ = -1;
        if (::close(fd) != 0) Record(SaveResult::FromErrno(SaveStep::Finish, errno));
        break;
      }
      case Mode::Unnamed:
      case Mode::Named:
        CommitReplacement();
        break;
      case Mode::Closed:
        break;
    }
  }
  const SaveResult result = failure_;
  Discard();
  mode_ = Mode::Closed;
  return result;
}

void SafeOutputFile::Discard() {
  if (fd_ >= 0 && mode_ != Mode::Descriptor) ::close(fd_);
  fd_ = -1;
  if (!temp_.empty()) {
    ::unlink(temp_.c_str());
    temp_.clear();
  }
}

}  // namespace imagefiles
