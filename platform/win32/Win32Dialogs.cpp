// The window's modal dialogs, questions and menus.
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/win32/WideText.h"
#include "platform/win32/Win32TextPanel.h"
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

// Centres the first window that the owner's dialog or message makes active
// on the owner, within the owner's monitor: the system places common dialogs
// and message boxes where it likes (often the screen's corner under Wine).
// Lives for one modal call on this thread.
class CentreOnOwner {
 public:
  explicit CentreOnOwner(HWND owner) : outer_(current_) {
    current_ = State{owner, false};
    hook_ = owner ? SetWindowsHookExW(WH_CBT, &Procedure, nullptr, GetCurrentThreadId()) : nullptr;
  }
  ~CentreOnOwner() {
    if (hook_) UnhookWindowsHookEx(hook_);
    current_ = outer_;
  }
  CentreOnOwner(const CentreOnOwner&) = delete;
  CentreOnOwner& operator=(const CentreOnOwner&) = delete;

 private:
  struct State {
    HWND owner = nullptr;
    bool done = false;
  };

  static LRESULT CALLBACK Procedure(int code, WPARAM wParam, LPARAM lParam) {
    const HWND window = reinterpret_cast<HWND>(wParam);
    if (code == HCBT_ACTIVATE && !current_.done && current_.owner && window != current_.owner &&
        GetWindow(window, GW_OWNER) == current_.owner) {
      current_.done = true;
      Centre(window, current_.owner);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }

  static void Centre(HWND window, HWND owner) {
    RECT mine{}, theirs{};
    if (!GetWindowRect(window, &mine) || !GetWindowRect(owner, &theirs)) return;
    const LONG w = mine.right - mine.left, h = mine.bottom - mine.top;
    LONG x = (theirs.left + theirs.right) / 2 - w / 2;
    LONG y = (theirs.top + theirs.bottom) / 2 - h / 2;
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoW(MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &info)) {
      const RECT& work = info.rcWork;
      x = std::max(work.left, std::min(x, work.right - w));
      y = std::max(work.top, std::min(y, work.bottom - h));
    }
    SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }

  static thread_local State current_;
  State outer_;
  HHOOK hook_ = nullptr;
};

thread_local CentreOnOwner::State CentreOnOwner::current_;

// TaskDialogIndirect, from the common controls of version 6 (which the
// program's manifest asks for); null on systems without it.
using TaskDialogProcedure = HRESULT(WINAPI*)(const TASKDIALOGCONFIG*, int*, int*, BOOL*);

TaskDialogProcedure FindTaskDialog() {
  const HMODULE controls = LoadLibraryW(L"comctl32.dll");
  if (!controls) return nullptr;
  const FARPROC found = GetProcAddress(controls, "TaskDialogIndirect");
  return reinterpret_cast<TaskDialogProcedure>(reinterpret_cast<void*>(found));
}

constexpr int kFirstButton = 1000;
constexpr int kNoTaskDialog = -1;
constexpr int kDismissed = -2;

// The buttons' words: the caller's, else the ones the set is known by.
std::vector<std::string> ButtonWords(const Message& message) {
  static const std::vector<std::string> kWords[] = {
      {"OK"}, {"Yes", "No"}, {"Save", "Don't Save", "Cancel"}};
  std::vector<std::string> words = kWords[int(message.buttons)];
  for (size_t i = 0; i < words.size() && i < message.labels.size(); ++i)
    words[i] = message.labels[i];
  return words;
}

// The answer of button `index` of the set, or the set's most careful one
// (the message was closed without a button).
MessageAnswer AnswerAt(MessageButtons buttons, int index) {
  switch (buttons) {
    case MessageButtons::Ok:
      return MessageAnswer::Ok;
    case MessageButtons::YesNo:
      return index == 0 ? MessageAnswer::Yes : MessageAnswer::No;
    case MessageButtons::SaveDiscardCancel:
      return index == 0 ? MessageAnswer::Save
             : index == 1 ? MessageAnswer::Discard
                          : MessageAnswer::Cancel;
  }
  return MessageAnswer::Cancel;
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
  BOOL chosen = FALSE;
  {
    CentreOnOwner centred(hwnd_);
    BeginModal();
    chosen = save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn);
    EndModal();
  }
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

