// SafeOutputFile on Windows: a new file beside the target under a hidden
// name, flushed to disk and moved over the target in one step (MoveFileExW
// with MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH), all through the
// wide-character API so that any Unicode name works. A pipe or a console is
// written straight through; a descriptor (standard output) in binary mode.
#include <windows.h>
#include <fcntl.h>
#include <io.h>

#include <cerrno>
#include <string>

#include "imagefiles/SafeOutputFile.h"
#include "imagefiles/PathNames.h"
#include "imagefiles/win32/WidePath.h"

namespace imagefiles {

namespace {

uint32_t writesUntilFailure = 0;  // see FailOutputWriteForTesting
void (*writeHook)(uint64_t) = nullptr;
uint64_t bytesWritten = 0;

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

// A link is saved through: the file it points to is replaced, in that
// file's folder, and the link stays. A dangling link is replaced itself.
std::wstring ResolveLinks(const std::wstring& target) {
  const DWORD attributes = GetFileAttributesW(target.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
    return target;
  const HANDLE file = CreateFileW(target.c_str(), 0,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return target;
  std::wstring resolved(MAX_PATH, L'\0');
  DWORD length = GetFinalPathNameByHandleW(file, resolved.data(), DWORD(resolved.size()), 0);
  if (length >= resolved.size()) {
    resolved.resize(length + 1);
    length = GetFinalPathNameByHandleW(file, resolved.data(), DWORD(resolved.size()), 0);
  }
  CloseHandle(file);
  if (length == 0 || length >= resolved.size()) return target;
  resolved.resize(length);
  return resolved;
}

// The reason of the Windows call that just failed, as errno words it.
SaveResult LastError(SaveStep step) {
  SetErrnoFromLastError();
  return SaveResult::FromErrno(step, errno);
}

SaveResult Refused(SaveError why) { return SaveResult::Failed(SaveStep::Target, why); }

}  // namespace

void FailOutputWriteForTesting(uint32_t nth) { writesUntilFailure = nth; }
// Windows has no unnamed files: every new file is named.
void SetTemporaryFileModeForTesting(TemporaryFileMode) {}
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
    // Standard output and the like: a card is bytes, not text lines.
    _setmode(target.descriptor, _O_BINARY);
    fd_ = target.descriptor;
    mode_ = Mode::Descriptor;
    return failure_;
  }
  const std::string& path = target.path;
  if (path.empty()) return Record(SaveResult::FromErrno(SaveStep::Target, ENOENT));
  if (path.back() == '/' || path.back() == '\\') return Record(Refused(SaveError::IsFolder));

  const std::wstring wide = ResolveLinks(WidePath(path));
  const DWORD existing = GetFileAttributesW(wide.c_str());
  if (existing == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = GetLastError();
    if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) {
      // Not a file the system can describe: a pipe or a device takes the
      // bytes as they come, anything else is refused.
      const HANDLE direct = CreateFileW(wide.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
      if (direct == INVALID_HANDLE_VALUE) return Record(LastError(SaveStep::Create));
      const DWORD type = GetFileType(direct);
      if (type != FILE_TYPE_PIPE && type != FILE_TYPE_CHAR) {
        CloseHandle(direct);
        return Record(Refused(SaveError::NotAFile));
      }
      handle_ = direct;
      mode_ = Mode::Direct;
      return failure_;
    }
  } else if (existing & FILE_ATTRIBUTE_DIRECTORY) {
    return Record(Refused(SaveError::IsFolder));
  } else if (existing & FILE_ATTRIBUTE_READONLY) {
    // The user marked the card read-only: it is not replaced (Windows
    // refuses the move anyway; some file systems would let it through).
    return Record(Refused(SaveError::ReadOnly));
  }

  target_ = path;
  targetWide_ = wide;
  // A short name beside the target, so that the final move stays on one
  // volume and is atomic; the target's own name plus a suffix could pass
  // the file system's limit on long names.
  const std::wstring folder = FolderOf(wide);
  static unsigned counter = 0;
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::wstring name = folder;
    if (!name.empty() && !IsSeparator(name.back()) && name.back() != L':') name += L'\\';
    name += L".tessary-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
            std::to_wstring(++counter) + L".tmp";
    const HANDLE file = CreateFileW(name.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      handle_ = file;
      tempWide_ = std::move(name);
      mode_ = Mode::Named;
      return failure_;
    }
    if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) break;
  }
  return Record(LastError(SaveStep::Create));
}

bool SafeOutputFile::Write(const void* data, size_t count) {
  const bool open = mode_ == Mode::Descriptor ? fd_ >= 0 : handle_ != nullptr;
  if (!open || !failure_.Ok()) return false;
  if (writesUntilFailure != 0 && --writesUntilFailure == 0) {
    Record(SaveResult::FromErrno(SaveStep::Write, ENOSPC));
    return false;
  }
  const auto* bytes = static_cast<const uint8_t*>(data);
  while (count > 0) {
    const size_t chunk = count < (size_t(1) << 30) ? count : (size_t(1) << 30);
    size_t written = 0;
    if (mode_ == Mode::Descriptor) {
      const int wrote = _write(fd_, bytes, unsigned(chunk));
      if (wrote <= 0) {
        Record(SaveResult::FromErrno(SaveStep::Write, wrote < 0 ? errno : ENOSPC));
        return false;
      }
      written = size_t(wrote);
    } else {
      DWORD wrote = 0;
      if (!WriteFile(handle_, bytes, DWORD(chunk), &wrote, nullptr) || wrote == 0) {
        Record(wrote == 0 && GetLastError() == ERROR_SUCCESS
                   ? SaveResult::FromErrno(SaveStep::Write, ENOSPC)
                   : LastError(SaveStep::Write));
        return false;
      }
      written = wrote;
    }
    bytes += written;
    count -= written;
    bytesWritten += written;
  }
  if (writeHook != nullptr) writeHook(bytesWritten);
  return true;
}

SaveResult SafeOutputFile::CommitReplacement() {
  if (!FlushFileBuffers(handle_)) return Record(LastError(SaveStep::Finish));
  const HANDLE file = static_cast<HANDLE>(handle_);
  handle_ = nullptr;
  if (!CloseHandle(file)) return Record(LastError(SaveStep::Finish));
  // One step: readers see the old card or the new one, never a part.
  if (!MoveFileExW(tempWide_.c_str(), targetWide_.c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return Record(LastError(SaveStep::Finish));
  }
  tempWide_.clear();
  return failure_;
}

SaveResult SafeOutputFile::Commit() {
  const bool open = mode_ == Mode::Descriptor ? fd_ >= 0 : handle_ != nullptr;
  if (!open && failure_.Ok()) Record(SaveResult::FromErrno(SaveStep::Finish, EBADF));
  if (failure_.Ok()) {
    switch (mode_) {
      case Mode::Descriptor:
        fd_ = -1;  // the caller's to close
        break;
      case Mode::Direct: {
        const HANDLE direct = static_cast<HANDLE>(handle_);
        handle_ = nullptr;
        if (!CloseHandle(direct)) Record(LastError(SaveStep::Finish));
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
  if (handle_ != nullptr) {
    CloseHandle(static_cast<HANDLE>(handle_));
    handle_ = nullptr;
  }
  fd_ = -1;
  if (!tempWide_.empty()) {
    DeleteFileW(tempWide_.c_str());
    tempWide_.clear();
  }
}

}  // namespace imagefiles
