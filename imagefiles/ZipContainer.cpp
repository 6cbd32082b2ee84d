#include "imagefiles/ZipContainer.h"

#include <zip.h>

#include <algorithm>
#include <new>
#include <system_error>
#include <unordered_set>

#include "imagefiles/SafeOutputFile.h"

namespace imagefiles {

namespace {

constexpr size_t kMaxNameBytes = 255;

SaveResult EncodeFailure(std::errc why) {
  return SaveResult::Failed(SaveStep::Encode, std::make_error_code(why));
}

// A zip_t and the buffer source under it, released together.
struct ZipHandle {
  zip_t* archive = nullptr;
  ~ZipHandle() {
    if (archive != nullptr) zip_discard(archive);
  }
};

}  // namespace

const char* ZipStatusText(ZipStatus status) {
  switch (status) {
    case ZipStatus::Ok:
      return "is a sound container";
    case ZipStatus::NotZip:
      return "is not a project file (not a zip container)";
    case ZipStatus::Damaged:
      return "is damaged: its contents do not add up";
    case ZipStatus::UnsafeName:
      return "holds an entry whose name leads outside the project";
    case ZipStatus::DuplicateName:
      return "holds two entries of the same name";
    case ZipStatus::TooManyEntries:
      return "holds too many entries";
    case ZipStatus::Encrypted:
      return "holds encrypted entries";
    case ZipStatus::UnknownCompression:
      return "uses a compression the program does not read";
    case ZipStatus::TooLarge:
      return "holds an entry too large to read";
    case ZipStatus::NoSuchEntry:
      return "lacks a part a project needs";
    case ZipStatus::OutOfMemory:
      return "is too large to hold in memory";
  }
  return "cannot be read";
}

bool IsSafeEntryName(const std::string& name) {
  if (name.empty() || name.size() > kMaxNameBytes) return false;
  size_t start = 0;
  for (;;) {
    const size_t slash = name.find('/', start);
    const size_t end = slash == std::string::npos ? name.size() : slash;
    const std::string part = name.substr(start, end - start);
    if (part.empty() || part == "." || part == "..") return false;
    for (const char c : part) {
      const auto u = static_cast<unsigned char>(c);
      if (u < 0x20 || u == 0x7F || c == '\\' || c == ':') return false;
    }
    if (slash == std::string::npos) return true;
    start = slash + 1;
  }
}

struct ZipReader::State {
  std::vector<uint8_t> bytes;  // what the archive reads from
  ZipHandle handle;
};

ZipReader::ZipReader() = default;
ZipReader::~ZipReader() = default;

ZipStatus ZipReader::Open(std::vector<uint8_t> bytes) {
  state_.reset();
  names_.clear();
  std::unique_ptr<State> state;
  std::vector<std::string> names;
  // Not even the directory's end record (libzip takes nothing as an empty
  // container).
  if (bytes.size() < 22) return ZipStatus::NotZip;
  try {
    state = std::make_unique<State>();
    state->bytes = std::move(bytes);
    zip_error_t error;
    zip_error_init(&error);
    // The source does not own the bytes: the state does, and outlives it.
    zip_source_t* source =
        zip_source_buffer_create(state->bytes.data(), state->bytes.size(), 0, &error);
    if (source == nullptr) {
      zip_error_fini(&error);
      return ZipStatus::OutOfMemory;
    }
    state->handle.archive = zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &error);
    if (state->handle.archive == nullptr) {
      const int code = zip_error_code_zip(&error);
      zip_source_free(source);
      zip_error_fini(&error);
      if (code == ZIP_ER_MEMORY) return ZipStatus::OutOfMemory;
      return code == ZIP_ER_NOZIP ? ZipStatus::NotZip : ZipStatus::Damaged;
    }
    zip_error_fini(&error);

    zip_t* archive = state->handle.archive;
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    if (count < 0) return ZipStatus::Damaged;
    if (uint64_t(count) > kMaxEntries) return ZipStatus::TooManyEntries;
    std::unordered_set<std::string> seen;
    for (zip_int64_t i = 0; i < count; ++i) {
      zip_stat_t stat;
      zip_stat_init(&stat);
      // The name as stored: what is checked is what a reader would use.
      if (zip_stat_index(archive, zip_uint64_t(i), ZIP_FL_ENC_RAW, &stat) != 0 ||
          !(stat.valid & ZIP_STAT_NAME))
        return ZipStatus::Damaged;
      const std::string name(stat.name);
      if (!IsSafeEntryName(name)) return ZipStatus::UnsafeName;
      if (!seen.insert(name).second) return ZipStatus::DuplicateName;
      if ((stat.valid & ZIP_STAT_ENCRYPTION_METHOD) && stat.encryption_method != ZIP_EM_NONE)
        return ZipStatus::Encrypted;
      if ((stat.valid & ZIP_STAT_COMP_METHOD) && stat.comp_method != ZIP_CM_STORE &&
          stat.comp_method != ZIP_CM_DEFLATE)
        return ZipStatus::UnknownCompression;
      names.push_back(name);
    }
  } catch (const std::bad_alloc&) {
    return ZipStatus::OutOfMemory;
  }
  state_ = std::move(state);
  names_ = std::move(names);
  return ZipStatus::Ok;
}

