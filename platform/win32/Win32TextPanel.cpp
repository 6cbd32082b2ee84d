// The text panel: a modeless dialog made from a template in memory, its
// controls made when it starts, so it needs no resource script.
#include "platform/win32/Win32TextPanel.h"

#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cwchar>

#include "platform/win32/MessageLoop.h"
#include "platform/win32/WideText.h"

namespace platform::win32 {

namespace {

constexpr int kMargin = 8;
constexpr int kLabelWidth = 64;
constexpr int kFieldWidth = 240;
constexpr int kRow = 24;
constexpr int kSwatch = 20;

std::vector<WORD> PanelTemplate() {
  std::vector<WORD> words;
  auto dword = [&words](DWORD v) {
    words.push_back(LOWORD(v));
    words.push_back(HIWORD(v));
  };
  dword(DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU);
  dword(WS_EX_TOOLWINDOW);
  for (int i = 0; i < 5; ++i) words.push_back(i == 3 ? 150 : i == 4 ? 120 : 0);
  words.push_back(0);  // no menu
  words.push_back(0);  // the standard dialog class
  words.push_back(0);  // the title comes later
  words.push_back(8);
  for (wchar_t c : std::wstring(L"MS Shell Dlg")) words.push_back(WORD(c));
  words.push_back(0);
  return words;
}

INT_PTR CALLBACK PanelProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) SetWindowLongPtrW(dialog, DWLP_USER, lParam);
  auto* panel = reinterpret_cast<Win32TextPanel*>(GetWindowLongPtrW(dialog, DWLP_USER));
  return panel ? panel->Handle(message, wParam, lParam) : FALSE;
}

COLORREF ToColorRef(uint32_t argb) {
  return RGB(argb >> 16 & 0xff, argb >> 8 & 0xff, argb & 0xff);
}

std::wstring Text(const std::string& s) { return Widen(s); }

// Line ends as the edit control has them.
std::wstring WithCrLf(const std::string& utf8) {
  std::wstring out;
  for (wchar_t c : Widen(utf8)) {
    if (c == L'\n') out += L'\r';
    out += c;
  }
  return out;
}

std::string WithoutCr(const std::wstring& text) {
  std::wstring out;
  for (wchar_t c : text)
    if (c != L'\r') out += c;
  return Narrow(out);
}

std::wstring WindowText(HWND control) {
  const int length = GetWindowTextLengthW(control);
  std::wstring text(size_t(std::max(0, length)) + 1, L'\0');
  GetWindowTextW(control, text.data(), length + 1);
  text.resize(size_t(std::max(0, length)));
  return text;
}

}  // namespace

Win32TextPanel::~Win32TextPanel() {
  handler_ = nullptr;
  Close();
}

void Win32TextPanel::Make() {
  const std::vector<WORD> shape = PanelTemplate();
  dialog_ = CreateDialogIndirectParamW(GetModuleHandleW(nullptr),
                                       reinterpret_cast<LPCDLGTEMPLATEW>(shape.data()), owner_,
                                       PanelProcedure, reinterpret_cast<LPARAM>(this));
  if (!dialog_) return;
  // Tab, Enter and Escape move about the panel as in any dialog.
  filterId_ = ThreadLoop().AddFilter([this](MSG& message) {
    return dialog_ && IsDialogMessageW(dialog_, &message);
  });
}

