#include "imagefiles/TemporaryNames.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace imagefiles {

namespace {

constexpr char kPrefix[] = ".tessary-";
constexpr char kSuffix[] = ".tmp";
constexpr size_t kPrefixLength = sizeof kPrefix - 1;
constexpr size_t kSuffixLength = sizeof kSuffix - 1;

// Host names are letters, digits, dots and dashes; anything else would
// make a file name of its own, so it is replaced.
const std::string& HostName() {
  static const std::string host = [] {
    char buffer[256] = {};
    if (::gethostname(buffer, sizeof buffer - 1) != 0 || buffer[0] == '\0') return std::string("host");
    std::string name(buffer);
    if (name.size() > 64) name.resize(64);
    for (char& c : name) {
      const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                         (c >= '0' && c <= '9') || c == '.' || c == '-' || c == '_';
      if (!plain) c = '_';
    }
    return name;
  }();
  return host;
}

bool AllDigits(const std::string& text) {
  if (text.empty() || text.size() > 10) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

bool ProcessEnded(pid_t pid) { return ::kill(pid, 0) != 0 && errno == ESRCH; }

}  // namespace

std::string TemporaryName(unsigned counter) {
  return kPrefix + HostName() + "-" + std::to_string(::getpid()) + "-" + std::to_string(counter) +
         kSuffix;
}

bool ParseTemporaryName(const std::string& name, std::string* host, pid_t* pid) {
  if (name.size() <= kPrefixLength + kSuffixLength) return false;
  if (name.compare(0, kPrefixLength, kPrefix) != 0) return false;
  if (name.compare(name.size() - kSuffixLength, kSuffixLength, kSuffix) != 0) return false;
  const std::string middle =
      name.substr(kPrefixLength, name.size() - kPrefixLength - kSuffixLength);
  // HOST-PID-N, where the host may itself hold dashes.
  const size_t counterDash = middle.rfind('-');
  if (counterDash == std::string::npos || counterDash == 0) return false;
  const size_t pidDash = middle.rfind('-', counterDash - 1);
  if (pidDash == std::string::npos || pidDash == 0) return false;
  const std::string pidText = middle.substr(pidDash + 1, counterDash - pidDash - 1);
  if (!AllDigits(pidText) || !AllDigits(middle.substr(counterDash + 1))) return false;
  const unsigned long long value = std::stoull(pidText);
  if (value == 0 || value > 0x7FFFFFFF) return false;
  *host = middle.substr(0, pidDash);
  *pid = pid_t(value);
  return true;
}

void RemoveAbandonedTemporaries(const std::string& folder) {
  const int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dirFd < 0) return;
  DIR* dir = ::fdopendir(dirFd);
  if (dir == nullptr) {
    ::close(dirFd);
    return;
  }
  const pid_t self = ::getpid();
  while (const dirent* entry = ::readdir(dir)) {
    if (entry->d_name[0] != '.') continue;  // cheap test first: most names are not ours
    std::string host;
    pid_t pid = 0;
    if (!ParseTemporaryName(entry->d_name, &host, &pid)) continue;
    if (host != HostName() || pid == self || !ProcessEnded(pid)) continue;
    struct stat info {};
    if (::fstatat(dirFd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0) continue;
    if (!S_ISREG(info.st_mode)) continue;
    ::unlinkat(dirFd, entry->d_name, 0);
  }
  ::closedir(dir);
}

}  // namespace imagefiles
