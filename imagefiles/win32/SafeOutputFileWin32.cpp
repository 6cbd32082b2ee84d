// SafeOutputFile on Windows: a temporary file beside the target, flushed to
// disk and moved over the target in one step (MoveFileExW with
// MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH), all through the
// wide-character API so that any Unicode name works.
#include <windows.h>

#include <string>

#include "imagefiles/SafeOutputFile.h"
#include "imagefiles/win32/WidePath.h"

namespace imagefiles {

namespace {

uint32_t writesUntilFailure = 0;  // see FailOutputWriteForTesting

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

std::wstring FolderOf(const std::wstring& path) {
  const size_t slash = path.find_last_of(L"\\/");
  if (slash == std::wstring::npos) {
    // "C:name" lies in drive C's current folder; a bare name in ours.
    return path.size() >= 2 && path[1] == L':' ? path.substr(0, 2) : L".";
  }
  return path.substr(0, slash + 1);
}

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

}  // namespace

void FailOutputWriteForTesting(uint32_t nth) { writesUntilFailure = nth; }

SafeOutputFile::~SafeOutputFile() { Discard(); }

bool SafeOutputFile::Open(const std::string& requested) {
  Discard();
  if (requested.empty() || requested.back() == '/' || requested.back() == '\\') return false;
  const std::wstring target = ResolveLinks(WidePath(requested));
  const DWORD existing = GetFileAttributesW(target.c_str());
  if (existing != INVALID_FILE_ATTRIBUTES && (existing & FILE_ATTRIBUTE_DIRECTORY)) {
    SetLastError(ERROR_DIRECTORY);
    SetErrnoFromLastError();
    return false;
  }
  // The user marked the card read-only: it is not replaced (Windows refuses
  // the move anyway; some file systems would let it through).
  if (existing != INVALID_FILE_ATTRIBUTES && (existing & FILE_ATTRIBUTE_READONLY)) {
    SetLastError(ERROR_ACCESS_DENIED);
    SetErrnoFromLastError();
    return false;
  }
  target_ = requested;
  targetWide_ = target;
  failed_ = false;
  // A short name beside the target, so that the final move stays on one
  // volume and is atomic; the target's own name plus a suffix could pass
  // the file system's limit on long names.
  const std::wstring folder = FolderOf(target);
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
      return true;
    }
    if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) break;
  }
  SetErrnoFromLastError();
  return false;
}

bool SafeOutputFile::Write(const void* data, size_t count) {
  if (handle_ == nullptr || failed_) return false;
  if (writesUntilFailure != 0 && --writesUntilFailure == 0) {
    failed_ = true;
    return false;
  }
  const auto* bytes = static_cast<const uint8_t*>(data);
  while (count > 0) {
    const DWORD chunk = DWORD(count < (size_t(1) << 30) ? count : (size_t(1) << 30));
    DWORD written = 0;
    if (!WriteFile(handle_, bytes, chunk, &written, nullptr) || written == 0) {
      SetErrnoFromLastError();
      failed_ = true;
      return false;
    }
    bytes += written;
    count -= written;
  }
  return true;
}

bool SafeOutputFile::Commit() {
  if (handle_ == nullptr || failed_) {
    Discard();
    return false;
  }
  const bool flushed = FlushFileBuffers(handle_) != FALSE;
  if (!flushed) SetErrnoFromLastError();
  const bool closed = CloseHandle(handle_) != FALSE;
  handle_ = nullptr;
  // One step: readers see the old card or the new one, never a part.
  if (!flushed || !closed ||
      !MoveFileExW(tempWide_.c_str(), targetWide_.c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    if (flushed && closed) SetErrnoFromLastError();
    Discard();
    return false;
  }
  tempWide_.clear();
  return true;
}

void SafeOutputFile::Discard() {
  if (handle_ != nullptr) {
    CloseHandle(handle_);
    handle_ = nullptr;
  }
  if (!tempWide_.empty()) {
    const DWORD error = GetLastError();  // keep the reason for the caller
    DeleteFileW(tempWide_.c_str());
    SetLastError(error);
    tempWide_.clear();
  }
}

}  // namespace imagefiles
