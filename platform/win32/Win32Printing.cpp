// Printing on Win32: the system's print dialog, the program's page setup (a
// modal dialog made in code), and the page drawn with GDI on the printer's
// own device context at the driver's resolution.
#include <windows.h>
#include <commdlg.h>
#include <winspool.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "platform/win32/DialogTemplate.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32Window.h"

namespace platform::win32 {

namespace {

constexpr double kPointsPerTenthMm = 72.0 / 254.0;

// A DEVMODE with the driver's private part after it, as one block.
using DevMode = std::vector<BYTE>;

DEVMODEW* Mode(DevMode& mode) { return reinterpret_cast<DEVMODEW*>(mode.data()); }

DevMode CopyMode(const DEVMODEW* mode) {
  if (!mode) return {};
  const size_t bytes = size_t(mode->dmSize) + mode->dmDriverExtra;
  const auto* first = reinterpret_cast<const BYTE*>(mode);
  return DevMode(first, first + bytes);
}

HDC MakeDc(const std::wstring& device, DevMode& mode) {
  return CreateDCW(nullptr, device.c_str(), nullptr, mode.empty() ? nullptr : Mode(mode));
}

// What the device context cannot reach at each edge, in points.
PrintMargins DeviceMargins(HDC dc) {
  const double sx = 72.0 / std::max(1, GetDeviceCaps(dc, LOGPIXELSX));
  const double sy = 72.0 / std::max(1, GetDeviceCaps(dc, LOGPIXELSY));
  const int left = GetDeviceCaps(dc, PHYSICALOFFSETX), top = GetDeviceCaps(dc, PHYSICALOFFSETY);
  const int right = GetDeviceCaps(dc, PHYSICALWIDTH) - GetDeviceCaps(dc, HORZRES) - left;
  const int bottom = GetDeviceCaps(dc, PHYSICALHEIGHT) - GetDeviceCaps(dc, VERTRES) - top;
  return {std::max(0, left) * sx, std::max(0, top) * sy, std::max(0, right) * sx,
          std::max(0, bottom) * sy};
}

class Win32Printer : public Printer {
 public:
  Win32Printer(std::wstring device, DevMode mode, int32_t copies)
      : device_(std::move(device)), mode_(std::move(mode)) {
    description_.name = Narrow(device_);
    description_.copies = std::max(1, copies);
    Describe();
  }

  const PrinterDescription& Description() const override { return description_; }

  std::string Print(const PrintPage& page) override {
    if (!page.rgb || page.width <= 0 || page.height <= 0) return "there was no picture to print";
    DevMode mode = mode_;
    if (mode.empty()) return "its driver gave no settings";
    DEVMODEW* m = Mode(mode);
    if (!page.paper.key.empty()) {
      m->dmPaperSize = short(std::atoi(page.paper.key.c_str()));
      m->dmFields = (m->dmFields | DM_PAPERSIZE) & ~DWORD(DM_PAPERWIDTH | DM_PAPERLENGTH);
    } else {
      // A size the driver did not list: asked for by its measures.
      m->dmPaperSize = 0;
      m->dmPaperWidth = short(std::lround(std::min(page.paper.width, page.paper.height) /
                                          kPointsPerTenthMm));
      m->dmPaperLength = short(std::lround(std::max(page.paper.width, page.paper.height) /
                                           kPointsPerTenthMm));
      m->dmFields = (m->dmFields & ~DWORD(DM_PAPERSIZE)) | DM_PAPERWIDTH | DM_PAPERLENGTH;
    }
    m->dmOrientation = short(page.turned ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT);
    m->dmFields |= DM_ORIENTATION;
    // A driver that makes no copies of its own gets every page from here.
    const int driverCopies = int(DeviceCapabilitiesW(device_.c_str(), nullptr, DC_COPIES,
                                                      nullptr, m));
    const int pages = driverCopies >= description_.copies ? 1 : description_.copies;
    m->dmCopies = short(pages == 1 ? description_.copies : 1);
    m->dmFields |= DM_COPIES;

    HDC dc = MakeDc(device_, mode);
    if (!dc) return "the printer could not be started";
    std::string failure = Draw(dc, page, pages);
    DeleteDC(dc);
    return failure;
  }

