// The design chooser: a modal dialog with a list of pictures (a list view
// in icon mode) and its two buttons. The dialog is made from a template in
// memory and filled in when it starts, so it needs no resource script.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/win32/DialogTemplate.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32Window.h"

namespace platform::win32 {

namespace {

constexpr int kMargin = 10;
constexpr int kButtonWidth = 96;
constexpr int kButtonHeight = 26;

struct ChooserState {
  const DesignChoices* request = nullptr;
  HIMAGELIST images = nullptr;
  HWND list = nullptr;
  std::vector<std::wstring> labels;  // the list reads them while it lives
};

// The picture centred on a tile of the thumbnail size, as a 32-bit bitmap
// for the image list; alpha 0 around it.
HBITMAP TileBitmap(const DesignChoice& choice, int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap || !bits) return bitmap;
  auto* pixels = static_cast<uint8_t*>(bits);
  std::memset(pixels, 0, size_t(width) * size_t(height) * 4);
  const int w = std::min(choice.width, width), h = std::min(choice.height, height);
  if (w > 0 && h > 0 && choice.rgb.size() >= size_t(choice.width) * size_t(choice.height) * 3) {
    const int left = (width - w) / 2, top = (height - h) / 2;
    for (int y = 0; y < h; ++y) {
      const uint8_t* src = choice.rgb.data() + size_t(y) * size_t(choice.width) * 3;
      uint8_t* dst = pixels + (size_t(top + y) * size_t(width) + size_t(left)) * 4;
      for (int x = 0; x < w; ++x, src += 3, dst += 4) {
        // A thin grey edge keeps a white card apart from the white list.
        const bool edge = x == 0 || y == 0 || x == w - 1 || y == h - 1;
        dst[0] = edge ? 160 : src[2];
        dst[1] = edge ? 160 : src[1];
        dst[2] = edge ? 160 : src[0];
        dst[3] = 255;
      }
    }
  }
  return bitmap;
}

int SelectedIndex(HWND list) {
  return int(SendMessageW(list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED));
}

void Fill(HWND dialog, ChooserState& state) {
  const DesignChoices& request = *state.request;
  const int tileW = std::max(16, request.thumbnailWidth);
  const int tileH = std::max(16, request.thumbnailHeight);
  const HFONT font = HFONT(SendMessageW(dialog, WM_GETFONT, 0, 0));

  // Three columns, two and a half rows; the rest scrolls.
  const int cellW = tileW + 28, cellH = tileH + 44;
  const int listW = 3 * cellW + GetSystemMetrics(SM_CXVSCROLL) + 8;
  const int listH = cellH * 5 / 2;
  const int clientW = listW + 2 * kMargin;
  const int clientH = listH + 3 * kMargin + kButtonHeight;
  SizeAndCentreDialog(dialog, clientW, clientH);

  state.list = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                               WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_ICON | LVS_SINGLESEL | LVS_SHAREIMAGELISTS |
                                   LVS_SHOWSELALWAYS | LVS_AUTOARRANGE,
                               kMargin, kMargin, listW, listH, dialog, HMENU(INT_PTR(kDesignListId)),
                               GetModuleHandleW(nullptr), nullptr);
  SendMessageW(state.list, WM_SETFONT, WPARAM(font), TRUE);
  state.images = ImageList_Create(tileW, tileH, ILC_COLOR32, int(request.choices.size()), 0);
  for (const DesignChoice& choice : request.choices) {
    HBITMAP bitmap = TileBitmap(choice, tileW, tileH);
    ImageList_Add(state.images, bitmap, nullptr);
    if (bitmap) DeleteObject(bitmap);
  }
  SendMessageW(state.list, LVM_SETIMAGELIST, LVSIL_NORMAL, LPARAM(state.images));
  SendMessageW(state.list, LVM_SETICONSPACING, 0, MAKELPARAM(cellW, cellH));
  state.labels.reserve(request.choices.size());
  for (size_t i = 0; i < request.choices.size(); ++i) {
    const DesignChoice& choice = request.choices[i];
    state.labels.push_back(Widen(choice.detail.empty() ? choice.name
                                                        : choice.name + ", " + choice.detail));
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = int(i);
    item.iImage = int(i);
    item.pszText = const_cast<wchar_t*>(state.labels.back().c_str());
    SendMessageW(state.list, LVM_INSERTITEMW, 0, LPARAM(&item));
  }

