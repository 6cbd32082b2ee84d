#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace platform::win32 {

// A modal dialog's template in memory with no controls: the dialog makes
// them in WM_INITDIALOG and sizes itself, so it needs no resource script.
std::vector<WORD> EmptyDialogTemplate(const std::wstring& title);

}  // namespace platform::win32
