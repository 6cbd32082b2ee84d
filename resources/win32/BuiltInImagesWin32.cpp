// The built-in pictures as resources of the executable (see
// resources/CMakeLists.txt): PNG resources by number, icon groups whose
// images are PNG-compressed icons.
#include <windows.h>

#include <cstring>

#include "resources/BuiltInImages.h"

namespace resources {

namespace {

Blob Load(LPCWSTR name, LPCWSTR type) {
  const HMODULE module = GetModuleHandleW(nullptr);
  const HRSRC found = FindResourceW(module, name, type);
  if (!found) return {};
  const HGLOBAL loaded = LoadResource(module, found);
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (!data) return {};
  return {static_cast<const uint8_t*>(data), uint32_t(SizeofResource(module, found))};
}

#pragma pack(push, 2)
struct GroupIconEntry {  // GRPICONDIRENTRY
  BYTE width, height, colours, reserved;
  WORD planes, bitCount;
  DWORD bytes;
  WORD id;
};
#pragma pack(pop)

}  // namespace

Blob FindPngResource(int id) { return Load(MAKEINTRESOURCEW(id), L"PNG"); }

Blob FindIconResource(int groupId, int size) {
  const Blob group = Load(MAKEINTRESOURCEW(groupId), MAKEINTRESOURCEW(14));  // RT_GROUP_ICON
  if (group.size < 6) return {};
  const WORD count = WORD(group.data[4] | group.data[5] << 8);
  if (group.size < 6 + size_t(count) * sizeof(GroupIconEntry)) return {};
  for (WORD i = 0; i < count; ++i) {
    GroupIconEntry entry;
    std::memcpy(&entry, group.data + 6 + size_t(i) * sizeof entry, sizeof entry);
    const int side = entry.width == 0 ? 256 : entry.width;
    if (side == size) return Load(MAKEINTRESOURCEW(entry.id), MAKEINTRESOURCEW(3));  // RT_ICON
  }
  return {};
}

}  // namespace resources
