#include "platform/win32/DialogTemplate.h"

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

}  // namespace platform::win32
