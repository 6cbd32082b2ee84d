#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "imagefiles/OutputTarget.h"
#include "imagefiles/SaveResult.h"

namespace imagefiles {

// An output file that appears under its name only when complete.
//
// A target that is a regular file, or does not exist yet, gets a new file in
// its folder: on Linux an unnamed one (O_TMPFILE) that no one can see and
// that vanishes with the process, elsewhere a hidden name (TemporaryNames.h)
// that a later save removes if its process died. Commit syncs it to disk,
// gives it a name and renames it over the target, which keeps its
// permissions and owner. Until then an existing file stays as it was, and a
// file never committed is removed when this object ends, so a failed save
// leaves neither a damaged file nor a partial one. A link is saved through:
// the file it points to is replaced and the link stays.
//
// A FIFO or a character device (a terminal, /dev/stdout) receives the bytes
// straight away, with no temporary file, and is never replaced. A folder, a
// socket or a block device is refused. A descriptor target is written
// straight through and left open.
class SafeOutputFile {
 public:
  SafeOutputFile() = default;
  ~SafeOutputFile();
  SafeOutputFile(const SafeOutputFile&) = delete;
  SafeOutputFile& operator=(const SafeOutputFile&) = delete;

  SaveResult Open(const OutputTarget& target);

  // All `count` bytes or false; after a failure every later call fails too,
  // and Failure() tells the first one.
  bool Write(const void* data, size_t count);

  // Finishes the file as described above. On failure nothing of the new
  // file is left, and the result is the first failure of the whole save.
  SaveResult Commit();

  // The first failure so far; Ok while there was none.
  const SaveResult& Failure() const { return failure_; }

  // Records a failure found outside this object (the encoder's), unless an
  // earlier one is already recorded; later writes fail.
  void Fail(const SaveResult& failure);

 private:
  enum class Mode { Closed, Unnamed, Named, Direct, Descriptor };

  SaveResult Record(const SaveResult& failure);
  SaveResult CommitReplacement();
  void Discard();

  Mode mode_ = Mode::Closed;
  std::string target_;
  std::string temp_;  // the hidden name, once the file has one
  int fd_ = -1;
  SaveResult failure_;
#ifdef _WIN32
  // The Windows implementation's own (win32/SafeOutputFileWin32.cpp).
  std::wstring targetWide_;  // links resolved
  std::wstring tempWide_;
  void* handle_ = nullptr;
#endif
};

// Test hooks, for tests only; the program never calls them.
//
// Makes the nth SafeOutputFile::Write from now on (1 = the very next one)
// fail with ENOSPC, as a full disk would; 0 switches it off. Tests cannot
// rely on permissions to make writes fail, since they may run as root.
void FailOutputWriteForTesting(uint32_t nth);

// How new files are made: Auto (unnamed where the file system can, else
// named), NamedOnly (as on a file system without unnamed files), or
// UnnamedByProcPath (unnamed, named through /proc/self/fd as an unprivileged
// process must).
enum class TemporaryFileMode { Auto, NamedOnly, UnnamedByProcPath };
void SetTemporaryFileModeForTesting(TemporaryFileMode mode);

// Called after every successful write with the bytes written so far; null
// switches it off.
void SetOutputWriteHookForTesting(void (*hook)(uint64_t bytesWritten));

}  // namespace imagefiles