 private:
  void Describe() {
    HDC dc = MakeDc(device_, mode_);
    if (dc) {
      description_.dpi = std::max(1, GetDeviceCaps(dc, LOGPIXELSX));
      DeleteDC(dc);
    }
    const wchar_t* device = device_.c_str();
    DEVMODEW* mode = mode_.empty() ? nullptr : Mode(mode_);
    const int count = int(DeviceCapabilitiesW(device, nullptr, DC_PAPERS, nullptr, mode));
    if (count > 0 && mode) {
      const size_t n = size_t(count);
      std::vector<WORD> numbers(n);
      std::vector<wchar_t> names(n * 64 + 1, L'\0');
      std::vector<POINT> sizes(n);
      const bool listed =
          DeviceCapabilitiesW(device, nullptr, DC_PAPERS,
                              reinterpret_cast<wchar_t*>(numbers.data()), mode) == count &&
          DeviceCapabilitiesW(device, nullptr, DC_PAPERNAMES, names.data(), mode) == count &&
          DeviceCapabilitiesW(device, nullptr, DC_PAPERSIZE,
                              reinterpret_cast<wchar_t*>(sizes.data()), mode) == count;
      for (int i = 0; listed && i < count; ++i) {
        if (sizes[size_t(i)].x <= 0 || sizes[size_t(i)].y <= 0) continue;
        PrinterPaper paper;
        const wchar_t* name = names.data() + size_t(i) * 64;
        paper.name = Narrow(std::wstring(name, wcsnlen(name, 64)));
        const double a = sizes[size_t(i)].x * kPointsPerTenthMm;
        const double b = sizes[size_t(i)].y * kPointsPerTenthMm;
        paper.width = std::min(a, b);
        paper.height = std::max(a, b);
        paper.key = std::to_string(numbers[size_t(i)]);
        paper.margins = UprightMargins(numbers[size_t(i)]);
        if (numbers[size_t(i)] == WORD(mode->dmPaperSize))
          description_.paper = description_.papers.size();
        description_.papers.push_back(paper);
      }
    }
    if (description_.papers.empty()) {
      // A driver that lists nothing: the paper its context has now.
      PrinterPaper paper;
      paper.name = "Paper";
      HDC now = MakeDc(device_, mode_);
      if (now) {
        paper.width = GetDeviceCaps(now, PHYSICALWIDTH) * 72.0 /
                      std::max(1, GetDeviceCaps(now, LOGPIXELSX));
        paper.height = GetDeviceCaps(now, PHYSICALHEIGHT) * 72.0 /
                       std::max(1, GetDeviceCaps(now, LOGPIXELSY));
        paper.margins = DeviceMargins(now);
        DeleteDC(now);
      }
      if (paper.width <= 0 || paper.height <= 0) {
        paper.name = "A4";
        paper.width = 595.276;
        paper.height = 841.89;
      }
      description_.papers.push_back(paper);
      description_.paper = 0;
    }
  }

  // The margins the driver keeps on paper `number` held upright.
  PrintMargins UprightMargins(WORD number) {
    DevMode mode = mode_;
    DEVMODEW* m = Mode(mode);
    m->dmPaperSize = short(number);
    m->dmOrientation = DMORIENT_PORTRAIT;
    m->dmFields = (m->dmFields | DM_PAPERSIZE | DM_ORIENTATION) &
                  ~DWORD(DM_PAPERWIDTH | DM_PAPERLENGTH);
    HDC dc = CreateICW(nullptr, device_.c_str(), nullptr, m);
    if (!dc) return {};
    const PrintMargins margins = DeviceMargins(dc);
    DeleteDC(dc);
    return margins;
  }

