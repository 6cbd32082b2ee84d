#include "app/WebAddresses.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#ifndef TESSARY_HELP_URL
#define TESSARY_HELP_URL ""
#endif
#ifndef TESSARY_DONATE_URL
#define TESSARY_DONATE_URL ""
#endif

namespace app {

namespace fs = std::filesystem;

namespace {

constexpr char kHelpFile[] = "help.html";
constexpr char kCustomLayoutSection[] = "#custom-layouts";

#ifdef _WIN32
// The C runtime keeps the program's full path; the narrow one is UTF-8
// under the program's manifest.
std::string ExecutableDirectory() {
  std::error_code error;
  if (_wpgmptr && *_wpgmptr) return fs::path(_wpgmptr).parent_path().u8string();
  if (_pgmptr && *_pgmptr) return fs::path(_pgmptr).parent_path().string();
  return fs::current_path(error).string();
}
#else
std::string ExecutableDirectory() {
  std::error_code error;
  const fs::path exe = fs::read_symlink("/proc/self/exe", error);
  if (error) return fs::current_path(error).string();
  return exe.parent_path().string();
}
#endif

}  // namespace

std::string FileAddress(const std::string& absolutePath) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string address = "file://";
  std::string path = absolutePath;
#ifdef _WIN32
  // C:\a\b is file:///C:/a/b; \\host\share is file:////host/share.
  for (char& c : path)
    if (c == '\\') c = '/';
  if (path.size() >= 2 && path[1] == ':') path.insert(path.begin(), '/');
  const char kAlsoPlain = ':';  // after the drive letter
#else
  const char kAlsoPlain = '/';
#endif
  for (const char ch : path) {
    const unsigned char c = static_cast<unsigned char>(ch);
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                       (c >= '0' && c <= '9') || c == '/' || c == '-' || c == '_' || c == '.' ||
                       c == '~' || c == kAlsoPlain;
    if (plain) {
      address += ch;
    } else {
      address += '%';
      address += kHex[c >> 4];
      address += kHex[c & 15];
    }
  }
  return address;
}

std::string InstalledHelpFile(const std::string& exeDir) {
  const fs::path dir = fs::u8path(exeDir);
  const fs::path candidates[] = {dir / kHelpFile, dir / ".." / "share" / "tessary" / kHelpFile};
  std::error_code error;
  for (const fs::path& candidate : candidates)
    if (fs::is_regular_file(candidate, error))
      return fs::weakly_canonical(candidate, error).u8string();
  return std::string();
}

std::string InstalledHelpPage(const std::string& exeDir) {
  const std::string installed = InstalledHelpFile(exeDir);
  if (!installed.empty()) return FileAddress(installed);
  const fs::path dir = fs::u8path(exeDir);
  return FileAddress((dir / ".." / "share" / "tessary" / kHelpFile).lexically_normal().u8string());
}

std::string HelpFile() { return InstalledHelpFile(ExecutableDirectory()); }

std::string HelpAddress() {
  const std::string configured = TESSARY_HELP_URL;
  if (!configured.empty()) return configured;
  return InstalledHelpPage(ExecutableDirectory());
}

std::string GuidelineAddress() { return HelpAddress() + kCustomLayoutSection; }

std::string DonateAddress() { return TESSARY_DONATE_URL; }

}  // namespace app
