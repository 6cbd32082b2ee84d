#pragma once

#include <string>

namespace platform::win32 {

// The program speaks UTF-8; Windows' own API speaks UTF-16. Malformed input
// becomes U+FFFD rather than being cut short.
std::wstring Widen(const std::string& utf8);
std::string Narrow(const std::wstring& utf16);
std::string Narrow(const wchar_t* utf16);

}  // namespace platform::win32