bool ZipReader::Has(const std::string& name) const {
  return std::find(names_.begin(), names_.end(), name) != names_.end();
}

ZipStatus ZipReader::Read(const std::string& name, size_t maxBytes,
                          std::vector<uint8_t>* out) const {
  const auto found = std::find(names_.begin(), names_.end(), name);
  if (!state_ || found == names_.end()) return ZipStatus::NoSuchEntry;
  zip_t* archive = state_->handle.archive;
  const auto index = zip_uint64_t(found - names_.begin());
  zip_stat_t stat;
  zip_stat_init(&stat);
  if (zip_stat_index(archive, index, 0, &stat) != 0) return ZipStatus::Damaged;
  // A declared size beyond the limit is refused before anything is inflated.
  if ((stat.valid & ZIP_STAT_SIZE) && stat.size > maxBytes) return ZipStatus::TooLarge;
  zip_file_t* file = zip_fopen_index(archive, index, 0);
  if (file == nullptr) return ZipStatus::Damaged;
  ZipStatus status = ZipStatus::Ok;
  try {
    // The header may lie: the data read decides, up to one byte past the limit.
    const size_t expected = (stat.valid & ZIP_STAT_SIZE) ? size_t(stat.size) : 0;
    out->clear();
    out->reserve(std::min(expected, maxBytes));
    uint8_t chunk[65536];
    for (;;) {
      const zip_int64_t got = zip_fread(file, chunk, sizeof chunk);
      if (got < 0) {
        status = ZipStatus::Damaged;
        break;
      }
      if (got == 0) break;
      if (out->size() + size_t(got) > maxBytes) {
        status = ZipStatus::TooLarge;
        break;
      }
      out->insert(out->end(), chunk, chunk + got);
    }
  } catch (const std::bad_alloc&) {
    status = ZipStatus::OutOfMemory;
  }
  // Closing reports a checksum that did not match the data read.
  if (zip_fclose(file) != 0 && status == ZipStatus::Ok) status = ZipStatus::Damaged;
  return status;
}

SaveResult MakeZip(const std::vector<ZipEntry>& entries, std::vector<uint8_t>* out) {
  for (const ZipEntry& entry : entries)
    if (!IsSafeEntryName(entry.name)) return EncodeFailure(std::errc::invalid_argument);
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
  zip_error_fini(&error);
  if (buffer == nullptr) return EncodeFailure(std::errc::not_enough_memory);
  // Kept past zip_close, which writes the container into it.
  zip_source_keep(buffer);
  struct Release {
    zip_source_t* source;
    ~Release() { zip_source_free(source); }
  } release{buffer};

  zip_error_init(&error);
  zip_t* archive = zip_open_from_source(buffer, ZIP_TRUNCATE, &error);
  zip_error_fini(&error);
  if (archive == nullptr) return EncodeFailure(std::errc::not_enough_memory);
  for (const ZipEntry& entry : entries) {
    zip_source_t* data = zip_source_buffer(archive, entry.data, entry.size, 0);
    const zip_int64_t index =
        data == nullptr ? -1 : zip_file_add(archive, entry.name.c_str(), data, ZIP_FL_ENC_UTF_8);
    if (index < 0) {
      if (data != nullptr) zip_source_free(data);
      zip_discard(archive);
      return EncodeFailure(std::errc::not_enough_memory);
    }
    zip_set_file_compression(archive, zip_uint64_t(index),
                             entry.deflate ? ZIP_CM_DEFLATE : ZIP_CM_STORE, 0);
  }
  if (zip_close(archive) != 0) {
    zip_discard(archive);
    return EncodeFailure(std::errc::not_enough_memory);
  }

  zip_stat_t stat;
  zip_stat_init(&stat);
  if (zip_source_stat(buffer, &stat) != 0 || !(stat.valid & ZIP_STAT_SIZE) ||
      zip_source_open(buffer) != 0)
    return EncodeFailure(std::errc::io_error);
  try {
    out->resize(size_t(stat.size));
  } catch (const std::bad_alloc&) {
    zip_source_close(buffer);
    return EncodeFailure(std::errc::not_enough_memory);
  }
  const zip_int64_t got = zip_source_read(buffer, out->data(), stat.size);
  zip_source_close(buffer);
  if (got < 0 || zip_uint64_t(got) != stat.size) return EncodeFailure(std::errc::io_error);
  return SaveResult();
}

SaveResult WriteZip(const OutputTarget& target, const std::vector<ZipEntry>& entries) {
  std::vector<uint8_t> bytes;
  const SaveResult made = MakeZip(entries, &bytes);
  if (!made) return made;
  SafeOutputFile file;
  const SaveResult opened = file.Open(target);
  if (!opened) return opened;
  file.Write(bytes.data(), bytes.size());
  return file.Commit();
}

}  // namespace imagefiles
