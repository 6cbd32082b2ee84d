// The window's modal dialogs, questions and menus.
#include <windows.h>
#include <commdlg.h>

#include <vector>

#include "platform/win32/WideText.h"
#include "platform/win32/Win32Window.h"

namespace platform::win32 {

namespace {

// "Description\0*.jpg;*.png\0...\0\0", as the common dialogs read filters.
std::wstring FilterList(const std::vector<FileFilter>& filters) {
  std::wstring list;
  for (const FileFilter& filter : filters) {
    list += Widen(filter.description);
    list += L'\0';
    std::wstring patterns;
    for (const std::string& pattern : filter.patterns) {
      if (!patterns.empty()) patterns += L';';
      patterns += Widen(pattern);
    }
    list += patterns.empty() ? L"*.*" : patterns;
    list += L'\0';
  }
  list += L'\0';
  return list;
}

// "jpg" of "*.jpg": what the dialog adds to a name typed without one.
std::wstring DefaultExtension(const FileDialog& request) {
  if (request.initialFilter >= request.filters.size()) return std::wstring();
  const auto& patterns = request.filters[request.initialFilter].patterns;
  if (patterns.empty() || patterns[0].rfind("*.", 0) != 0) return std::wstring();
  const std::string extension = patterns[0].substr(2);
  if (extension.find_first_of("*?") != std::string::npos) return std::wstring();
  return Widen(extension);
}

}  // namespace

std::optional<FileChoice> Win32Window::ChooseFileToOpen(const FileDialog& dialog) {
  return RunFileDialog(dialog, false);
}

std::optional<FileChoice> Win32Window::ChooseFileToSave(const FileDialog& dialog) {
  return RunFileDialog(dialog, true);
}

std::optional<FileChoice> Win32Window::RunFileDialog(const FileDialog& request, bool save) {
  const std::wstring filters = FilterList(request.filters);
  const std::wstring title = Widen(request.title);
  const std::wstring folder = Widen(request.initialFolder);
  const std::wstring extension = DefaultExtension(request);
  // Room for the longest path the system knows, not only MAX_PATH.
  std::vector<wchar_t> name(32768, L'\0');
  const std::wstring initial = Widen(request.initialName);
  if (initial.size() < name.size()) std::copy(initial.begin(), initial.end(), name.begin());

  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = hwnd_;
  ofn.hInstance = GetModuleHandleW(nullptr);
  ofn.lpstrFilter = request.filters.empty() ? nullptr : filters.c_str();
  ofn.nFilterIndex = DWORD(request.initialFilter + 1);
  ofn.lpstrFile = name.data();
  ofn.nMaxFile = DWORD(name.size());
  ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
  ofn.lpstrTitle = title.empty() ? nullptr : title.c_str();
  ofn.Flags = OFN_HIDEREADONLY | OFN_EXPLORER | OFN_ENABLESIZING | OFN_NOCHANGEDIR;
  if (save) {
    // The program asks about replacing a file itself, in its own words; a
    // folder that does not exist is refused by the dialog on the spot.
    ofn.Flags |= OFN_PATHMUSTEXIST | OFN_NOREADONLYRETURN;
    // With a default extension the dialog adds the chosen filter's own to
    // a name typed without one.
    ofn.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
  } else {
    ofn.Flags |= OFN_FILEMUSTEXIST;
    if (request.several) ofn.Flags |= OFN_ALLOWMULTISELECT;
  }
  BeginModal();
  const BOOL chosen = save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn);
  EndModal();
  if (!chosen || name[0] == L'\0') return std::nullopt;
  const size_t filter = ofn.nFilterIndex > 0 ? size_t(ofn.nFilterIndex - 1) : 0;
  FileChoice choice{Narrow(name.data()), filter, {}};
  if (!save && request.several) {
    // Several files come as their folder, then each name, each ended by a
    // zero, the list by a second one; one file comes as its whole path.
    const std::wstring first(name.data());
    std::vector<std::wstring> names;
    for (size_t at = first.size() + 1; at < name.size() && name[at] != L'\0';) {
      names.emplace_back(name.data() + at);
      at += names.back().size() + 1;
    }
    for (const std::wstring& file : names) {
      std::wstring path = first;
      if (!path.empty() && path.back() != L'\\') path += L'\\';
      choice.paths.push_back(Narrow((path + file).c_str()));
    }
    if (!choice.paths.empty()) choice.path = choice.paths.front();
  }
  return choice;
}

