// ProcessTag on Windows: the computer's name and the process id; a process
// that ended can no longer be opened, or has an exit code.
#include <windows.h>

#include <cstdlib>
#include <string>

#include "imagefiles/ProcessTag.h"

namespace imagefiles {

namespace {

std::string PlainName(const wchar_t* wide) {
  std::string name;
  for (const wchar_t* c = wide; *c != 0 && name.size() < 64; ++c) {
    const bool plain = (*c >= L'a' && *c <= L'z') || (*c >= L'A' && *c <= L'Z') ||
                       (*c >= L'0' && *c <= L'9') || *c == L'.' || *c == L'-' || *c == L'_';
    name.push_back(plain ? char(*c) : '_');
  }
  return name.empty() ? std::string("host") : name;
}

}  // namespace

std::string ThisHostForTags() {
  static const std::string host = [] {
    wchar_t buffer[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
    if (!GetComputerNameW(buffer, &size)) buffer[0] = 0;
    return PlainName(buffer);
  }();
  return host;
}

std::string ThisProcessTag() {
  return ThisHostForTags() + "-" + std::to_string(GetCurrentProcessId());
}

bool ProcessOfTagEnded(const std::string& tag) {
  const size_t dash = tag.rfind('-');
  if (dash == std::string::npos || dash == 0 || tag.substr(0, dash) != ThisHostForTags())
    return false;
  const std::string digits = tag.substr(dash + 1);
  if (digits.empty() || digits.size() > 10 ||
      digits.find_first_not_of("0123456789") != std::string::npos)
    return false;
  const unsigned long long pid = std::strtoull(digits.c_str(), nullptr, 10);
  if (pid == 0 || pid > 0xFFFFFFFFull || DWORD(pid) == GetCurrentProcessId()) return false;
  const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, DWORD(pid));
  if (process == nullptr) return GetLastError() == ERROR_INVALID_PARAMETER;
  DWORD code = 0;
  const bool ended = GetExitCodeProcess(process, &code) && code != STILL_ACTIVE;
  CloseHandle(process);
  return ended;
}

}  // namespace imagefiles
