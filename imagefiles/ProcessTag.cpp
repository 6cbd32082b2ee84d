#include "imagefiles/ProcessTag.h"

#include <cstdlib>

#include "imagefiles/ProcessSystem.h"

namespace imagefiles {

namespace {

std::string PlainName(std::string name) {
  if (name.empty()) name = "host";
  if (name.size() > 64) name.resize(64);
  for (char& c : name) {
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                       c == '.' || c == '-' || c == '_';
    if (!plain) c = '_';
  }
  return name;
}

}  // namespace

std::string ThisHostForTags() {
  static const std::string host = PlainName(SystemHostName());
  return host;
}

std::string ThisProcessTag() { return ThisHostForTags() + "-" + std::to_string(SystemProcessId()); }

bool ProcessOfTagEnded(const std::string& tag) {
  const size_t dash = tag.rfind('-');
  if (dash == std::string::npos || dash == 0 || tag.substr(0, dash) != ThisHostForTags())
    return false;
  const std::string digits = tag.substr(dash + 1);
  if (digits.empty() || digits.size() > 10 ||
      digits.find_first_not_of("0123456789") != std::string::npos)
    return false;
  const unsigned long long pid = std::strtoull(digits.c_str(), nullptr, 10);
  if (pid == 0 || pid == SystemProcessId()) return false;
  return SystemProcessEnded(pid);
}

}  // namespace imagefiles