  std::string Draw(HDC dc, const PrintPage& page, int pages) {
    const double sx = GetDeviceCaps(dc, LOGPIXELSX) / 72.0;
    const double sy = GetDeviceCaps(dc, LOGPIXELSY) / 72.0;
    // A page on some other paper would print the card at the wrong place.
    const double width = GetDeviceCaps(dc, PHYSICALWIDTH) / sx;
    const double height = GetDeviceCaps(dc, PHYSICALHEIGHT) / sy;
    const double wantW = page.turned ? page.paper.height : page.paper.width;
    const double wantH = page.turned ? page.paper.width : page.paper.height;
    if (std::fabs(width - wantW) > 3 || std::fabs(height - wantH) > 3)
      return "it takes no paper of " + page.paper.name + "'s size";
    // The device's origin is the printable area's corner, the page's the paper's.
    const int offsetX = GetDeviceCaps(dc, PHYSICALOFFSETX);
    const int offsetY = GetDeviceCaps(dc, PHYSICALOFFSETY);

    // Bottom-up rows of B, G, R, each a multiple of four bytes, as GDI wants them.
    const size_t rowBytes = (size_t(page.width) * 3 + 3) & ~size_t(3);
    std::vector<uint8_t> bgr(rowBytes * size_t(page.height));
    for (int32_t y = 0; y < page.height; ++y) {
      const uint8_t* src = page.rgb + size_t(y) * page.stride;
      uint8_t* dst = bgr.data() + size_t(y) * rowBytes;
      for (int32_t x = 0; x < page.width; ++x, src += 3, dst += 3) {
        dst[0] = src[2];
        dst[1] = src[1];
        dst[2] = src[0];
      }
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = page.width;
    info.bmiHeader.biHeight = -page.height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;

    const std::wstring title = Widen(page.title);
    DOCINFOW doc{};
    doc.cbSize = sizeof doc;
    doc.lpszDocName = title.c_str();
    if (StartDocW(dc, &doc) <= 0) return "the printer could not be started";
    // A quarter point: seen by the eye, gone once the card is cut.
    LOGBRUSH ink{BS_SOLID, RGB(0, 0, 0), 0};
    HPEN pen = ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_FLAT,
                            DWORD(std::max(1L, std::lround(0.25 * sx))), &ink, 0, nullptr);
    bool ok = true;
    for (int copy = 0; copy < pages && ok; ++copy) {
      ok = StartPage(dc) > 0;
      if (!ok) break;
      SetStretchBltMode(dc, HALFTONE);
      SetBrushOrgEx(dc, 0, 0, nullptr);
      for (const PrintPage::Box& box : page.cards) {
        const long left = std::lround(box.x * sx) - offsetX;
        const long top = std::lround(box.y * sy) - offsetY;
        const long right = std::lround((box.x + box.width) * sx) - offsetX;
        const long bottom = std::lround((box.y + box.height) * sy) - offsetY;
        if (StretchDIBits(dc, int(left), int(top), int(right - left), int(bottom - top), 0, 0,
                          page.width, page.height, bgr.data(), &info, DIB_RGB_COLORS,
                          SRCCOPY) == 0)
          ok = false;
      }
      HGDIOBJ before = pen ? SelectObject(dc, pen) : nullptr;
      for (const PrintPage::Line& line : page.marks) {
        MoveToEx(dc, int(std::lround(line.x0 * sx)) - offsetX,
                 int(std::lround(line.y0 * sy)) - offsetY, nullptr);
        LineTo(dc, int(std::lround(line.x1 * sx)) - offsetX,
               int(std::lround(line.y1 * sy)) - offsetY);
      }
      if (before) SelectObject(dc, before);
      if (EndPage(dc) <= 0) ok = false;
    }
    if (pen) DeleteObject(pen);
    if (!ok) {
      AbortDoc(dc);
      return "the printer did not take the page";
    }
    if (EndDoc(dc) <= 0) return "the printer did not take the page";
    return std::string();
  }