void Win32TextPanel::Show(const TextPanelModel& model, TextPanelHandler& handler,
                          bool focusWords) {
  if (!dialog_) Make();
  if (!dialog_) return;
  handler_ = &handler;
  const bool shown = IsWindowVisible(dialog_) != FALSE;
  Fill(model);
  if (!shown) {
    // Beside the main window where the screen has room, else over its edge.
    RECT owner{}, panel{};
    GetWindowRect(owner_, &owner);
    GetWindowRect(dialog_, &panel);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(owner_, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT room = monitor.rcWork;
    const int w = panel.right - panel.left, h = panel.bottom - panel.top;
    int x = owner.right;
    if (x + w > room.right) x = owner.left - w;
    if (x < room.left) x = room.right - w;
    const int y = std::max(room.top, std::min(owner.top, room.bottom - h));
    SetWindowPos(dialog_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  ShowWindow(dialog_, focusWords ? SW_SHOW : SW_SHOWNA);
  if (focusWords) {
    HWND words = GetDlgItem(dialog_, kTextWordsId);
    SetActiveWindow(dialog_);
    SetFocus(words);
    SendMessageW(words, EM_SETSEL, 0, -1);
  }
}

void Win32TextPanel::Close() {
  if (filterId_) ThreadLoop().RemoveFilter(filterId_);
  filterId_ = 0;
  HWND dialog = dialog_;
  dialog_ = nullptr;
  made_ = false;
  if (dialog) DestroyWindow(dialog);
}

void Win32TextPanel::Fill(const TextPanelModel& model) {
  quiet_ = true;
  const TextPanelModel before = model_;
  model_ = model;
  SetWindowTextW(dialog_, Text(model.labels.title).c_str());
  const HFONT font = HFONT(SendMessageW(dialog_, WM_GETFONT, 0, 0));
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  if (!made_) {
    made_ = true;
    auto make = [&](const wchar_t* cls, const std::wstring& text, DWORD style, int id, int x,
                    int y, int w, int h, DWORD ex = 0) {
      HWND c = CreateWindowExW(ex, cls, text.c_str(), WS_CHILD | WS_VISIBLE | style, x, y, w, h,
                               dialog_, HMENU(INT_PTR(id)), instance, nullptr);
      SendMessageW(c, WM_SETFONT, WPARAM(font), FALSE);
      return c;
    };
    const TextPanelLabels& l = model.labels;
    const int fx = kMargin + kLabelWidth;
    int y = kMargin;
    make(L"STATIC", Text(l.words), 0, -1, kMargin, y + 3, kLabelWidth, 16);
    make(L"EDIT", L"",
         WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN, kTextWordsId,
         fx, y, kFieldWidth, 4 * kRow, WS_EX_CLIENTEDGE);
    y += 4 * kRow + 6;
    make(L"STATIC", Text(l.font), 0, -1, kMargin, y + 3, kLabelWidth, 16);
    make(L"COMBOBOX", L"", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, kTextFontId, fx, y,
         kFieldWidth, 200);
    y += kRow + 4;
    make(L"STATIC", Text(l.size), 0, -1, kMargin, y + 3, kLabelWidth, 16);
    make(L"EDIT", L"", WS_TABSTOP | ES_AUTOHSCROLL, kTextSizeId, fx, y, 64, 21, WS_EX_CLIENTEDGE);
    make(UPDOWN_CLASSW, L"", UDS_ARROWKEYS, kTextSizeSpinId, fx + 64, y, 16, 21);
    y += kRow + 4;
    make(L"STATIC", Text(l.colour), 0, -1, kMargin, y + 3, kLabelWidth, 16);
    for (size_t i = 0; i < model.palette.size() && i < 10; ++i)
      make(L"BUTTON", L"", WS_TABSTOP | BS_OWNERDRAW, kTextSwatchId + int(i),
           fx + int(i) * (kSwatch + 2), y, kSwatch, kSwatch);
    y += kRow + 2;
    make(L"BUTTON", Text(l.moreColours), WS_TABSTOP | BS_PUSHBUTTON, kTextMoreColoursId, fx, y,
         120, 23);
    make(L"BUTTON", L"", BS_OWNERDRAW | WS_DISABLED, kTextColourId, fx + 128, y, 40, 23);
    y += kRow + 6;
    make(L"BUTTON", Text(l.bold), WS_TABSTOP | BS_AUTOCHECKBOX | BS_PUSHLIKE, kTextBoldId, fx, y,
         56, 23);
    make(L"BUTTON", Text(l.italic), WS_TABSTOP | BS_AUTOCHECKBOX | BS_PUSHLIKE, kTextItalicId,
         fx + 58, y, 56, 23);
    make(L"BUTTON", Text(l.left), WS_TABSTOP | WS_GROUP | BS_AUTORADIOBUTTON | BS_PUSHLIKE,
         kTextLeftId, fx + 122, y, 38, 23);
    make(L"BUTTON", Text(l.centre), BS_AUTORADIOBUTTON | BS_PUSHLIKE, kTextCentreId, fx + 161, y,
         40, 23);
    make(L"BUTTON", Text(l.right), BS_AUTORADIOBUTTON | BS_PUSHLIKE, kTextRightId, fx + 202, y,
         38, 23);
    y += kRow + 6;
    HWND effect = make(L"COMBOBOX", L"", WS_TABSTOP | WS_GROUP | CBS_DROPDOWNLIST, kTextEffectId,
                       fx, y, 120, 100);
    for (const std::string* e : {&l.noEffect, &l.shadow, &l.outline})
      SendMessageW(effect, CB_ADDSTRING, 0, LPARAM(Text(*e).c_str()));
    make(L"BUTTON", Text(l.close), WS_TABSTOP | BS_PUSHBUTTON, IDCANCEL,
         fx + kFieldWidth - 80, y, 80, 23);
    y += kRow + kMargin;
    RECT frame{0, 0, fx + kFieldWidth + kMargin, y};
    AdjustWindowRectEx(&frame, DWORD(GetWindowLongPtrW(dialog_, GWL_STYLE)), FALSE,
                       DWORD(GetWindowLongPtrW(dialog_, GWL_EXSTYLE)));
    SetWindowPos(dialog_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  HWND words = GetDlgItem(dialog_, kTextWordsId);
  // Only what differs: the words typed a moment ago come back unchanged,
  // and setting them again would lose the caret.
  if (WithoutCr(WindowText(words)) != model.words)
    SetWindowTextW(words, WithCrLf(model.words).c_str());
  HWND fonts = GetDlgItem(dialog_, kTextFontId);
  if (before.fonts != model.fonts || SendMessageW(fonts, CB_GETCOUNT, 0, 0) != LRESULT(model.fonts.size())) {
    SendMessageW(fonts, CB_RESETCONTENT, 0, 0);
    for (const std::string& f : model.fonts)
      SendMessageW(fonts, CB_ADDSTRING, 0, LPARAM(Text(f).c_str()));
  }
  const auto chosen = std::find(model.fonts.begin(), model.fonts.end(), model.font);
  SendMessageW(fonts, CB_SETCURSEL,
               chosen == model.fonts.end() ? WPARAM(-1) : WPARAM(chosen - model.fonts.begin()), 0);
  if (GetFocus() != GetDlgItem(dialog_, kTextSizeId)) ShowSize();
  CheckDlgButton(dialog_, kTextBoldId, model.bold ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(dialog_, kTextItalicId, model.italic ? BST_CHECKED : BST_UNCHECKED);
  CheckRadioButton(dialog_, kTextLeftId, kTextRightId, kTextLeftId + int(model.align));
  SendDlgItemMessageW(dialog_, kTextEffectId, CB_SETCURSEL, WPARAM(model.effect), 0);
  for (size_t i = 0; i < model.palette.size() && i < 10; ++i)
    InvalidateRect(GetDlgItem(dialog_, kTextSwatchId + int(i)), nullptr, FALSE);
  InvalidateRect(GetDlgItem(dialog_, kTextColourId), nullptr, FALSE);
  quiet_ = false;
}

void Win32TextPanel::ShowSize() {
  wchar_t text[32];
  std::swprintf(text, 32, L"%g", model_.sizePoints);
  SetDlgItemTextW(dialog_, kTextSizeId, text);
}

void Win32TextPanel::ReadSize() {
  const std::wstring text = WindowText(GetDlgItem(dialog_, kTextSizeId));
  wchar_t* end = nullptr;
  const double points = std::wcstod(text.c_str(), &end);
  // A number out of range, or no number, gives the size back as it was.
  if (end == text.c_str() || !std::isfinite(points) || points < model_.minPoints ||
      points > model_.maxPoints) {
    ShowSize();
    return;
  }
  if (points == model_.sizePoints) return;
  model_.sizePoints = points;
  Report(TextPanelChange::Size);
}

void Win32TextPanel::Report(TextPanelChange what) {
  if (quiet_ || !handler_) return;
  const TextPanelModel shown = model_;
  handler_->TextPanelChanged(shown, what);
}

void Win32TextPanel::ChooseColour() {
  CHOOSECOLORW choose{};
  choose.lStructSize = sizeof choose;
  choose.hwndOwner = dialog_;
  choose.rgbResult = ToColorRef(model_.colour);
  choose.lpCustColors = customColours_;
  choose.Flags = CC_RGBINIT | CC_FULLOPEN;
  if (!ChooseColorW(&choose)) return;
  const COLORREF c = choose.rgbResult;
  model_.colour = 0xff000000u | uint32_t(GetRValue(c)) << 16 | uint32_t(GetGValue(c)) << 8 |
                  uint32_t(GetBValue(c));
  InvalidateRect(dialog_, nullptr, FALSE);
  Report(TextPanelChange::Colour);
}

intptr_t Win32TextPanel::Handle(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  switch (message) {
    case WM_INITDIALOG:
      return FALSE;  // the focus is placed by Show
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      uint32_t colour = model_.colour;
      bool chosen = false;
      if (item->CtlID >= UINT(kTextSwatchId) && item->CtlID < UINT(kTextSwatchId + 10)) {
        const size_t i = item->CtlID - UINT(kTextSwatchId);
        if (i >= model_.palette.size()) return TRUE;
        colour = model_.palette[i];
        chosen = (colour | 0xff000000u) == (model_.colour | 0xff000000u);
      }
      RECT r = item->rcItem;
      FillRect(item->hDC, &r, GetSysColorBrush(chosen ? COLOR_HIGHLIGHT : COLOR_BTNSHADOW));
      InflateRect(&r, chosen ? -3 : -1, chosen ? -3 : -1);
      HBRUSH brush = CreateSolidBrush(ToColorRef(colour));
      FillRect(item->hDC, &r, brush);
      DeleteObject(brush);
      if (item->itemState & ODS_FOCUS) {
        RECT f = item->rcItem;
        DrawFocusRect(item->hDC, &f);
      }
      return TRUE;
    }
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (header->idFrom == UINT_PTR(kTextSizeSpinId) && header->code == UDN_DELTAPOS) {
        const auto* delta = reinterpret_cast<const NMUPDOWN*>(lParam);
        const double points = std::clamp(std::floor(model_.sizePoints) - delta->iDelta,
                                         model_.minPoints, model_.maxPoints);
        if (points != model_.sizePoints) {
          model_.sizePoints = points;
          ShowSize();
          Report(TextPanelChange::Size);
        }
        SetWindowLongPtrW(dialog_, DWLP_MSGRESULT, 1);  // the control's own count is not used
        return TRUE;
      }
      return FALSE;
    }
    case WM_COMMAND: {
      const int id = LOWORD(wParam), code = HIWORD(wParam);
      if (id == kTextWordsId && code == EN_CHANGE) {
        if (quiet_) return TRUE;
        model_.words = WithoutCr(WindowText(GetDlgItem(dialog_, kTextWordsId)));
        Report(TextPanelChange::Words);
      } else if (id == kTextFontId && code == CBN_SELCHANGE) {
        const LRESULT i = SendDlgItemMessageW(dialog_, kTextFontId, CB_GETCURSEL, 0, 0);
        if (i >= 0 && size_t(i) < model_.fonts.size()) {
          model_.font = model_.fonts[size_t(i)];
          Report(TextPanelChange::Font);
        }
      } else if (id == kTextSizeId && code == EN_KILLFOCUS) {
        ReadSize();
      } else if (id == IDOK) {
        // Enter in the size field takes the number.
        if (GetFocus() == GetDlgItem(dialog_, kTextSizeId)) ReadSize();
      } else if (id == kTextEffectId && code == CBN_SELCHANGE) {
        const LRESULT i = SendDlgItemMessageW(dialog_, kTextEffectId, CB_GETCURSEL, 0, 0);
        if (i >= 0 && i <= 2) {
          model_.effect = TextPanelEffect(i);
          Report(TextPanelChange::Effect);
        }
      } else if (id == kTextBoldId || id == kTextItalicId) {
        const bool on = IsDlgButtonChecked(dialog_, id) == BST_CHECKED;
        (id == kTextBoldId ? model_.bold : model_.italic) = on;
        Report(id == kTextBoldId ? TextPanelChange::Bold : TextPanelChange::Italic);
      } else if (id >= kTextLeftId && id <= kTextRightId && code == BN_CLICKED) {
        if (model_.align != TextPanelAlign(id - kTextLeftId)) {
          model_.align = TextPanelAlign(id - kTextLeftId);
          Report(TextPanelChange::Align);
        }
      } else if (id == kTextMoreColoursId) {
        ChooseColour();
      } else if (id >= kTextSwatchId && id < kTextSwatchId + 10 && code == BN_CLICKED) {
        const size_t i = size_t(id - kTextSwatchId);
        if (i < model_.palette.size()) {
          model_.colour = model_.palette[i];
          InvalidateRect(dialog_, nullptr, FALSE);
          Report(TextPanelChange::Colour);
        }
      } else if (id == IDCANCEL) {
        TextPanelHandler* handler = handler_;
        handler_ = nullptr;
        Close();
        if (handler) handler->TextPanelClosed();
      }
      return TRUE;
    }
    default:
      return FALSE;
  }
}

}  // namespace platform::win32
