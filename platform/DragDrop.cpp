#include "platform/DragDrop.h"

namespace platform {

void ReleaseStgMedium(STGMEDIUM* medium) {
  if (!medium) return;
  if (medium->owner) static_cast<IUnknown*>(medium->owner)->Release();
  medium->hGlobal = nullptr;
  medium->owner = nullptr;
  medium->tymed = 0;
}

uint32_t Utf16Length(const std::string& utf8) {
  uint32_t units = 0;
  for (size_t i = 0; i < utf8.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(utf8[i]);
    if ((c & 0xC0) == 0x80) continue;  // continuation byte
    units += (c >= 0xF0) ? 2 : 1;      // beyond the BMP: a surrogate pair
  }
  return units;
}

uint32_t DragQueryFile(HDROP drop, uint32_t index, std::string* name) {
  if (!drop) return 0;
  if (index == 0xFFFFFFFFu) return uint32_t(drop->names.size());
  if (index >= drop->names.size()) return 0;
  if (name) *name = drop->names[index];
  return Utf16Length(drop->names[index]);
}

}  // namespace platform
