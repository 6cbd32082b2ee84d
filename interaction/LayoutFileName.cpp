#include "interaction/LayoutFileName.h"

#include "platform/DragDrop.h"

namespace interaction {

bool IsConsideredFileName(const std::string& path) {
  const uint32_t length = platform::Utf16Length(path);
  return length > 4 && length < 260;
}

bool IsLayoutFileName(const std::string& path) {
  if (path.size() < 4) return false;
  const char* e = path.c_str() + path.size() - 4;
  return e[0] == '.' && (e[1] == 'j' || e[1] == 'J') && (e[2] == 'l' || e[2] == 'L') &&
         (e[3] == 'i' || e[3] == 'I');
}

}  // namespace interaction
