#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "imagefiles/OutputTarget.h"
#include "imagefiles/SaveResult.h"

namespace imagefiles {

// Why a zip container, or an entry of it, was refused.
enum class ZipStatus {
  Ok,
  NotZip,              // no zip directory at the end of the bytes
  Damaged,             // the directory or an entry's data does not add up
  UnsafeName,          // an entry name that is absolute, climbs out (..) or holds odd characters
  DuplicateName,       // two entries of one name
  TooManyEntries,
  Encrypted,
  UnknownCompression,  // neither stored nor deflated
  TooLarge,            // an entry larger than its caller takes, declared or found on reading
  NoSuchEntry,
  OutOfMemory,
};

// A short English phrase: "holds an entry whose name leads outside it".
const char* ZipStatusText(ZipStatus status);

// True for an entry name this program writes and reads: relative, parts
// separated by "/", none empty, "." or "..", no backslash, colon or control
// character, at most 255 bytes.
bool IsSafeEntryName(const std::string& name);

// A zip container held in memory, read one entry at a time. The whole
// directory is checked when it is opened: every name safe and unique, no
// more than kMaxEntries entries, nothing encrypted, only stored or deflated
// data. An entry is read only up to the size its caller allows, whatever
// its header claims, so a small file that inflates to gigabytes costs no
// more than that size.
class ZipReader {
 public:
  static constexpr size_t kMaxEntries = 4096;

  ZipReader();
  ~ZipReader();
  ZipReader(const ZipReader&) = delete;
  ZipReader& operator=(const ZipReader&) = delete;

  // Takes the container's bytes; on failure the reader holds nothing.
  ZipStatus Open(std::vector<uint8_t> bytes);

  // Entry names in the container's order.
  const std::vector<std::string>& Names() const { return names_; }
  bool Has(const std::string& name) const;

  // The whole entry `name` into `out`; TooLarge when it holds more than
  // `maxBytes`. `out` is unspecified on failure.
  ZipStatus Read(const std::string& name, size_t maxBytes, std::vector<uint8_t>* out) const;

 private:
  struct State;
  std::unique_ptr<State> state_;
  std::vector<std::string> names_;
};

// One entry to write: its name (IsSafeEntryName) and bytes, which must
// stay alive until WriteZip returns. Deflated or stored as they are (a
// picture is compressed already).
struct ZipEntry {
  std::string name;
  const uint8_t* data = nullptr;
  size_t size = 0;
  bool deflate = true;
};

// Makes a zip container of the entries, in their order, in memory.
// SaveStep::Encode with the reason when it cannot be made.
SaveResult MakeZip(const std::vector<ZipEntry>& entries, std::vector<uint8_t>* out);

// MakeZip, then the bytes written to `target` through SafeOutputFile: a file
// is replaced only once the new one is complete.
SaveResult WriteZip(const OutputTarget& target, const std::vector<ZipEntry>& entries);

}  // namespace imagefiles