  std::wstring device_;
  DevMode mode_;  // as the dialog left it
  PrinterDescription description_;
};

// --- the page setup ------------------------------------------------------

constexpr int kMargin = 10;
constexpr int kLabelWidth = 72;
constexpr int kButtonWidth = 96;
constexpr int kButtonHeight = 26;

struct SetupState {
  PageSetupModel* model = nullptr;
  PageSetupHandler* handler = nullptr;
  int side = 0;  // the preview's square
  bool quiet = false;
};

void ShowModel(HWND dialog, SetupState& state) {
  const PageSetupModel& model = *state.model;
  SetDlgItemTextW(dialog, kPageSetupDetailsId, Widen(model.details).c_str());
  SetDlgItemTextW(dialog, kPageSetupWarningId, Widen(model.warning).c_str());
  ShowWindow(GetDlgItem(dialog, kPageSetupWarningId), model.warning.empty() ? SW_HIDE : SW_SHOW);
  InvalidateRect(GetDlgItem(dialog, kPageSetupPreviewId), nullptr, TRUE);
}

void MakeControls(HWND dialog, SetupState& state) {
  const PageSetupModel& model = *state.model;
  const HFONT font = HFONT(SendMessageW(dialog, WM_GETFONT, 0, 0));
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  auto make = [&](const wchar_t* cls, const std::string& text, DWORD style, int id, int x, int y,
                  int w, int h) {
    HWND c = CreateWindowExW(0, cls, Widen(text).c_str(), WS_CHILD | WS_VISIBLE | style, x, y,
                             w, h, dialog, HMENU(INT_PTR(id)), instance, nullptr);
    SendMessageW(c, WM_SETFONT, WPARAM(font), FALSE);
    return c;
  };
  state.side = std::max(model.preview.width, model.preview.height) + 16;
  const int width = std::max(state.side, 360);
  int y = kMargin;
  make(L"STATIC", "", SS_OWNERDRAW, kPageSetupPreviewId, kMargin + (width - state.side) / 2, y,
       state.side, state.side);
  y += state.side + 6;
  make(L"STATIC", "", SS_LEFT | SS_NOPREFIX, kPageSetupDetailsId, kMargin, y, width, 16);
  y += 20;
  make(L"STATIC", "", SS_LEFT | SS_NOPREFIX, kPageSetupWarningId, kMargin, y, width, 32);
  y += 36;
  const int field = width - kLabelWidth;
  // A labelled list of choices, one row; `dropped` is the open list's height.
  auto choices = [&](const std::string& label, int id, const std::vector<std::string>& names,
                     size_t chosen, int dropped) {
    make(L"STATIC", label, SS_LEFT, -1, kMargin, y + 4, kLabelWidth, 16);
    HWND list = make(L"COMBOBOX", "", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, id,
                     kMargin + kLabelWidth, y, field, dropped);
    for (const std::string& name : names)
      SendMessageW(list, CB_ADDSTRING, 0, LPARAM(Widen(name).c_str()));
    SendMessageW(list, CB_SETCURSEL, WPARAM(chosen), 0);
    y += 28;
  };
  choices(model.paperLabel, kPageSetupPaperId, model.papers, model.paper, 240);
  choices(model.placementLabel, kPageSetupPlacementId, model.placements, model.placement, 160);
  y += kMargin;
  const int right = kMargin + width;
  make(L"BUTTON", model.printLabel, WS_TABSTOP | BS_DEFPUSHBUTTON, IDOK,
       right - 2 * kButtonWidth - 6, y, kButtonWidth, kButtonHeight);
  make(L"BUTTON", model.cancelLabel, WS_TABSTOP | BS_PUSHBUTTON, IDCANCEL, right - kButtonWidth,
       y, kButtonWidth, kButtonHeight);
  y += kButtonHeight + kMargin;

  SizeAndCentreDialog(dialog, right + kMargin, y);
  ShowModel(dialog, state);
}

void DrawPreview(const DRAWITEMSTRUCT& item, const IconImage& image) {
  RECT r = item.rcItem;
  FillRect(item.hDC, &r, GetSysColorBrush(COLOR_BTNFACE));
  if (image.width <= 0 || image.height <= 0 ||
      image.rgba.size() < size_t(image.width) * size_t(image.height) * 4)
    return;
  // Over the dialog's own colour, as the picture's transparent edges show it.
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  const int back[3] = {GetBValue(face), GetGValue(face), GetRValue(face)};
  std::vector<uint8_t> bgra(image.rgba.size());
  for (size_t i = 0; i + 3 < image.rgba.size(); i += 4) {
    const int a = image.rgba[i + 3];
    for (int c = 0; c < 3; ++c) {
      const int src = image.rgba[i + size_t(2 - c)];
      bgra[i + size_t(c)] = uint8_t((src * a + back[c] * (255 - a) + 127) / 255);
    }
    bgra[i + 3] = 255;
  }
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = image.width;
  info.bmiHeader.biHeight = -image.height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  const int x = (r.left + r.right - image.width) / 2, y = (r.top + r.bottom - image.height) / 2;
  StretchDIBits(item.hDC, x, y, image.width, image.height, 0, 0, image.width, image.height,
                bgra.data(), &info, DIB_RGB_COLORS, SRCCOPY);
}

INT_PTR CALLBACK SetupProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* state = reinterpret_cast<SetupState*>(GetWindowLongPtrW(dialog, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG:
      SetWindowLongPtrW(dialog, DWLP_USER, lParam);
      state = reinterpret_cast<SetupState*>(lParam);
      state->quiet = true;
      MakeControls(dialog, *state);
      state->quiet = false;
      SetFocus(GetDlgItem(dialog, kPageSetupPaperId));
      return FALSE;  // the focus is set
    case WM_DRAWITEM:
      if (state && wParam == WPARAM(kPageSetupPreviewId)) {
        DrawPreview(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam), state->model->preview);
        return TRUE;
      }
      break;
    case WM_CTLCOLORSTATIC:
      if (HWND(lParam) == GetDlgItem(dialog, kPageSetupWarningId)) {
        SetTextColor(HDC(wParam), RGB(0xaa, 0x33, 0x33));
        SetBkMode(HDC(wParam), TRANSPARENT);
        return INT_PTR(GetSysColorBrush(COLOR_BTNFACE));
      }
      break;
    case WM_COMMAND: {
      const int id = LOWORD(wParam), code = HIWORD(wParam);
      if ((id == kPageSetupPaperId || id == kPageSetupPlacementId) && code == CBN_SELCHANGE &&
          state && !state->quiet) {
        const LRESULT paper = SendDlgItemMessageW(dialog, kPageSetupPaperId, CB_GETCURSEL, 0, 0);
        const LRESULT placement =
            SendDlgItemMessageW(dialog, kPageSetupPlacementId, CB_GETCURSEL, 0, 0);
        state->model->paper = size_t(std::max<LRESULT>(0, paper));
        state->model->placement = size_t(std::max<LRESULT>(0, placement));
        state->handler->PageSetupChanged(*state->model);
        ShowModel(dialog, *state);
        return TRUE;
      }
      if (id == IDOK || id == IDCANCEL) {
        EndDialog(dialog, id == IDOK ? 1 : 0);
        return TRUE;
      }
      break;
    }
    default:
      break;
  }
  return FALSE;
}

std::wstring DevNamesText(const DEVNAMES* names, WORD offset) {
  return std::wstring(reinterpret_cast<const wchar_t*>(names) + offset);
}

}  // namespace