MessageAnswer Win32Window::ShowMessage(const Message& message) {
  UINT style = 0;  // owned by the window, so modal to it
  switch (message.icon) {
    case MessageIcon::Information: style |= MB_ICONINFORMATION; break;
    case MessageIcon::Warning: style |= MB_ICONWARNING; break;
    case MessageIcon::Question: style |= MB_ICONQUESTION; break;
    default: break;
  }
  // The message box has no Save / Don't Save / Cancel set; Yes / No /
  // Cancel stand for them in that order.
  style |= message.buttons == MessageButtons::YesNo               ? MB_YESNO
           : message.buttons == MessageButtons::SaveDiscardCancel ? MB_YESNOCANCEL
                                                                  : MB_OK;
  BeginModal();
  const int answer = MessageBoxW(hwnd_, Widen(message.text).c_str(),
                                 Widen(message.caption).c_str(), style);
  EndModal();
  const bool saveSet = message.buttons == MessageButtons::SaveDiscardCancel;
  switch (answer) {
    case IDYES: return saveSet ? MessageAnswer::Save : MessageAnswer::Yes;
    case IDNO: return saveSet ? MessageAnswer::Discard : MessageAnswer::No;
    case IDCANCEL: return saveSet ? MessageAnswer::Cancel : MessageAnswer::Ok;
    default:
      // A box that could not be shown answers its most careful choice.
      return message.buttons == MessageButtons::Ok      ? MessageAnswer::Ok
             : message.buttons == MessageButtons::YesNo ? MessageAnswer::No
                                                        : MessageAnswer::Cancel;
  }
}

namespace {

// A label as it reads: "&" marks a menu's access key.
std::wstring PlainLabel(const std::string& text) {
  std::wstring label;
  for (const wchar_t c : Widen(text)) {
    label.push_back(c);
    if (c == L'&') label.push_back(L'&');
  }
  return label;
}

// A popup menu of the items, submenus included; null when one cannot be made.
HMENU MakeMenu(const std::vector<MenuItem>& items) {
  HMENU menu = CreatePopupMenu();
  if (!menu) return nullptr;
  for (const MenuItem& item : items) {
    if (!item.submenu.empty()) {
      HMENU sub = MakeMenu(item.submenu);
      if (!sub) continue;
      AppendMenuW(menu, MF_POPUP | (item.enabled ? MF_ENABLED : MF_GRAYED),
                  reinterpret_cast<UINT_PTR>(sub), PlainLabel(item.label).c_str());
    } else if (item.command == 0) {
      AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    } else {
      // After a tab, menus show the text as the item's key, in a column of its own.
      std::wstring label = PlainLabel(item.label);
      if (!item.shortcut.empty()) label += L"\t" + Widen(item.shortcut);
      AppendMenuW(menu, MF_STRING | (item.enabled ? MF_ENABLED : MF_GRAYED),
                  UINT_PTR(item.command), label.c_str());
    }
  }
  return menu;
}

}  // namespace

int Win32Window::ShowContextMenu(Point at, const std::vector<MenuItem>& items) {
  if (!hwnd_ || items.empty()) return 0;
  // Destroying the menu destroys its submenus too.
  HMENU menu = MakeMenu(items);
  if (!menu) return 0;
  POINT p{at.x, at.y};
  ClientToScreen(hwnd_, &p);
  BeginModal();
  const int chosen = int(TrackPopupMenuEx(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY,
                                          p.x, p.y, hwnd_, nullptr));
  EndModal();
  DestroyMenu(menu);
  return chosen;
}

}  // namespace platform::win32
