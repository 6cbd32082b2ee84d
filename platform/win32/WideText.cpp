#include "platform/win32/WideText.h"

#include <windows.h>

#include <climits>
#include <cwchar>

namespace platform::win32 {

std::wstring Widen(const std::string& utf8) {
  if (utf8.empty() || utf8.size() > size_t(INT_MAX)) return std::wstring();
  const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
  std::wstring wide(size_t(length > 0 ? length : 0), L'\0');
  if (length > 0)
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), wide.data(), length);
  return wide;
}

std::string Narrow(const wchar_t* utf16) {
  if (!utf16) return std::string();
  const size_t count = std::wcslen(utf16);
  if (count == 0 || count > size_t(INT_MAX)) return std::string();
  const int length =
      WideCharToMultiByte(CP_UTF8, 0, utf16, int(count), nullptr, 0, nullptr, nullptr);
  std::string narrow(size_t(length > 0 ? length : 0), '\0');
  if (length > 0)
    WideCharToMultiByte(CP_UTF8, 0, utf16, int(count), narrow.data(), length, nullptr, nullptr);
  return narrow;
}

std::string Narrow(const std::wstring& utf16) { return Narrow(utf16.c_str()); }

}  // namespace platform::win32
