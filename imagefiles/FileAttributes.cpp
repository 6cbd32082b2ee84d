#include "imagefiles/FileAttributes.h"

#include <sys/xattr.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace imagefiles {

namespace {

constexpr char kAccessAcl[] = "system.posix_acl_access";

bool Kept(const char* name) {
  return std::strncmp(name, "user.", 5) == 0 || std::strcmp(name, kAccessAcl) == 0;
}

bool Unsupported(int error) { return error == ENOTSUP || error == EOPNOTSUPP || error == ENOSYS; }

// The names (each ended by a zero byte), or an errno. Sizes may change
// between the two calls; the loop tries again then.
int Names(const std::string* path, int fd, std::vector<char>* names) {
  for (int attempt = 0; attempt < 8; ++attempt) {
    const ssize_t size = path ? ::listxattr(path->c_str(), nullptr, 0) : ::flistxattr(fd, nullptr, 0);
    if (size < 0) return Unsupported(errno) ? 0 : errno;
    names->resize(size_t(size));
    if (size == 0) return 0;
    const ssize_t got = path ? ::listxattr(path->c_str(), names->data(), names->size())
                             : ::flistxattr(fd, names->data(), names->size());
    if (got >= 0) {
      names->resize(size_t(got));
      return 0;
    }
    if (errno != ERANGE) return errno;
  }
  return ERANGE;
}

int Value(const std::string& path, const char* name, std::vector<char>* value) {
  for (int attempt = 0; attempt < 8; ++attempt) {
    const ssize_t size = ::getxattr(path.c_str(), name, nullptr, 0);
    if (size < 0) return errno;
    value->resize(size_t(size));
    const ssize_t got = ::getxattr(path.c_str(), name, value->data(), value->size());
    if (got >= 0) {
      value->resize(size_t(got));
      return 0;
    }
    if (errno != ERANGE) return errno;
  }
  return ERANGE;
}

bool Listed(const std::vector<char>& names, const char* name) {
  for (size_t at = 0; at < names.size(); at += std::strlen(names.data() + at) + 1) {
    if (std::strcmp(names.data() + at, name) == 0) return true;
  }
  return false;
}

}  // namespace

int KeepExtendedAttributes(const std::string& existing, int fd) {
  std::vector<char> names, value;
  if (const int error = Names(&existing, -1, &names)) return error;
  for (size_t at = 0; at < names.size(); at += std::strlen(names.data() + at) + 1) {
    const char* name = names.data() + at;
    if (!Kept(name)) continue;
    if (const int error = Value(existing, name, &value)) {
      if (error == ENODATA) continue;  // removed meanwhile
      return error;
    }
    if (::fsetxattr(fd, name, value.data(), value.size(), 0) != 0) return errno;
  }
  // What the folder's default ACL gave the new file and the old one lacked.
  std::vector<char> fresh;
  if (const int error = Names(nullptr, fd, &fresh)) return error;
  for (size_t at = 0; at < fresh.size(); at += std::strlen(fresh.data() + at) + 1) {
    const char* name = fresh.data() + at;
    if (Kept(name) && !Listed(names, name) && ::fremovexattr(fd, name) != 0 && errno != ENODATA) {
      return errno;
    }
  }
  return 0;
}

}  // namespace imagefiles
