// The process tags' questions on Windows: the computer's name and the
// process id; a process that ended can no longer be opened, or has an exit
// code.
#include <windows.h>

#include "imagefiles/ProcessSystem.h"

namespace imagefiles {

std::string SystemHostName() {
  wchar_t buffer[MAX_COMPUTERNAME_LENGTH + 1] = {};
  DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
  if (!GetComputerNameW(buffer, &size)) return std::string();
  std::string name;
  for (const wchar_t* c = buffer; *c != 0; ++c) name.push_back(*c < 0x80 ? char(*c) : '?');
  return name;
}

uint64_t SystemProcessId() { return GetCurrentProcessId(); }

bool SystemProcessEnded(uint64_t pid) {
  if (pid > 0xFFFFFFFFull) return false;
  const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, DWORD(pid));
  if (process == nullptr) return GetLastError() == ERROR_INVALID_PARAMETER;
  DWORD code = 0;
  const bool ended = GetExitCodeProcess(process, &code) && code != STILL_ACTIVE;
  CloseHandle(process);
  return ended;
}

}  // namespace imagefiles
