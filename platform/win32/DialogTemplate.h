#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace platform::win32 {

// A modal dialog's template in memory with no controls: the dialog makes
// them in WM_INITDIALOG and sizes itself, so it needs no resource script.
std::vector<WORD> EmptyDialogTemplate(const std::wstring& title);

// Gives such a dialog a client area of this size, centred on its owner (the
// desktop when it has none) and never above the screen's top.
void SizeAndCentreDialog(HWND dialog, int clientWidth, int clientHeight);

}  // namespace platform::win32