  const std::wstring accept = Widen(request.acceptLabel.empty() ? "OK" : request.acceptLabel);
  const int buttonTop = kMargin + listH + kMargin;
  HWND ok = CreateWindowExW(0, L"BUTTON", accept.c_str(),
                            WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON,
                            clientW - kMargin - 2 * kButtonWidth - 6, buttonTop, kButtonWidth,
                            kButtonHeight, dialog, HMENU(INT_PTR(IDOK)), GetModuleHandleW(nullptr),
                            nullptr);
  HWND cancel = CreateWindowExW(0, L"BUTTON", L"Cancel", WS_CHILD | WS_VISIBLE | WS_TABSTOP,
                                clientW - kMargin - kButtonWidth, buttonTop, kButtonWidth,
                                kButtonHeight, dialog, HMENU(INT_PTR(IDCANCEL)),
                                GetModuleHandleW(nullptr), nullptr);
  SendMessageW(ok, WM_SETFONT, WPARAM(font), TRUE);
  SendMessageW(cancel, WM_SETFONT, WPARAM(font), TRUE);

  if (request.selected < request.choices.size()) {
    LVITEMW selected{};
    selected.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    selected.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(state.list, LVM_SETITEMSTATE, WPARAM(request.selected), LPARAM(&selected));
    SendMessageW(state.list, LVM_ENSUREVISIBLE, WPARAM(request.selected), FALSE);
  }
  EnableWindow(ok, SelectedIndex(state.list) >= 0);
}

INT_PTR CALLBACK ChooserProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* state = reinterpret_cast<ChooserState*>(GetWindowLongPtrW(dialog, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG:
      SetWindowLongPtrW(dialog, DWLP_USER, lParam);
      state = reinterpret_cast<ChooserState*>(lParam);
      Fill(dialog, *state);
      SetFocus(state->list);
      return FALSE;  // the focus is set
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (!state || header->hwndFrom != state->list) break;
      if (header->code == LVN_ITEMCHANGED) {
        EnableWindow(GetDlgItem(dialog, IDOK), SelectedIndex(state->list) >= 0);
      } else if (header->code == LVN_ITEMACTIVATE && SelectedIndex(state->list) >= 0) {
        // A double click or Enter on a picture takes it.
        EndDialog(dialog, 1 + SelectedIndex(state->list));
      }
      return TRUE;
    }
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK && state) {
        const int selected = SelectedIndex(state->list);
        if (selected >= 0) EndDialog(dialog, 1 + selected);
        return TRUE;
      }
      if (LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, 0);
        return TRUE;
      }
      break;
    default:
      break;
  }
  return FALSE;
}

}  // namespace

std::optional<size_t> Win32Window::ChooseDesign(const DesignChoices& request) {
  if (!hwnd_ || request.choices.empty()) return std::nullopt;
  const std::vector<WORD> words = EmptyDialogTemplate(Widen(request.title));
  // The template must be DWORD-aligned: copy it into memory that is.
  std::vector<DWORD> aligned((words.size() + 1) / 2, 0);
  std::memcpy(aligned.data(), words.data(), words.size() * sizeof(WORD));
  ChooserState state;
  state.request = &request;
  BeginModal();
  const INT_PTR result =
      DialogBoxIndirectParamW(GetModuleHandleW(nullptr),
                              reinterpret_cast<const DLGTEMPLATE*>(aligned.data()), hwnd_,
                              ChooserProcedure, LPARAM(&state));
  EndModal();
  // The list has gone with the dialog; the image list is the program's.
  if (state.images) ImageList_Destroy(state.images);
  if (result <= 0 || size_t(result - 1) >= request.choices.size()) return std::nullopt;
  return size_t(result - 1);
}

}  // namespace platform::win32
