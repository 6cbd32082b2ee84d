#include <signal.h>
#include <unistd.h>

#include <cerrno>

#include "imagefiles/ProcessSystem.h"

namespace imagefiles {

std::string SystemHostName() {
  char buffer[256] = {};
  if (::gethostname(buffer, sizeof buffer - 1) != 0) return std::string();
  return buffer;
}

uint64_t SystemProcessId() { return uint64_t(::getpid()); }

bool SystemProcessEnded(uint64_t pid) {
  if (pid > 0x7FFFFFFF) return false;
  return ::kill(pid_t(pid), 0) != 0 && errno == ESRCH;
}

}  // namespace imagefiles
