#pragma once

#include <string>

namespace imagefiles {

// A UTF-8 path for the wide-character file API. Long absolute paths get
// the \\?\ form, which takes them past MAX_PATH on every system.
std::wstring WidePath(const std::string& utf8);

// errno for the calling thread's last Windows error, so that callers that
// report errno's reason say what went wrong here too.
void SetErrnoFromLastError();

}  // namespace imagefiles
