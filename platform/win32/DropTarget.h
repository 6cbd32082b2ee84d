#pragma once

#include <string>
#include <vector>

struct IDropTarget;
struct IDataObject;

namespace platform::win32 {

class Win32Window;

// The window's OLE drop target: files dragged from the shell, with the
// shell's drag image drawn over the window while they move. Returns one
// reference; null without OLE.
IDropTarget* MakeDropTarget(Win32Window& owner);
// The window is going: the target, which OLE may still hold, stops calling it.
void DetachDropTarget(IDropTarget* target);

// The file list a data object carries (CF_HDROP), as UTF-8 paths in the
// source's order; empty when it carries none.
std::vector<std::string> DroppedFiles(IDataObject* data);

}  // namespace platform::win32
