#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace imagefiles {

// An output file that appears under its name only when complete. Bytes go
// to a temporary file in the target's folder; Commit flushes it to disk and
// renames it over the target. Until then an existing file of that name stays
// as it was, and a file never committed is removed when this object ends, so
// a failed save leaves neither a damaged file nor a partial one.
class SafeOutputFile {
 public:
  SafeOutputFile() = default;
  ~SafeOutputFile();
  SafeOutputFile(const SafeOutputFile&) = delete;
  SafeOutputFile& operator=(const SafeOutputFile&) = delete;

  // Creates the temporary file beside `target` (a UTF-8 path). False when the
  // folder does not exist or cannot be written.
  bool Open(const std::string& target);

  // All `count` bytes or false; after a failure every later call fails too.
  bool Write(const void* data, size_t count);

  // Flushes, syncs, closes and renames over the target. False on any
  // failure, and the temporary file is gone.
  bool Commit();

 private:
  void Discard();

  std::string target_;
  std::string temp_;
  int fd_ = -1;
  bool failed_ = false;
};

// Test hook, for tests only: makes the nth SafeOutputFile::Write from now on
// (1 = the very next one) fail as a full disk would; 0 switches it off. The
// program never calls it. Tests cannot rely on permissions to make writes
// fail, since they may run as root.
void FailOutputWriteForTesting(uint32_t nth);

}  // namespace imagefiles