int Win32Window::RunTaskDialog(const Message& message, const std::vector<std::string>& labels) {
  static const TaskDialogProcedure taskDialog = FindTaskDialog();
  if (!taskDialog || labels.empty()) return kNoTaskDialog;
  // The first line is what happened, in large; the rest tells more.
  const size_t cut = message.text.find('\n');
  const std::wstring instruction = Widen(message.text.substr(0, cut));
  const std::wstring content = cut == std::string::npos ? std::wstring() : Widen(message.text.substr(cut + 1));
  const std::wstring caption = Widen(message.caption);
  std::vector<std::wstring> words;
  for (const std::string& label : labels) words.push_back(Widen(label));
  std::vector<TASKDIALOG_BUTTON> buttons;
  for (size_t i = 0; i < words.size(); ++i)
    buttons.push_back(TASKDIALOG_BUTTON{kFirstButton + int(i), words[i].c_str()});

  TASKDIALOGCONFIG config{};
  config.cbSize = sizeof config;
  config.hwndParent = hwnd_;
  config.hInstance = GetModuleHandleW(nullptr);
  // Escape and the title bar's button close it, as the most careful answer.
  config.dwFlags = TDF_POSITION_RELATIVE_TO_WINDOW | TDF_ALLOW_DIALOG_CANCELLATION;
  config.pszWindowTitle = caption.c_str();
  switch (message.icon) {
    case MessageIcon::Information: config.pszMainIcon = TD_INFORMATION_ICON; break;
    case MessageIcon::Warning: config.pszMainIcon = TD_WARNING_ICON; break;
    case MessageIcon::Error: config.pszMainIcon = TD_ERROR_ICON; break;
    case MessageIcon::Question:
      // Task dialogs have no question icon of their own.
      config.hMainIcon = LoadIconW(nullptr, IDI_QUESTION);
      config.dwFlags |= TDF_USE_HICON_MAIN;
      break;
    default: break;
  }
  config.pszMainInstruction = instruction.c_str();
  config.pszContent = content.empty() ? nullptr : content.c_str();
  config.cButtons = UINT(buttons.size());
  config.pButtons = buttons.data();
  config.nDefaultButton = kFirstButton;
  int pressed = 0;
  BeginModal();
  const HRESULT shown = taskDialog(&config, &pressed, nullptr, nullptr);
  EndModal();
  if (FAILED(shown)) return kNoTaskDialog;
  const int index = pressed - kFirstButton;
  return index >= 0 && size_t(index) < buttons.size() ? index : kDismissed;
}

bool Win32Window::CopyToClipboard(const std::string& text) {
  const std::wstring wide = Widen(text);
  const size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
  if (!OpenClipboard(hwnd_)) return false;
  bool done = false;
  if (EmptyClipboard()) {
    if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
      if (void* place = GlobalLock(memory)) {
        std::memcpy(place, wide.c_str(), bytes);
        GlobalUnlock(memory);
        done = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;  // the clipboard's now
      }
      if (!done) GlobalFree(memory);
    }
  }
  CloseClipboard();
  return done;
}

bool Win32Window::ShowLocalPage(const std::string& path, const std::string& title) {
  const DWORD attributes = GetFileAttributesW(Widen(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
  // Windows has no HTML view to spare: the page's file, for any browser
  // that comes later, and its path to take along.
  Message page{"No web browser could show " + title + ".\nIt is the file \"" + path +
                   "\"; any web browser shows it.",
               title, MessageIcon::Information, MessageButtons::YesNo, {"Copy Path", "Close"}};
  int chosen = RunTaskDialog(page, page.labels);
  if (chosen == kNoTaskDialog) {
    page.text += "\n\nCopy its path to the clipboard?";
    page.labels.clear();
    chosen = ShowMessage(page) == MessageAnswer::Yes ? 0 : 1;
  }
  if (chosen == 0 && !CopyToClipboard(path))
    ShowMessage(Message{"The path could not be put on the clipboard.", title, MessageIcon::Warning,
                        MessageButtons::Ok, {}});
  return true;
}

MessageAnswer Win32Window::ShowMessage(const Message& message) {
  // Buttons that carry the program's words are a task dialog's; the message
  // box below has only the system's (Yes / No / Cancel stand for Save /
  // Don't Save / Cancel there, in that order).
  if (!message.labels.empty() || message.buttons == MessageButtons::SaveDiscardCancel) {
    const int chosen = RunTaskDialog(message, ButtonWords(message));
    if (chosen != kNoTaskDialog) return AnswerAt(message.buttons, chosen);
  }
  UINT style = 0;  // owned by the window, so modal to it
  switch (message.icon) {
    case MessageIcon::Information: style |= MB_ICONINFORMATION; break;
    case MessageIcon::Warning: style |= MB_ICONWARNING; break;
    case MessageIcon::Question: style |= MB_ICONQUESTION; break;
    case MessageIcon::Error: style |= MB_ICONERROR; break;
    default: break;
  }
  style |= message.buttons == MessageButtons::YesNo               ? MB_YESNO
           : message.buttons == MessageButtons::SaveDiscardCancel ? MB_YESNOCANCEL
                                                                  : MB_OK;
  int answer = 0;
  {
    CentreOnOwner centred(hwnd_);
    BeginModal();
    answer = MessageBoxW(hwnd_, Widen(message.text).c_str(), Widen(message.caption).c_str(), style);
    EndModal();
  }
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

void Win32Window::ShowTextPanel(const TextPanelModel& model, TextPanelHandler& handler,
                                bool focusWords) {
  if (!hwnd_) return;
  if (!textPanel_) textPanel_ = std::make_unique<Win32TextPanel>(hwnd_);
  textPanel_->Show(model, handler, focusWords);
}

void Win32Window::CloseTextPanel() {
  if (textPanel_) textPanel_->Close();
}

bool Win32Window::TextPanelOpen() const { return textPanel_ && textPanel_->Open(); }

HWND Win32Window::TextPanelHandle() const { return textPanel_ ? textPanel_->Dialog() : nullptr; }

}  // namespace platform::win32
