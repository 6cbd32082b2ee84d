#include "platform/win32/DialogTemplate.h"

#include <algorithm>

namespace platform::win32 {

std::vector<WORD> EmptyDialogTemplate(const std::wstring& title) {
  std::vector<WORD> words;
  auto dword = [&words](DWORD v) {
    words.push_back(LOWORD(v));
    words.push_back(HIWORD(v));
  };
  auto text = [&words](const std::wstring& s) {
    words.insert(words.end(), s.begin(), s.end());
    words.push_back(0);
  };
  dword(DS_MODALFRAME | DS_SETFONT | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU);
  dword(0);               // extended style
  words.push_back(0);     // no controls
  words.push_back(0);     // x, y, cx, cy in dialog units: resized when it starts
  words.push_back(0);
  words.push_back(200);
  words.push_back(150);
  words.push_back(0);     // no menu
  words.push_back(0);     // the standard dialog class
  text(title);
  words.push_back(8);     // point size
  text(L"MS Shell Dlg");
  return words;
}

void SizeAndCentreDialog(HWND dialog, int clientWidth, int clientHeight) {
  RECT frame{0, 0, clientWidth, clientHeight};
  AdjustWindowRectEx(&frame, DWORD(GetWindowLongPtrW(dialog, GWL_STYLE)), FALSE,
                     DWORD(GetWindowLongPtrW(dialog, GWL_EXSTYLE)));
  RECT owner{};
  GetWindowRect(GetParent(dialog) ? GetParent(dialog) : GetDesktopWindow(), &owner);
  const int fw = frame.right - frame.left, fh = frame.bottom - frame.top;
  SetWindowPos(dialog, nullptr, (owner.left + owner.right - fw) / 2,
               std::max(0L, (owner.top + owner.bottom - fh) / 2), fw, fh,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace platform::win32