std::unique_ptr<Printer> OpenNamedPrinter(const std::string& name, int32_t copies) {
  std::wstring device = Widen(name);
  HANDLE handle = nullptr;
  if (!OpenPrinterW(device.data(), &handle, nullptr)) return nullptr;
  DevMode mode;
  const LONG bytes = DocumentPropertiesW(nullptr, handle, device.data(), nullptr, nullptr, 0);
  if (bytes > 0) {
    mode.assign(size_t(bytes), 0);
    if (DocumentPropertiesW(nullptr, handle, device.data(), Mode(mode), nullptr, DM_OUT_BUFFER) !=
        IDOK)
      mode.clear();
  }
  ClosePrinter(handle);
  if (mode.empty()) return nullptr;
  return std::make_unique<Win32Printer>(std::move(device), std::move(mode), copies);
}

std::unique_ptr<Printer> Win32Window::ChoosePrinter(const std::string& /*jobTitle*/) {
  if (!hwnd_) return nullptr;
  // PrintDlgW rather than PrintDlgEx: it is the dialog the printing check
  // drives under Wine, it is on every Windows the program runs on, and one
  // page needs nothing of what PrintDlgEx adds (page ranges, a current page).
  PRINTDLGW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = hwnd_;
  // One page, one card: no ranges, no selection.
  dialog.Flags = PD_NOPAGENUMS | PD_NOSELECTION | PD_HIDEPRINTTOFILE | PD_USEDEVMODECOPIESANDCOLLATE;
  dialog.nCopies = 1;
  BeginModal();
  const BOOL chosen = PrintDlgW(&dialog);
  EndModal();
  std::unique_ptr<Printer> printer;
  if (chosen && dialog.hDevNames && dialog.hDevMode) {
    const auto* names = static_cast<const DEVNAMES*>(GlobalLock(dialog.hDevNames));
    const auto* mode = static_cast<const DEVMODEW*>(GlobalLock(dialog.hDevMode));
    if (names && mode) {
      // With the driver making the copies, the count is in its settings.
      const int32_t copies = dialog.nCopies > 1                  ? dialog.nCopies
                             : (mode->dmFields & DM_COPIES) != 0 ? mode->dmCopies
                                                                 : 1;
      printer = std::make_unique<Win32Printer>(DevNamesText(names, names->wDeviceOffset),
                                               CopyMode(mode), copies);
    }
    if (names) GlobalUnlock(dialog.hDevNames);
    if (mode) GlobalUnlock(dialog.hDevMode);
  }
  if (dialog.hDevNames) GlobalFree(dialog.hDevNames);
  if (dialog.hDevMode) GlobalFree(dialog.hDevMode);
  if (dialog.hDC) DeleteDC(dialog.hDC);
  return printer;
}

bool Win32Window::ShowPageSetup(PageSetupModel& model, PageSetupHandler& handler) {
  if (!hwnd_) return false;
  const std::vector<WORD> words = EmptyDialogTemplate(Widen(model.title));
  // The template must be DWORD-aligned: copy it into memory that is.
  std::vector<DWORD> aligned((words.size() + 1) / 2, 0);
  std::memcpy(aligned.data(), words.data(), words.size() * sizeof(WORD));
  SetupState state;
  state.model = &model;
  state.handler = &handler;
  BeginModal();
  const INT_PTR result = DialogBoxIndirectParamW(
      GetModuleHandleW(nullptr), reinterpret_cast<const DLGTEMPLATE*>(aligned.data()), hwnd_,
      SetupProcedure, LPARAM(&state));
  EndModal();
  return result == 1;
}

}  // namespace platform::win32
