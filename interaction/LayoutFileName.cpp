#include "interaction/LayoutFileName.h"

namespace interaction {

namespace {

// Characters as the desktop counts them in a path: UTF-16 code units.
size_t Utf16Length(const std::string& utf8) {
  size_t units = 0;
  for (const char c : utf8) {
    const unsigned char b = static_cast<unsigned char>(c);
    if ((b & 0xC0) != 0x80) units += (b >= 0xF0) ? 2 : 1;  // 4-byte forms are surrogate pairs
  }
  return units;
}

}  // namespace

bool IsConsideredFileName(const std::string& path) { return Utf16Length(path) > 4; }

bool IsLayoutFileName(const std::string& path) {
  if (path.size() < 4) return false;
  const char* e = path.c_str() + path.size() - 4;
  return e[0] == '.' && (e[1] == 'j' || e[1] == 'J') && (e[2] == 'l' || e[2] == 'L') &&
         (e[3] == 'i' || e[3] == 'I');
}

bool IsProjectFileName(const std::string& path) {
  static const char kExtension[] = ".tessary";
  const size_t length = sizeof kExtension - 1;
  if (path.size() < length) return false;
  for (size_t i = 0; i < length; ++i) {
    char c = path[path.size() - length + i];
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    if (c != kExtension[i]) return false;
  }
  return true;
}

}  // namespace interaction
